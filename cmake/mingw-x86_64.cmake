# MinGW-w64 cross compilers for x86_64 Windows.
set(LAYERFIX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
