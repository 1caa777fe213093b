# The host build: the same program over the POSIX platform layer, and the
# unit tests over the in-memory one.
find_package(GTest REQUIRED)
include(GoogleTest)

add_library(lf_host_support OBJECT
  src/platform/ini_reader.cpp
  src/platform/host_charset.cpp
  src/platform/environment_blocks.cpp)

add_library(lf_platform_posix OBJECT
  src/platform/posix/platform_posix.cpp
  src/platform/posix/drive_map.cpp)

add_executable(layerfix src/app/entry.cpp src/platform/posix/main.cpp)
target_link_libraries(layerfix PRIVATE lf_core lf_platform_posix lf_host_support)

add_library(lf_platform_fake OBJECT src/platform/fake/platform_fake.cpp)

file(GLOB LAYERFIX_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${LAYERFIX_UNIT_TESTS} src/app/entry.cpp)
target_link_libraries(unit_tests PRIVATE lf_core lf_platform_fake lf_host_support GTest::gtest_main)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)

file(GLOB LAYERFIX_HOST_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(host_tests ${LAYERFIX_HOST_TESTS})
target_link_libraries(host_tests PRIVATE lf_core lf_platform_posix lf_host_support GTest::gtest_main)
target_compile_definitions(host_tests PRIVATE LAYERFIX_HOST_EXE="$<TARGET_FILE:layerfix>")
add_dependencies(host_tests layerfix)
gtest_discover_tests(host_tests DISCOVERY_TIMEOUT 60)

find_program(VALGRIND valgrind)
if(VALGRIND AND NOT LAYERFIX_SANITIZE)
  add_test(NAME valgrind_host_run COMMAND bash ${CMAKE_SOURCE_DIR}/tests/host/valgrind_run.sh $<TARGET_FILE:layerfix>)
endif()
