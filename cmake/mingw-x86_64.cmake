# 64-bit Windows: built and tested under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(OVRIN_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
