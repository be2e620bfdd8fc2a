# The host's one-way rule at work: a header from a library further up the chain fails the build, even
# behind spaces after the '#', while the library's own and those below it pass.
#   cmake -DCHECKER=cmake/check_includes.cmake -DWORK=dir -P include_direction.cmake
file(REMOVE_RECURSE "${WORK}")
file(WRITE "${WORK}/below.cpp" "#include \"host/core/picture.h\"\n#include \"version.h\"\n#include <vector>\n")
file(WRITE "${WORK}/upward.cpp" "#include \"host/core/picture.h\"\n#  include \"host/check/gl_names.h\"\n")
function(run_checker file result output)
  execute_process(COMMAND ${CMAKE_COMMAND} "-DFILES=${WORK}/${file}" "-DALLOWED=host/core/;version.h"
                          "-DSTAMP=${WORK}/${file}.stamp" -P "${CHECKER}"
                  RESULT_VARIABLE code ERROR_VARIABLE text)
  set(${result} ${code} PARENT_SCOPE)
  set(${output} "${text}" PARENT_SCOPE)
endfunction()

run_checker(below.cpp code text)
if(NOT code EQUAL 0 OR NOT EXISTS "${WORK}/below.cpp.stamp")
  message(FATAL_ERROR "allowed headers were refused: ${text}")
endif()
run_checker(upward.cpp code text)
if(code EQUAL 0 OR EXISTS "${WORK}/upward.cpp.stamp")
  message(FATAL_ERROR "a header of host/check passed as one host/core may include")
endif()
if(NOT text MATCHES "upward.cpp includes \"host/check/gl_names.h\"")
  message(FATAL_ERROR "the refusal does not name the file and the header: ${text}")
endif()
