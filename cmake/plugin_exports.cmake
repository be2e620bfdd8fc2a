# What every plug-in library exports, on both targets, and nothing else: the two FFGL entries and the
# image library's error text, undecorated, and the members of NvCVImage, whose decorated names the
# two toolchains spell alike. The Linux linker map and the export checks are made from this list.
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
