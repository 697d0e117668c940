# The module's ten exports, read from the one list in include/molv_wrap.h:
#   MOLV_EXPORT_NAMES      the names, in the list's order
#   MOLV_EXPORT_ARGUMENTS  NAME=COUNT for each, the number of arguments
# and the linker's export lists made from them in the build folder:
#   MOLV_EXPORTS_MAP (a version script) and MOLV_EXPORTS_DEF (a .def file).
set(molv_header ${PROJECT_SOURCE_DIR}/include/molv_wrap.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${molv_header})
file(STRINGS ${molv_header} molv_export_lines REGEX "^ *X\\(MOLV_[A-Z]+,")
# The macro's lines end in a backslash, which would join them in a list.
string(REPLACE "\\" "" molv_export_lines "${molv_export_lines}")

set(MOLV_EXPORT_NAMES)
set(MOLV_EXPORT_ARGUMENTS)
foreach(line IN LISTS molv_export_lines)
  if(NOT line MATCHES "X\\((MOLV_[A-Z]+),.*, *([0-9]+)\\)")
    message(FATAL_ERROR "molv_wrap.h: cannot read the export line '${line}'")
  endif()
  list(APPEND MOLV_EXPORT_NAMES ${CMAKE_MATCH_1})
  list(APPEND MOLV_EXPORT_ARGUMENTS "${CMAKE_MATCH_1}=${CMAKE_MATCH_2}")
endforeach()
list(LENGTH MOLV_EXPORT_NAMES molv_export_count)
if(molv_export_count EQUAL 0)
  message(FATAL_ERROR "molv_wrap.h lists no exports")
endif()

list(JOIN MOLV_EXPORT_NAMES ";\n    " molv_map_names)
set(MOLV_EXPORTS_MAP ${CMAKE_BINARY_DIR}/generated/MOLV_Wrap.map)
file(CONFIGURE OUTPUT ${MOLV_EXPORTS_MAP} CONTENT
"/* The module's only dynamic symbols: the exports of molv_wrap.h. */
{
  global:
    ${molv_map_names};
  local:
    *;
};
")
list(JOIN MOLV_EXPORT_NAMES "\n    " molv_def_names)
set(MOLV_EXPORTS_DEF ${CMAKE_BINARY_DIR}/generated/MOLV_Wrap.def)
file(CONFIGURE OUTPUT ${MOLV_EXPORTS_DEF} CONTENT
"LIBRARY MOLV_Wrap.dll
EXPORTS
    ${molv_def_names}
")
