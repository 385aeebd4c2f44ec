# Cross build for 32-bit Windows with MinGW-w64: the program that ships.
set(QM_MINGW_TARGET i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
