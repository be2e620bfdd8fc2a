cmake_minimum_required(VERSION 3.18)
# Checks the release archive and unpacks it:
#   cmake -DARCHIVE=.../X.zip -DVERSION=1.1 -DUNPACKED=dir -P check_archive.cmake
# The archive holds exactly the two binaries, INSTALL.txt, LICENSE, THIRD_PARTY_NOTICES.txt and
# SHA256SUMS, in that order; ARCHIVE.sha256 holds its checksum, SHA256SUMS those of the binaries;
# INSTALL.txt names the version; the notices have a section for every library the binaries link.
# UNPACKED is emptied first and then holds the archive's files, and nothing else.
foreach(var ARCHIVE VERSION UNPACKED)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_archive.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${ARCHIVE}")
  message(FATAL_ERROR "FAIL: ${ARCHIVE} does not exist: run scripts/package.sh")
endif()
get_filename_component(archive_name "${ARCHIVE}" NAME)
set(failed 0)
# fail(TEXT): reports a fault; the check goes on, so that one run names every fault.
macro(fail text)
  message(SEND_ERROR "FAIL: ${text}")
  set(failed 1)
endmacro()
# read_existing(VAR FILE [options of file(READ)]): what the file holds, or "" when it is missing.
macro(read_existing var path)
  set(${var} "")
  if(EXISTS "${path}")
    file(READ "${path}" ${var} ${ARGN})
  endif()
endmacro()

file(SHA256 "${ARCHIVE}" archive_sum)
read_existing(sum_text "${ARCHIVE}.sha256")
if(NOT sum_text STREQUAL "${archive_sum}  ${archive_name}\n")
  fail("${archive_name}.sha256 does not hold the archive's checksum")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf "${ARCHIVE}" OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  fail("the archive cannot be read")
endif()
string(REPLACE "\n" ";" listing "${listing}")
list(FILTER listing EXCLUDE REGEX "^$")
set(members Umbrafex_TAVLEN.dll ffglhost.exe INSTALL.txt LICENSE THIRD_PARTY_NOTICES.txt SHA256SUMS)
if(NOT listing STREQUAL members)
  fail("the archive holds \"${listing}\", expected \"${members}\"")
endif()

file(REMOVE_RECURSE "${UNPACKED}")
file(MAKE_DIRECTORY "${UNPACKED}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${ARCHIVE}" WORKING_DIRECTORY "${UNPACKED}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  fail("the archive cannot be unpacked")
endif()

set(sums "")
foreach(binary Umbrafex_TAVLEN.dll ffglhost.exe)
  if(EXISTS "${UNPACKED}/${binary}")
    file(SHA256 "${UNPACKED}/${binary}" sum)
    string(APPEND sums "${sum}  ${binary}\n")
  endif()
endforeach()
read_existing(sums_text "${UNPACKED}/SHA256SUMS")
if(NOT sums_text STREQUAL sums)
  fail("SHA256SUMS does not hold the binaries' checksums:\n${sums_text}")
endif()

# The title names the version; CRLF line ends (file(READ) as text would drop the CR, so bytes).
set(title "Umbrafex TAVLEN ${VERSION} for Windows x64\r\n")
string(HEX "${title}" title_hex)
string(LENGTH "${title}" title_length)
read_existing(install_hex "${UNPACKED}/INSTALL.txt" HEX LIMIT ${title_length})
if(NOT install_hex STREQUAL title_hex)
  fail("INSTALL.txt does not start with the line \"Umbrafex TAVLEN ${VERSION} for Windows x64\" and CRLF")
endif()

# A section of the notices for every library the binaries link (file(READ) drops the CRs).
read_existing(notices "${UNPACKED}/THIRD_PARTY_NOTICES.txt")
include("${CMAKE_CURRENT_LIST_DIR}/../../package/notices/notices.cmake")
foreach(library IN LISTS UMBRAFEX_NOTICES_Umbrafex_TAVLEN.dll UMBRAFEX_NOTICES_ffglhost.exe)
  string(FIND "${notices}" "\n${UMBRAFEX_NOTICE_${library}_TITLE}\nin " at)
  if(at LESS 0)
    fail("THIRD_PARTY_NOTICES.txt has no section for ${UMBRAFEX_NOTICE_${library}_TITLE}")
  endif()
endforeach()

if(failed)
  message(FATAL_ERROR "the release archive ${ARCHIVE} is not as it should be")
endif()
message("OK: ${archive_name}: ${members}")
