# The module's benchmarks: MOLV_ exports against the engines called directly,
# the cache, 1 MiB work against perl (module_vs_perl.pl), cursor walks;
# module_scaling, the cache under up to a million distinct patterns; and
# module_threads, cached calls from host threads at once.
# Included from bench/CMakeLists.txt; scripts/bench runs them and writes the
# table into README.md.
if(TARGET bregexp AND TARGET MOLV_Wrap)
  find_package(benchmark REQUIRED)
  find_package(Threads REQUIRED)

  # A program that loads the module as a host does, built beside the module,
  # which finds our bregexp.dll beside itself.
  function(molv_add_host_benchmark name)
    add_executable(${name} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${name}.cpp)
    molv_setup_target(${name})
    target_link_libraries(${name} PRIVATE molv_support ${ARGN})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:MOLV_Wrap>)
    add_dependencies(${name} MOLV_Wrap bregexp)
  endfunction()

  # regexlib_core for its Shift_JIS to UTF-8 conversion, done before timing.
  molv_add_host_benchmark(module_bench benchmark::benchmark molv::pcre2 regexlib_core)
  # Plain programs: one long run that grows the number of patterns used, and
  # rounds that each start their own threads, fit Google Benchmark's
  # repeated, independent runs badly.
  molv_add_host_benchmark(module_scaling)
  molv_add_host_benchmark(module_threads Threads::Threads)
endif()
