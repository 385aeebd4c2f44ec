# Fails unless the exe EXE, as OBJDUMP reads its header, asks Windows for
# ASLR (DYNAMIC_BASE) and DEP (NX_COMPAT) and keeps the relocations without
# which ASLR cannot move it. A change to the link or a strip step can lose
# any of them without anything else noticing.
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE header RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()
set(problems "")
foreach(flag DYNAMIC_BASE NX_COMPAT)
  if(NOT header MATCHES "\n[ \t]+${flag}\n")
    string(APPEND problems " no ${flag};")
  endif()
endforeach()
if(header MATCHES "relocations stripped")
  string(APPEND problems " relocations stripped;")
endif()
if(NOT header MATCHES "Entry 5 [0-9a-fA-F]+ ([0-9a-fA-F]+) Base Relocation Directory" OR CMAKE_MATCH_1 MATCHES "^0+$")
  string(APPEND problems " no base relocations;")
endif()
if(problems)
  message(FATAL_ERROR "${EXE}:${problems}")
endif()
message(STATUS "${EXE}: ASLR and DEP on, relocations kept")
