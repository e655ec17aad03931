# Runs the table generator and compares its output with the committed source, byte for byte.
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_watch_data failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED}
                RESULT_VARIABLE different)
if(NOT different EQUAL 0)
  message(FATAL_ERROR "${COMMITTED} is stale: regenerate it with make_watch_data")
endif()
