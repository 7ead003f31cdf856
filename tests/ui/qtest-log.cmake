# Runs one window test under Wine and prints its report. Qt Test on Windows
# sends its report to the debugger when no console is attached, as under
# ctest, so a failure would otherwise show nothing: the report goes to a file
# and from there to ctest's output.
file(REMOVE "${LOG}")
execute_process(COMMAND ${RUNNER} ${EXE} -o "Z:${LOG},txt" RESULT_VARIABLE rc)
if(EXISTS "${LOG}")
  file(READ "${LOG}" report)
  message("${report}")
else()
  message("${EXE} wrote no report")
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${EXE} ended with ${rc}")
endif()
