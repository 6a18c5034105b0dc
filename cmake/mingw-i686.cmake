# 32-bit Windows: the program and plug-ins for 32-bit systems, built and export-checked only.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(OVRIN_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
