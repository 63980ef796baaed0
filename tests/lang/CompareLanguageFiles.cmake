# Regenerates the language files into OUT and compares them byte for byte
# with the shipped ones in SHIPPED.
execute_process(COMMAND ${PYTHON} ${SCRIPT} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${result}")
endif()
foreach(name English.ini Chinese.ini)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name} ${SHIPPED}/${name}
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${name} differs from the generator's output; run scripts/make_language_files.py")
  endif()
endforeach()
