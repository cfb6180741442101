# Dumps MSVC's table layouts of the interfaces in vtable_layouts.cpp and compares them with the
# checked-in expected text. TREVALIN_UPDATE_GOLDEN=1 in the environment rewrites the expected file
# instead (review the difference before committing it).
#   cmake -DCXX=clang++ -DRESPONSE_FILE=flags.rsp -DSOURCE=vtable_layouts.cpp -DEXPECTED=x.expected
#         -DOUTPUT=actual.txt -P compare_vtable_layouts.cmake

cmake_minimum_required(VERSION 3.25)

foreach(required CXX RESPONSE_FILE SOURCE EXPECTED OUTPUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()

execute_process(
  COMMAND ${CXX} @${RESPONSE_FILE} -Xclang -fdump-vtable-layouts -S -o ${OUTPUT}.s ${SOURCE}
  OUTPUT_VARIABLE dump ERROR_VARIABLE error RESULT_VARIABLE status)
file(REMOVE ${OUTPUT}.s)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "compiling ${SOURCE} failed:\n${error}")
endif()

# What varies between runs and machines: trailing spaces and runs of blank lines.
string(REGEX REPLACE "[ \t]+\n" "\n" dump "${dump}")
string(REGEX REPLACE "\n\n+" "\n\n" dump "${dump}")
string(STRIP "${dump}" dump)
string(APPEND dump "\n")
if(dump STREQUAL "\n")
  message(FATAL_ERROR "the compiler printed no table layouts")
endif()
file(WRITE ${OUTPUT} "${dump}")

if("$ENV{TREVALIN_UPDATE_GOLDEN}" STREQUAL "1")
  file(WRITE ${EXPECTED} "${dump}")
  message(STATUS "rewrote ${EXPECTED}")
  return()
endif()

file(READ ${EXPECTED} expected)
if(NOT dump STREQUAL expected)
  execute_process(COMMAND diff -u ${EXPECTED} ${OUTPUT} OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "the interfaces' table layouts changed (expected ${EXPECTED}, got ${OUTPUT}):\n${difference}")
endif()
message(STATUS "table layouts as expected")
