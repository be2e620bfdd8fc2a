cmake_minimum_required(VERSION 3.18)
# Makes the release archive, the same bytes from the same sources:
#   cmake -DVERSION=1.1 -DSOURCE_DIR=... -DPLUGIN=.../Umbrafex_TAVLEN.dll -DHOST=.../ffglhost.exe
#         -DMAPS=dir -DSTAGE=dir -DARCHIVE=.../X.zip -P make_archive.cmake
# MAPS holds the binaries' link maps: an archive whose notices miss a library linked is not made.
# Writes ARCHIVE (the two binaries, INSTALL.txt, LICENSE, THIRD_PARTY_NOTICES.txt and SHA256SUMS, in
# that order) and ARCHIVE.sha256.
# Every member gets the same mode and the date of the sources' last commit (SOURCE_DATE_EPOCH when
# set); zip -X leaves out owner and access times, which would differ from one build to the next.
foreach(var VERSION SOURCE_DIR PLUGIN HOST MAPS STAGE ARCHIVE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_archive.cmake: ${var} is not set")
  endif()
endforeach()
find_program(UMBRAFEX_ZIP zip)
if(NOT UMBRAFEX_ZIP)
  message(FATAL_ERROR "zip is missing: run scripts/setup.sh")
endif()

set(date "$ENV{SOURCE_DATE_EPOCH}")
if(date STREQUAL "")
  execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT date MATCHES "^[0-9]+$" OR date LESS 315532800)
  set(date 315532800)  # 1980-01-01, the first date a zip entry can hold
endif()

file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
file(COPY "${PLUGIN}" "${HOST}" DESTINATION "${STAGE}")
get_filename_component(plugin_name "${PLUGIN}" NAME)
get_filename_component(host_name "${HOST}" NAME)
# CRLF: Notepad of older Windows shows LF-only text as one line.
configure_file("${CMAKE_CURRENT_LIST_DIR}/INSTALL.txt" "${STAGE}/INSTALL.txt" @ONLY NEWLINE_STYLE CRLF)
# copy_crlf(FROM TO): a text as it is (no @ substitution), with CRLF line ends.
function(copy_crlf from to)
  file(READ "${from}" content)
  string(REPLACE "\r\n" "\n" content "${content}")
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE "${to}" "${content}")
endfunction()
# The licence, and the notices of what the two binaries link.
execute_process(COMMAND ${CMAKE_COMMAND} -DMAPS=${MAPS} "-DBINARIES=${plugin_name}|${host_name}"
                -P "${CMAKE_CURRENT_LIST_DIR}/notices/check_notices.cmake" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_archive.cmake: the notices do not cover what the binaries link (above)")
endif()
copy_crlf("${SOURCE_DIR}/LICENSE" "${STAGE}/LICENSE")
include("${CMAKE_CURRENT_LIST_DIR}/notices/notices.cmake")
umbrafex_write_notices("${STAGE}/notices.lf" "${plugin_name}" "${host_name}")
copy_crlf("${STAGE}/notices.lf" "${STAGE}/THIRD_PARTY_NOTICES.txt")
file(REMOVE "${STAGE}/notices.lf")
file(SHA256 "${STAGE}/${plugin_name}" plugin_sum)
file(SHA256 "${STAGE}/${host_name}" host_sum)
# sha256sum's format: "sha256sum -c SHA256SUMS" checks the unpacked binaries.
file(WRITE "${STAGE}/SHA256SUMS" "${plugin_sum}  ${plugin_name}\n${host_sum}  ${host_name}\n")

# run_in_stage(COMMAND...): runs a command in the staging folder; any failure ends the script.
function(run_in_stage)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "make_archive.cmake: ${ARGN} failed (${result})")
  endif()
endfunction()

set(members "${plugin_name}" "${host_name}" INSTALL.txt LICENSE THIRD_PARTY_NOTICES.txt SHA256SUMS)
run_in_stage(chmod 0644 ${members})
run_in_stage(touch -d "@${date}" ${members})
get_filename_component(dist "${ARCHIVE}" DIRECTORY)
file(MAKE_DIRECTORY "${dist}")
# zip adds to an archive that exists; this one is made anew. Dates are stored in UTC.
file(REMOVE "${ARCHIVE}" "${ARCHIVE}.sha256")
run_in_stage(${CMAKE_COMMAND} -E env TZ=UTC "${UMBRAFEX_ZIP}" -X -D -q "${ARCHIVE}" ${members})
get_filename_component(archive_name "${ARCHIVE}" NAME)
file(SHA256 "${ARCHIVE}" archive_sum)
file(WRITE "${ARCHIVE}.sha256" "${archive_sum}  ${archive_name}\n")
message("${ARCHIVE}\n${archive_sum}")
