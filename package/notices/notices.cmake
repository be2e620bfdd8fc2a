# The libraries that the shipped binaries link and that are not ours, each with its notice (NAME.txt
# beside this file, taken from the library's source or Debian's copyright file on the build machine),
# and which binary links which. make_archive.cmake writes THIRD_PARTY_NOTICES.txt from this for the
# binaries an archive holds, once check_notices.cmake has found it true to their link maps: no
# library gets linked and shipped without its notice.

# Each library: its title, and how a link map shows it: the linked archives and objects that are part
# of it (INPUTS, a regular expression over their file names) or, for one compiled from its headers
# into our own objects, the symbols it defines (SYMBOLS, the start of their names).
set(UMBRAFEX_NOTICE_LIBRARIES glew glfw stb winpthreads mingw-w64 gcc-runtime glibc gcc-startup)
set(UMBRAFEX_NOTICE_glew_TITLE "GLEW, the OpenGL Extension Wrangler Library")
# Compiled by the Windows build; Debian's own static library on Linux.
set(UMBRAFEX_NOTICE_glew_INPUTS "^lib(glew_static|GLEW)\\.a$")
set(UMBRAFEX_NOTICE_glfw_TITLE "GLFW, a library for OpenGL contexts and windows")
set(UMBRAFEX_NOTICE_glfw_INPUTS "^libglfw3\\.a$")
set(UMBRAFEX_NOTICE_stb_TITLE "stb: stb_image, stb_image_write and stb_easy_font")
set(UMBRAFEX_NOTICE_stb_SYMBOLS "stbi_")
set(UMBRAFEX_NOTICE_winpthreads_TITLE "winpthreads, the POSIX threads library of MinGW-w64")
set(UMBRAFEX_NOTICE_winpthreads_INPUTS "^lib(win)?pthread\\.a$")
set(UMBRAFEX_NOTICE_mingw-w64_TITLE "The MinGW-w64 runtime")
set(UMBRAFEX_NOTICE_mingw-w64_INPUTS
    "^((dll)?crt2\\.o|lib(mingw32|mingwex|moldname|msvcrt|kernel32|user32|gdi32|opengl32)\\.a)$")
set(UMBRAFEX_NOTICE_gcc-runtime_TITLE "The GCC runtime libraries: libgcc and libstdc++")
set(UMBRAFEX_NOTICE_gcc-runtime_INPUTS "^(crtbegin\\.o|crtend\\.o|libgcc\\.a|libgcc_eh\\.a|libstdc\\+\\+\\.a)$")
# Linux: what a program linked with the system's C library and C++ runtime holds of them.
set(UMBRAFEX_NOTICE_glibc_TITLE "The GNU C Library's start-up files")
set(UMBRAFEX_NOTICE_glibc_INPUTS "^(S?crt1\\.o|crti\\.o|crtn\\.o|libc_nonshared\\.a)$")
set(UMBRAFEX_NOTICE_gcc-startup_TITLE "GCC's start-up files")
set(UMBRAFEX_NOTICE_gcc-startup_INPUTS "^crt(begin|end)S\\.o$")
# Ours, under LICENSE: a target's own objects (CMake hands MinGW's linker them as objects.a, GNU ld on
# Linux one by one), our static libraries and the export definition.
set(UMBRAFEX_OWN_INPUTS
    "^(objects\\.a|ffglhost_main\\.cpp\\.o|lib(ffglhost_check|ffglhost_commands|ffglhost_core|gl_context|host_os)\\.a|plugin_exports\\.def)$")

# What each shipped binary links, by its file name in an archive.
set(UMBRAFEX_NOTICES_Umbrafex_TAVLEN.dll glew winpthreads mingw-w64 gcc-runtime)
set(UMBRAFEX_NOTICES_ffglhost.exe glew stb winpthreads mingw-w64 gcc-runtime)
set(UMBRAFEX_NOTICES_ffglhost glew glfw stb glibc gcc-startup)

# umbrafex_notices(VAR BINARY...): in VAR, the third-party notices of an archive that holds these
# binaries (file names), with LF line ends: each library that one of them links, once, and in which.
function(umbrafex_notices var)
  set(libraries "")
  foreach(binary IN LISTS ARGN)
    if(NOT DEFINED UMBRAFEX_NOTICES_${binary})
      message(FATAL_ERROR "notices.cmake: nothing says what ${binary} links")
    endif()
    list(APPEND libraries ${UMBRAFEX_NOTICES_${binary}})
  endforeach()
  set(index "")
  set(sections "")
  set(rule "--------------------------------------------------------------------------------")
  foreach(library IN LISTS UMBRAFEX_NOTICE_LIBRARIES)
    if(NOT library IN_LIST libraries)
      continue()
    endif()
    set(in "")
    foreach(binary IN LISTS ARGN)
      if(library IN_LIST UMBRAFEX_NOTICES_${binary})
        list(APPEND in "${binary}")
      endif()
    endforeach()
    string(REPLACE ";" ", " in "${in}")
    set(title "${UMBRAFEX_NOTICE_${library}_TITLE}")
    string(APPEND index "  ${title}\n      in ${in}\n")
    file(READ "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${library}.txt" text)
    string(APPEND sections "\n\n${rule}\n${title}\nin ${in}\n${rule}\n\n${text}")
  endforeach()
  set(${var} "Third-party notices
===================

These programs are under the MIT licence (LICENSE). They hold parts of the libraries below, linked
into them when they were built; each library's licence follows, in this order:

${index}
NVIDIA's Video Effects runtime is not part of them: it comes from NVIDIA, under NVIDIA's licence.${sections}" PARENT_SCOPE)
endfunction()
