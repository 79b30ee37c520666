# Run by the <name>_has_no_qt tests (see pellucor_forbid_qt): fails if a
# source of the library NAME in DIR includes a Qt header. RECURSE=OFF looks
# only at the files directly in DIR.
if(RECURSE)
  file(GLOB_RECURSE _files ${DIR}/*.h ${DIR}/*.cpp)
else()
  file(GLOB _files ${DIR}/*.h ${DIR}/*.cpp)
endif()
foreach(_f IN LISTS _files)
  file(STRINGS ${_f} _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q")
  if(_lines)
    message(FATAL_ERROR "${NAME}: ${_f} includes Qt: ${_lines}")
  endif()
endforeach()
message(STATUS "${NAME} is free of Qt (${DIR})")
