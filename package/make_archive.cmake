cmake_minimum_required(VERSION 3.18)
# Makes a release archive, the same bytes from the same sources:
#   cmake -DVERSION=1.1 -DSOURCE_DIR=... -DBINARIES=.../Umbrafex_TAVLEN.dll|.../ffglhost.exe -DTEXT=INSTALL.txt
#         -DMAPS=dir -DSTAGE=dir -DARCHIVE=.../X.zip -P make_archive.cmake
# MAPS holds the binaries' link maps: an archive whose notices miss a library linked is not made.
# Writes ARCHIVE (the binaries, TEXT, LICENSE, THIRD_PARTY_NOTICES.txt and SHA256SUMS, in that order)
# and ARCHIVE.sha256. TEXT is a text of this folder, @VERSION@ (and @GLIBC@ and @LIBSTDCXX@, the oldest
# glibc and libstdc++ a Linux binary runs on) filled in; its lines that begin with "[windows] " or
# "[linux] " are kept in that platform's archive only.
# A .zip is for Windows: CRLF texts, the members at its top. A .tar.gz is for Linux: LF texts, the
# members in a folder named after the archive, the binaries executable.
# Every member gets a fixed mode and the date of the sources' last commit (SOURCE_DATE_EPOCH when
# set); zip -X and tar's fixed owner leave out owner and access times, which would differ from one
# build to the next.
foreach(var VERSION SOURCE_DIR BINARIES TEXT MAPS STAGE ARCHIVE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_archive.cmake: ${var} is not set")
  endif()
endforeach()
get_filename_component(archive_name "${ARCHIVE}" NAME)
if(archive_name MATCHES "\\.zip$")
  set(platform windows)
  find_program(UMBRAFEX_ZIP zip)
  if(NOT UMBRAFEX_ZIP)
    message(FATAL_ERROR "zip is missing: run scripts/setup.sh")
  endif()
elseif(archive_name MATCHES "^(.*)\\.tar\\.gz$")
  set(platform linux)
  set(folder "${CMAKE_MATCH_1}")
else()
  message(FATAL_ERROR "make_archive.cmake: ${archive_name} is neither a .zip nor a .tar.gz")
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
string(REPLACE "|" ";" binaries "${BINARIES}")
file(COPY ${binaries} DESTINATION "${STAGE}")
list(TRANSFORM binaries REPLACE "^.*/" "" OUTPUT_VARIABLE names)

# write_text(TO TEXT): a text with the platform's line ends (Windows' Notepad of older versions shows
# LF-only text as one line).
function(write_text to text)
  string(REPLACE "\r\n" "\n" text "${text}")
  if(platform STREQUAL "windows")
    string(REPLACE "\n" "\r\n" text "${text}")
  endif()
  file(WRITE "${to}" "${text}")
endfunction()

# The oldest glibc and libstdc++ a Linux binary runs on: the newest symbol versions it needs of them
# (GLIBC_2.N, and GLIBCXX_3.4.N, which libstdc++.so.6.0.N is the first to have).
set(GLIBC "")
set(GLIBCXX "")
if(platform STREQUAL "linux")
  foreach(name IN LISTS names)
    execute_process(COMMAND objdump -T "${STAGE}/${name}" OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "make_archive.cmake: objdump cannot read ${name}")
    endif()
    string(REGEX MATCHALL "GLIBC(XX)?_[0-9.]+" needs "${symbols}")
    foreach(need IN LISTS needs)
      string(REGEX MATCH "^([A-Z]+)_(.*)$" need "${need}")
      set(library "${CMAKE_MATCH_1}")
      if("${${library}}" STREQUAL "" OR CMAKE_MATCH_2 VERSION_GREATER "${${library}}")
        set(${library} "${CMAKE_MATCH_2}")
      endif()
    endforeach()
  endforeach()
  string(REGEX REPLACE "^3\\.4\\." "6.0." LIBSTDCXX "${GLIBCXX}")
endif()

# The archive's text, this platform's lines only.
file(READ "${CMAKE_CURRENT_LIST_DIR}/${TEXT}" text)
string(REGEX REPLACE "\\[(windows|linux)\\] " "[\\1]" text "\n${text}")
foreach(other windows linux)
  if(NOT other STREQUAL platform)
    string(REGEX REPLACE "\n\\[${other}\\][^\n]*" "" text "${text}")
  endif()
endforeach()
string(REPLACE "\n[${platform}]" "\n" text "${text}")
string(SUBSTRING "${text}" 1 -1 text)
string(CONFIGURE "${text}" text @ONLY)
write_text("${STAGE}/${TEXT}" "${text}")

# The licence, and the notices of what the binaries link.
string(REPLACE ";" "|" name_list "${names}")
execute_process(COMMAND ${CMAKE_COMMAND} -DMAPS=${MAPS} "-DBINARIES=${name_list}"
                -P "${CMAKE_CURRENT_LIST_DIR}/notices/check_notices.cmake" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_archive.cmake: the notices do not cover what the binaries link (above)")
endif()
file(READ "${SOURCE_DIR}/LICENSE" licence)
write_text("${STAGE}/LICENSE" "${licence}")
include("${CMAKE_CURRENT_LIST_DIR}/notices/notices.cmake")
umbrafex_notices(notices ${names})
write_text("${STAGE}/THIRD_PARTY_NOTICES.txt" "${notices}")
# sha256sum's format: "sha256sum -c SHA256SUMS" checks the unpacked binaries.
set(sums "")
foreach(name IN LISTS names)
  file(SHA256 "${STAGE}/${name}" sum)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE "${STAGE}/SHA256SUMS" "${sums}")

# run_in_stage(COMMAND...): runs a command in the staging folder; any failure ends the script.
function(run_in_stage)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "make_archive.cmake: ${ARGN} failed (${result})")
  endif()
