# The Windows program: a GUI executable entered through WinMain, with its C++
# runtime linked in so that it imports nothing but Windows' own DLLs.
enable_language(RC)

add_library(lf_platform_win32 OBJECT
  src/platform/win32/platform_win32.cpp
  src/platform/win32/main.cpp
  src/platform/environment_blocks.cpp)

set(LAYERFIX_WINDOWS_LINK -static -static-libgcc -static-libstdc++ -mwindows -s)
set(LAYERFIX_WINDOWS_LIBS user32 kernel32 imagehlp)

add_executable(layerfix src/app/entry.cpp src/platform/win32/layerfix.rc)
target_include_directories(layerfix PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/win32)
target_link_libraries(layerfix PRIVATE lf_core lf_platform_win32 ${LAYERFIX_WINDOWS_LIBS})
target_link_options(layerfix PRIVATE ${LAYERFIX_WINDOWS_LINK})

add_executable(faultprobe tests/probe/faultprobe.cpp)
target_link_libraries(faultprobe PRIVATE lf_core lf_platform_win32 ${LAYERFIX_WINDOWS_LIBS})
target_link_options(faultprobe PRIVATE ${LAYERFIX_WINDOWS_LINK})

include(cmake/windows_tests.cmake)
