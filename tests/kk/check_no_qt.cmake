# The Kramers-Kronig numerics (the files directly in kk/, not its window
# subfolders) must not include any Qt header.
file(GLOB _files ${DIR}/*.h ${DIR}/*.cpp)
foreach(_f IN LISTS _files)
  file(STRINGS ${_f} _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q")
  if(_lines)
    message(FATAL_ERROR "${_f} includes Qt: ${_lines}")
  endif()
endforeach()
message(STATUS "kk numerics are free of Qt (${DIR})")
