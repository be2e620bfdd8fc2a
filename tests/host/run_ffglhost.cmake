# One ffglhost run as a test: cmake -DHOST=... -DARGS=a|b|c -DEXPECT_EXIT=n [-DEXPECT=re1|re2]
#   [-DEMULATOR=wine] [-DWORK=dir] [-DRUNTIME=lib1|lib2] [-DMODELS=f1|f2] [-DPREPARE=a|b] [-DCHECK=exe|arg|...]
#   [-DFILES=glob:re|glob:re] -P run_ffglhost.cmake
# FILES: files the run must have written under WORK, each glob matching at least one; a PNG must be
# one, any other file's text must match its regular expression.
# PREPARE is a first ffglhost run that must succeed (e.g. to make input pictures).
# WORK is emptied first and is the working folder. RUNTIME libraries are laid out as a vendor
# runtime under WORK/ProgramFiles, with a models folder WORK/VideoEffects/models that holds the MODELS
# files (none: the runtime keys green). In ARGS,
# @WORK_NATIVE@ stands for WORK in the host's own path form.
foreach(var HOST ARGS EXPECT_EXIT WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_ffglhost.cmake: ${var} is not set")
  endif()
endforeach()
foreach(var ARGS EXPECT RUNTIME MODELS PREPARE CHECK FILES)
  string(REPLACE "|" ";" ${var} "${${var}}")
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(work_native "${WORK}")
if(EMULATOR)
  string(REPLACE "/" "\\" work_native "Z:${WORK}")
endif()

if(RUNTIME)
  set(runtime_dir "${WORK}/ProgramFiles/NVIDIA Corporation/NVIDIA Video Effects")
  file(MAKE_DIRECTORY "${runtime_dir}" "${WORK}/VideoEffects/models")
  file(COPY ${RUNTIME} DESTINATION "${runtime_dir}")
endif()
if(MODELS)
  file(COPY ${MODELS} DESTINATION "${WORK}/VideoEffects/models")
endif()
# A file that is not a PNG and a folder without any, for the unreadable-input cases.
file(WRITE "${WORK}/not_a_picture.png" "this is not a PNG file\n")
file(MAKE_DIRECTORY "${WORK}/empty")

if(PREPARE)
  execute_process(COMMAND ${EMULATOR} "${HOST}" ${PREPARE} WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the preparing run failed (${result}):\n${out}${err}")
  endif()
endif()

string(REPLACE "@WORK_NATIVE@" "${work_native}" args "${ARGS}")
execute_process(COMMAND ${EMULATOR} "${HOST}" ${args}
                WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT "${result}" STREQUAL "${EXPECT_EXIT}")
  message(FATAL_ERROR "ffglhost exited with ${result}, expected ${EXPECT_EXIT}")
endif()
foreach(pattern IN LISTS EXPECT)
  if(NOT "${out}${err}" MATCHES "${pattern}")
    message(FATAL_ERROR "the output does not match: ${pattern}")
  endif()
endforeach()
foreach(entry IN LISTS FILES)
  string(REGEX MATCH "^([^:]*):(.*)$" entry "${entry}")
  set(pattern "${CMAKE_MATCH_1}")
  set(content_pattern "${CMAKE_MATCH_2}")
  file(GLOB found "${WORK}/${pattern}")
  if(NOT found)
    message(FATAL_ERROR "no file ${pattern} was written")
  endif()
  foreach(path IN LISTS found)
    if(path MATCHES "\\.png$")
      file(READ "${path}" head LIMIT 8 HEX)
      if(NOT head STREQUAL "89504e470d0a1a0a")
        message(FATAL_ERROR "${path} is not a PNG file")
      endif()
    else()
      file(READ "${path}" text)
      if(NOT text MATCHES "${content_pattern}")
        message(FATAL_ERROR "${path} does not match: ${content_pattern}\n${text}")
      endif()
    endif()
  endforeach()
endforeach()
if(CHECK)
  execute_process(COMMAND ${EMULATOR} ${CHECK} WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message("${out}${err}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the frame check failed")
  endif()
endif()
