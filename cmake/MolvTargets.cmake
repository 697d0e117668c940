# Settings every target of the project shares.
include(CheckCXXCompilerFlag)
check_cxx_compiler_flag(-fno-gnu-unique MOLV_HAS_NO_GNU_UNIQUE)

function(molv_setup_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  # g++ marks a shared object with "unique" symbols as never unloadable; the
  # module must really unload at its last dlclose so detach runs then.
  if(MOLV_HAS_NO_GNU_UNIQUE)
    target_compile_options(${target} PRIVATE -fno-gnu-unique)
  endif()
endfunction()

# A shared library the module loads by the fixed name "bregexp.dll". It has
# no SONAME: the loader would otherwise hand any loaded library of that name
# to a module asking for "bregexp.dll", whichever folder it came from.
function(molv_name_as_bregexp target)
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME bregexp SUFFIX .dll NO_SONAME ON)
endfunction()

# One GoogleTest executable per test folder, registered with CTest.
function(molv_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  molv_setup_target(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    # Under an emulator every start of a program is costly (Wine): the whole
    # program is one test, and its output names the failing cases.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
  endif()
endfunction()
