# One case of the import check, run by ctest (cmake -P): reads SAMPLE, a text `objdump -p` printed, and
# compares what korvane_read_import_dump makes of it with the expectation.
#   EXPECTED_DISALLOWED  the DLLs it must refuse, in file order, separated by "|"; empty for none
#   EXPECTED_ERROR       a regular expression the reason it cannot judge the text must match; empty
#                        when it must judge it
cmake_minimum_required(VERSION 3.25)  # a script gets no policies from the project
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ImportCheck.cmake)

file(READ "${SAMPLE}" dump)
korvane_read_import_dump("${dump}" disallowed error)
string(REPLACE "|" ";" expected "${EXPECTED_DISALLOWED}")
if(NOT "${disallowed}" STREQUAL "${expected}")
  message(FATAL_ERROR "${SAMPLE}: refused [${disallowed}], expected [${expected}]")
endif()
if(EXPECTED_ERROR STREQUAL "")
  if(NOT error STREQUAL "")
    message(FATAL_ERROR "${SAMPLE}: could not be judged (${error}), expected a verdict")
  endif()
elseif(NOT error MATCHES "${EXPECTED_ERROR}")
  message(FATAL_ERROR "${SAMPLE}: reason [${error}] does not match [${EXPECTED_ERROR}]")
endif()
