# Cross build for 64-bit Windows with MinGW-w64: the same program, for the
# tests where Wine cannot run 32-bit programs.
set(QM_MINGW_TARGET x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
