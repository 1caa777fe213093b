# Tests of the Windows builds. Both check what the executables import and
# that they are GUI programs; the 64-bit one is also run under Wine.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LAYERFIX_PE_FORMAT pei-x86-64)
else()
  set(LAYERFIX_PE_FORMAT pei-i386)
endif()

add_test(NAME pe_layerfix COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:layerfix> -DOBJDUMP=${CMAKE_OBJDUMP}
         -DFORMAT=${LAYERFIX_PE_FORMAT} -P ${CMAKE_SOURCE_DIR}/tests/pe/check_pe.cmake)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(PYTHON3 python3 REQUIRED)
  foreach(module test_spine test_job test_faults test_hostile)
    add_test(NAME wine_${module}
             COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/wine/run.py $<TARGET_FILE:layerfix>
                     $<TARGET_FILE:faultprobe> ${CMAKE_BINARY_DIR}/wine-tests ${module})
    set_tests_properties(wine_${module} PROPERTIES TIMEOUT 1200)
  endforeach()
endif()
