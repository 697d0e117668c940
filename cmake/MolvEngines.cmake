# The engine our bregexp.dll runs on, built as a static library from the
# pinned upstream sources that scripts/engine-sources unpacks, with the
# compiler, flags and toolchain of the build at hand (sanitizers, mingw-w64):
#   molv::pcre2  PCRE2 10.46, 8-bit code units, with the JIT
# Every target, Linux and Windows, links exactly this version.
if(TARGET molv::pcre2)
  return()
endif()

set(MOLV_ENGINE_SOURCES "${CMAKE_CURRENT_LIST_DIR}/../build/engine-sources"
    CACHE PATH "Folder holding the unpacked PCRE2 sources")
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
