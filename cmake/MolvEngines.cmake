# The engines our bregexp.dll is built with, each a static library made from
# the pinned upstream sources that scripts/engine-sources unpacks, with the
# compiler, flags and toolchain of the build at hand (sanitizers, mingw-w64):
#   molv::pcre2  PCRE2 10.46, 8-bit code units, with the JIT
#   molv::re2    RE2 2022-06-01, its Unicode tables made from Debian's
#                unicode-data; MOLV_RE2_VERSION names it to its users
# Every target, Linux and Windows, links exactly these versions.
if(TARGET molv::pcre2)
  return()
endif()

set(MOLV_ENGINE_SOURCES "${CMAKE_CURRENT_LIST_DIR}/../build/engine-sources"
    CACHE PATH "Folder holding the unpacked PCRE2 and RE2 sources")
set(molv_pcre2_source "${MOLV_ENGINE_SOURCES}/pcre2-10.46")
if(NOT EXISTS "${molv_pcre2_source}/CMakeLists.txt")
  message(FATAL_ERROR "${molv_pcre2_source} is missing: run scripts/engine-sources (scripts/setup does)")
endif()

# PCRE2's own options, set before its project reads them. Static, PIC (it
# goes into a shared object), no programs, tests or shared libraries.
set(BUILD_SHARED_LIBS OFF)
set(BUILD_STATIC_LIBS ON CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2_8 ON CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2_16 OFF CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2_32 OFF CACHE BOOL "" FORCE)
set(PCRE2_STATIC_PIC ON CACHE BOOL "" FORCE)
set(PCRE2_SUPPORT_JIT ON CACHE BOOL "" FORCE)
set(PCRE2_SUPPORT_UNICODE ON CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2GREP OFF CACHE BOOL "" FORCE)
set(PCRE2_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(PCRE2_SHOW_REPORT OFF CACHE BOOL "" FORCE)

add_subdirectory(${molv_pcre2_source} ${CMAKE_BINARY_DIR}/engines/pcre2 EXCLUDE_FROM_ALL SYSTEM)

add_library(molv_pcre2 INTERFACE)
target_link_libraries(molv_pcre2 INTERFACE pcre2-8-static)
target_compile_definitions(molv_pcre2 INTERFACE PCRE2_STATIC)
add_library(molv::pcre2 ALIAS molv_pcre2)

# RE2 has no version function: its pinned release is written here once, and
# its users read it from MOLV_RE2_VERSION.
set(MOLV_RE2_VERSION 2022-06-01)
set(molv_re2_source "${MOLV_ENGINE_SOURCES}/re2-${MOLV_RE2_VERSION}")
# The library's sources as RE2's own CMakeLists.txt lists them (its project
# would also bring its tests, benchmarks and install rules). The last three
# tables in the list are the ones scripts/engine-sources makes.
set(molv_re2_sources
  re2/bitstate.cc re2/compile.cc re2/dfa.cc re2/filtered_re2.cc re2/mimics_pcre.cc
  re2/nfa.cc re2/onepass.cc re2/parse.cc re2/prefilter.cc re2/prefilter_tree.cc
  re2/prog.cc re2/re2.cc re2/regexp.cc re2/set.cc re2/simplify.cc re2/stringpiece.cc
  re2/tostring.cc util/rune.cc util/strutil.cc
  re2/perl_groups.cc re2/unicode_casefold.cc re2/unicode_groups.cc)
list(TRANSFORM molv_re2_sources PREPEND "${molv_re2_source}/")
foreach(source IN LISTS molv_re2_sources)
  if(NOT EXISTS "${source}")
    message(FATAL_ERROR "${source} is missing: run scripts/engine-sources (scripts/setup does)")
  endif()
endforeach()

find_package(Threads REQUIRED)
add_library(molv_re2 STATIC ${molv_re2_sources})
# Its headers are included as system headers, so our warnings stay ours.
target_include_directories(molv_re2 SYSTEM PUBLIC "${molv_re2_source}")
# It goes into a shared object, and none of its symbols is for export. As
# for our own code, g++ must not mark its inline statics "unique", which
# would keep bregexp.dll loaded after its last dlclose.
set_target_properties(molv_re2 PROPERTIES
  POSITION_INDEPENDENT_CODE ON
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
if(MOLV_HAS_NO_GNU_UNIQUE)
  target_compile_options(molv_re2 PRIVATE -fno-gnu-unique)
endif()
# Its one piece of Windows code, the SRWLOCK mutex, includes <windows.h>,
# whose min and max macros would break std::min and std::max.
if(WIN32)
  target_compile_definitions(molv_re2 PRIVATE NOMINMAX)
endif()
# std::call_once, std::mutex and the pthread mutex of util/mutex.h.
target_link_libraries(molv_re2 PUBLIC Threads::Threads)
target_compile_definitions(molv_re2 INTERFACE MOLV_RE2_VERSION="${MOLV_RE2_VERSION}")
add_library(molv::re2 ALIAS molv_re2)
