# The floor of bench/jack-xruns.sh: a JACK client that writes silence.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BENCH_JACK IMPORTED_TARGET jack)
if(BENCH_JACK_FOUND)
    add_executable(silent_jack_client JackSilentClient.cpp)
    set_target_properties(silent_jack_client PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    target_link_libraries(silent_jack_client PRIVATE PkgConfig::BENCH_JACK)
    add_dependencies(benchmarks silent_jack_client)
endif()