endfunction()

set(members ${names} "${TEXT}" LICENSE THIRD_PARTY_NOTICES.txt SHA256SUMS)
run_in_stage(chmod 0644 ${members})
get_filename_component(dist "${ARCHIVE}" DIRECTORY)
file(MAKE_DIRECTORY "${dist}")
# zip adds to an archive that exists; this one is made anew.
file(REMOVE "${ARCHIVE}" "${ARCHIVE}.sha256")
if(platform STREQUAL "windows")
  # Dates are stored in UTC.
  run_in_stage(touch -d "@${date}" ${members})
  run_in_stage(${CMAKE_COMMAND} -E env TZ=UTC "${UMBRAFEX_ZIP}" -X -D -q "${ARCHIVE}" ${members})
else()
  file(MAKE_DIRECTORY "${STAGE}/${folder}")
  run_in_stage(mv ${members} "${folder}")
  list(TRANSFORM members PREPEND "${folder}/" OUTPUT_VARIABLE paths)
  list(TRANSFORM names PREPEND "${folder}/" OUTPUT_VARIABLE executables)
  run_in_stage(chmod 0755 "${folder}" ${executables})
  # The folder, then the members in the order given; numeric owner 0 and one date for all.
  execute_process(COMMAND tar --format=ustar --no-recursion --owner=0 --group=0 --numeric-owner
                          "--mtime=@${date}" -cf - "${folder}" ${paths}
                  COMMAND gzip -n -9
                  WORKING_DIRECTORY "${STAGE}" OUTPUT_FILE "${ARCHIVE}" RESULTS_VARIABLE results)
  if(NOT results STREQUAL "0;0")
    file(REMOVE "${ARCHIVE}")
    message(FATAL_ERROR "make_archive.cmake: tar | gzip failed (${results})")
  endif()
endif()
file(SHA256 "${ARCHIVE}" archive_sum)
file(WRITE "${ARCHIVE}.sha256" "${archive_sum}  ${archive_name}\n")
message("${ARCHIVE}\n${archive_sum}")
