# The exported names of the two C interfaces, each read from its one list:
#   include/molv_wrap.h  the module's ten exports
#     MOLV_EXPORT_NAMES      the names, in the list's order
#     MOLV_EXPORT_ARGUMENTS  NAME=COUNT for each, the number of arguments
#     MOLV_EXPORTS_MAP, MOLV_EXPORTS_DEF  the module's version script and .def
#   include/bregexp.h    the six entry points of bregexp.dll
#     BREGEXP_ENTRY_NAMES    the names, in the list's order
#     BREGEXP_EXPORTS_MAP, BREGEXP_EXPORTS_DEF  our library's version script and .def
# The linker's lists are written into the build folder.
set(molv_include_dir ${CMAKE_CURRENT_LIST_DIR}/../include)

# The rows of the X-macro list in `header`, each one line that starts with
# `X(` and a first word that `name_regex` matches, the backslashes cut off,
# and that first word of each row: the name.
function(molv_read_list header name_regex names_out rows_out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
  file(STRINGS ${header} rows REGEX "^ *X\\(${name_regex},")
  # The macro's lines end in a backslash, which would join them in a list.
  string(REPLACE "\\" "" rows "${rows}")
  if(NOT rows)
    message(FATAL_ERROR "${header} lists no names")
  endif()
  set(names)
  foreach(row IN LISTS rows)
    string(REGEX MATCH "X\\((${name_regex})," ignored "${row}")
    list(APPEND names ${CMAKE_MATCH_1})
  endforeach()
  set(${names_out} "${names}" PARENT_SCOPE)
  set(${rows_out} "${rows}" PARENT_SCOPE)
endfunction()

# A version script and a .def file in the build folder that export `names`
# alone, from the library `file`; `what` opens the script's comment.
function(molv_write_export_lists what file names map def)
  list(JOIN names ";\n    " map_names)
  file(CONFIGURE OUTPUT ${map} CONTENT
"/* ${what} */
{
  global:
    ${map_names};
  local:
    *;
};
")
  list(JOIN names "\n    " def_names)
  file(CONFIGURE OUTPUT ${def} CONTENT
"LIBRARY ${file}
EXPORTS
    ${def_names}
")
endfunction()

molv_read_list(${molv_include_dir}/molv_wrap.h "MOLV_[A-Z]+" MOLV_EXPORT_NAMES molv_export_rows)
set(MOLV_EXPORT_ARGUMENTS)
foreach(row IN LISTS molv_export_rows)
  if(NOT row MATCHES "X\\((MOLV_[A-Z]+),.*, *([0-9]+)\\)")
    message(FATAL_ERROR "molv_wrap.h: cannot read the export line '${row}'")
  endif()
  list(APPEND MOLV_EXPORT_ARGUMENTS "${CMAKE_MATCH_1}=${CMAKE_MATCH_2}")
endforeach()
set(MOLV_EXPORTS_MAP ${CMAKE_BINARY_DIR}/generated/MOLV_Wrap.map)
set(MOLV_EXPORTS_DEF ${CMAKE_BINARY_DIR}/generated/MOLV_Wrap.def)
molv_write_export_lists("The module's only dynamic symbols: the exports of molv_wrap.h."
  MOLV_Wrap.dll "${MOLV_EXPORT_NAMES}" ${MOLV_EXPORTS_MAP} ${MOLV_EXPORTS_DEF})

molv_read_list(${molv_include_dir}/bregexp.h "B[A-Za-z]+" BREGEXP_ENTRY_NAMES bregexp_entry_rows)
set(BREGEXP_EXPORTS_MAP ${CMAKE_BINARY_DIR}/generated/bregexp.map)
set(BREGEXP_EXPORTS_DEF ${CMAKE_BINARY_DIR}/generated/bregexp.def)
molv_write_export_lists("The only dynamic symbols of bregexp.dll: the entry points of bregexp.h."
  bregexp.dll "${BREGEXP_ENTRY_NAMES}" ${BREGEXP_EXPORTS_MAP} ${BREGEXP_EXPORTS_DEF})
