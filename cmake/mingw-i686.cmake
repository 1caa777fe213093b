# MinGW-w64 cross compilers for i686 Windows.
set(LAYERFIX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
