# cmake -DHEADER=file -DLICENSE=file -DOUTPUTS=a;b -P write_notices.cmake
# The notices: our header, then the licence text as the distribution ships it.
file(READ "${HEADER}" header)
file(READ "${LICENSE}" license)
foreach(output IN LISTS OUTPUTS)
  file(WRITE "${output}" "${header}\n${license}")
endforeach()
