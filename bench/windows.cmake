# windows_bench: the DLL against the bregexp.dll it loaded, timed in one
# process under each calling convention (scripts/bench runs it under Wine).
# Included from bench/CMakeLists.txt on Windows builds.
if(TARGET bregexp AND TARGET MOLV_Wrap)
  add_executable(windows_bench ${CMAKE_CURRENT_LIST_DIR}/windows_bench.cpp)
  molv_setup_target(windows_bench)
  target_link_libraries(windows_bench PRIVATE molv_support)
  target_compile_definitions(windows_bench PRIVATE MOLV_CALLING_CONVENTION="${MOLV_CONVENTION}")
  # In the output folder, beside the module and our bregexp.dll.
  add_dependencies(windows_bench MOLV_Wrap bregexp)
endif()
