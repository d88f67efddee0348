# The floor of bench/jack-xruns.sh: a JACK client that writes silence.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BENCH_JACK IMPORTED_TARGET jack)
if(BENCH_JACK_FOUND)
    add_executable(bench_jack_silent JackSilentClient.cpp)
    set_target_properties(bench_jack_silent PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    target_link_libraries(bench_jack_silent PRIVATE PkgConfig::BENCH_JACK)
    add_dependencies(benchmarks bench_jack_silent)
endif()
