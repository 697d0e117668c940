# The module's benchmarks: MOLV_ exports against the engines called directly,
# the cache, 1 MiB work against perl (module_vs_perl.pl), cursor walks;
# module_scaling, the cache under up to a million distinct patterns; and
# module_threads, cached calls from host threads at once.
# Included from bench/CMakeLists.txt; scripts/bench runs them and writes the
# table into README.md.
if(TARGET bregexp AND TARGET MOLV_Wrap)
  find_package(benchmark REQUIRED)

  add_executable(module_bench
    ${CMAKE_CURRENT_LIST_DIR}/module_bench.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/module_host.cpp)
  molv_setup_target(module_bench)
  target_include_directories(module_bench PRIVATE ${PROJECT_SOURCE_DIR}/fuzz ${PROJECT_SOURCE_DIR}/src)
  # regexlib_core for its Shift_JIS to UTF-8 conversion, done before timing.
  target_link_libraries(module_bench PRIVATE molv_export_table benchmark::benchmark
    molv::pcre2 regexlib_core)
  # Beside the module it loads, which finds our bregexp.dll beside itself.
  set_target_properties(module_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:MOLV_Wrap>)
  add_dependencies(module_bench MOLV_Wrap bregexp)

  # A plain program: one long run that grows the number of patterns used
  # fits Google Benchmark's repeated, independent runs badly.
  add_executable(module_scaling
    ${CMAKE_CURRENT_LIST_DIR}/module_scaling.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/module_host.cpp)
  molv_setup_target(module_scaling)
  target_include_directories(module_scaling PRIVATE ${PROJECT_SOURCE_DIR}/fuzz ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(module_scaling PRIVATE molv_export_table)
  set_target_properties(module_scaling PROPERTIES RUNTIME_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:MOLV_Wrap>)
  add_dependencies(module_scaling MOLV_Wrap bregexp)

  # A plain program too: each round starts its own threads.
  find_package(Threads REQUIRED)
  add_executable(module_threads
    ${CMAKE_CURRENT_LIST_DIR}/module_threads.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/module_host.cpp)
  molv_setup_target(module_threads)
  target_include_directories(module_threads PRIVATE ${PROJECT_SOURCE_DIR}/fuzz ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(module_threads PRIVATE molv_export_table Threads::Threads)
  set_target_properties(module_threads PROPERTIES RUNTIME_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:MOLV_Wrap>)
  add_dependencies(module_threads MOLV_Wrap bregexp)
endif()
