# Runs TOOL OUTPUT only when OUTPUT does not exist, so an organiser's own file survives a rebuild.
if(NOT EXISTS "${OUTPUT}")
  execute_process(COMMAND "${TOOL}" "${OUTPUT}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "could not write ${OUTPUT}")
  endif()
endif()
