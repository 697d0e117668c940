# The module's benchmarks: MOLV_ exports against the engines called directly,
# the cache, 1 MiB work against perl (module_vs_perl.pl), cursor walks.
# Included from bench/CMakeLists.txt; scripts/bench runs them and writes the
# table into README.md.
if(TARGET bregexp)
  find_package(benchmark REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MOLV_BENCH_PCRE2 REQUIRED IMPORTED_TARGET libpcre2-8)
  pkg_check_modules(MOLV_BENCH_ONIGURUMA REQUIRED IMPORTED_TARGET oniguruma)

  add_executable(module_bench
    ${CMAKE_CURRENT_LIST_DIR}/module_bench.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/module_host.cpp)
  molv_setup_target(module_bench)
  target_include_directories(module_bench PRIVATE ${PROJECT_SOURCE_DIR}/fuzz ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(module_bench PRIVATE molv_export_table benchmark::benchmark
    PkgConfig::MOLV_BENCH_PCRE2 PkgConfig::MOLV_BENCH_ONIGURUMA)
  # Beside the module it loads, which finds our bregexp.dll beside itself.
  set_target_properties(module_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:MOLV_Wrap>)
  add_dependencies(module_bench MOLV_Wrap bregexp)
endif()
