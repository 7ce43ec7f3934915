# Runs TOOL PROGRAM WORK; the demo slide shows are optional, so a failure only warns and the build goes on.
execute_process(COMMAND "${TOOL}" "${PROGRAM}" "${WORK}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(WARNING "The demo slide shows could not be made (${result}); the build goes on without them.")
endif()
