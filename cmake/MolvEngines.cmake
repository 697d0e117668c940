# The two engines our bregexp.dll runs on, built as static libraries from
# the pinned upstream sources that scripts/engine-sources unpacks, with the
# compiler, flags and toolchain of the build at hand (sanitizers, mingw-w64):
#   molv::pcre2      PCRE2 10.46, 8-bit code units, with the JIT
#   molv::oniguruma  Oniguruma 6.9.9
# Every target, Linux and Windows, links exactly these versions.
if(TARGET molv::pcre2)
  return()
endif()

set(MOLV_ENGINE_SOURCES "${CMAKE_CURRENT_LIST_DIR}/../build/engine-sources"
    CACHE PATH "Folder holding the unpacked PCRE2 and Oniguruma sources")
set(molv_pcre2_source "${MOLV_ENGINE_SOURCES}/pcre2-10.46")
set(molv_oniguruma_source "${MOLV_ENGINE_SOURCES}/oniguruma-6.9.9")
foreach(source IN ITEMS ${molv_pcre2_source} ${molv_oniguruma_source})
  if(NOT EXISTS "${source}/CMakeLists.txt")
    message(FATAL_ERROR "${source} is missing: run scripts/engine-sources (scripts/setup does)")
  endif()
endforeach()

# The engines' own options, set before their projects read them. Static, PIC
# (they go into a shared object), no programs, tests or shared libraries.
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
set(ENABLE_POSIX_API OFF CACHE BOOL "" FORCE)
set(BUILD_TEST OFF CACHE BOOL "" FORCE)
set(INSTALL_DOCUMENTATION OFF CACHE BOOL "" FORCE)

add_subdirectory(${molv_pcre2_source} ${CMAKE_BINARY_DIR}/engines/pcre2 EXCLUDE_FROM_ALL SYSTEM)
add_subdirectory(${molv_oniguruma_source} ${CMAKE_BINARY_DIR}/engines/oniguruma EXCLUDE_FROM_ALL SYSTEM)
set_target_properties(onig PROPERTIES POSITION_INDEPENDENT_CODE ON)

add_library(molv_pcre2 INTERFACE)
target_link_libraries(molv_pcre2 INTERFACE pcre2-8-static)
target_compile_definitions(molv_pcre2 INTERFACE PCRE2_STATIC)
add_library(molv::pcre2 ALIAS molv_pcre2)

add_library(molv_oniguruma INTERFACE)
target_link_libraries(molv_oniguruma INTERFACE onig)
target_compile_definitions(molv_oniguruma INTERFACE ONIG_STATIC)
add_library(molv::oniguruma ALIAS molv_oniguruma)
