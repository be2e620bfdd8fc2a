# What every plug-in library exports, and nothing else: on both targets the two FFGL entries and the
# image library's error text, undecorated, and the members of NvCVImage, whose decorated names the
# two toolchains spell alike; on Windows also the members' Microsoft names (below). The Linux linker
# map, the Windows export definition and the export checks are made from this list.
set(UMBRAFEX_PLUGIN_EXPORTS
  plugMain
  SetLogCallback
  NvCV_GetErrorStringFromCode
  _ZN9NvCVImageC1Ev
  _ZN9NvCVImageC2Ev
  _ZN9NvCVImageC1Ejj21NvCVImage_PixelFormat23NvCVImage_ComponentTypejjj
  _ZN9NvCVImageC2Ejj21NvCVImage_PixelFormat23NvCVImage_ComponentTypejjj
  _ZN9NvCVImageC1EPS_iijj
  _ZN9NvCVImageC2EPS_iijj
  _ZN9NvCVImageD1Ev
  _ZN9NvCVImageD2Ev
  _ZN9NvCVImageaSERKS_
  _ZN9NvCVImage8copyFromEPKS_iiiijjP11CUstream_st
  _ZN9NvCVImage8copyFromEPKS_P11CUstream_st)

# The Linux version script: hidden visibility alone lets weak std:: template instances through.
string(REPLACE ";" ";\n    " UMBRAFEX_MAP_NAMES "${UMBRAFEX_PLUGIN_EXPORTS}")
set(UMBRAFEX_EXPORTS_MAP "${CMAKE_BINARY_DIR}/plugin_exports.map")
file(CONFIGURE OUTPUT "${UMBRAFEX_EXPORTS_MAP}" CONTENT "{\n  global:\n    ${UMBRAFEX_MAP_NAMES};\n  local:\n    *;\n};\n")

# The Windows DLL built with MinGW also exports the members under Microsoft's decorated names, which a
# program built with Microsoft's compiler and the vendor's header imports: each name, then the wrapper
# with Microsoft's calling rules that it stands for (nvidia/nvcv_image_microsoft.cpp).
set(UMBRAFEX_MICROSOFT_MEMBERS
  "??0NvCVImage@@QEAA@XZ" NvCVImageMsDefaultConstructor
  "??0NvCVImage@@QEAA@IIW4NvCVImage_PixelFormat@@W4NvCVImage_ComponentType@@III@Z" NvCVImageMsAllocatingConstructor
  "??0NvCVImage@@QEAA@PEAV0@HHII@Z" NvCVImageMsViewConstructor
  "??1NvCVImage@@QEAA@XZ" NvCVImageMsDestructor
  "??4NvCVImage@@QEAAAEAV0@AEBV0@@Z" NvCVImageMsAssign
  "?copyFrom@NvCVImage@@QEAAHPEBV1@HHHHIIPEAUCUstream_st@@@Z" NvCVImageMsCopyFromRect
  "?copyFrom@NvCVImage@@QEAAHPEBV1@PEAUCUstream_st@@@Z" NvCVImageMsCopyFrom)
if(WIN32 AND NOT MSVC)
  set(UMBRAFEX_EXPORTS_DEF "${CMAKE_BINARY_DIR}/plugin_exports.def")
  set(def_lines "")
  set(name "")
  foreach(item IN LISTS UMBRAFEX_MICROSOFT_MEMBERS)
    if(name STREQUAL "")
      set(name "${item}")
    else()
      list(APPEND UMBRAFEX_PLUGIN_EXPORTS "${name}")
      string(APPEND def_lines "  \"${name}\" = ${item}\n")
      set(name "")
    endif()
  endforeach()
  # Beside the names the code marks for export. Written through a copy that changes only with its
  # content, so that a new configure run relinks nothing.
  file(WRITE "${UMBRAFEX_EXPORTS_DEF}.new" "EXPORTS\n${def_lines}")
  configure_file("${UMBRAFEX_EXPORTS_DEF}.new" "${UMBRAFEX_EXPORTS_DEF}" COPYONLY)
endif()
