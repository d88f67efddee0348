# Benchmarks of the stock machine library: RazuZuri's cost per voice and
# sample, and the library's start-up (CorvPlugInit) on the built .so.
if(TARGET stockpack)
    corvane_benchmark(bench_razuzuri RazuZuriBench.cpp RazuZuriInitBench.cpp LIBS stockpack_core ${CMAKE_DL_LIBS})
    add_dependencies(bench_razuzuri stockpack)
    target_compile_definitions(bench_razuzuri PRIVATE CORVANE_STOCKPACK_LIBRARY="$<TARGET_FILE:stockpack>")
endif()

# The band-limited oscillator's aliasing, DC, peaks and cost per sample,
# before and after its cleaner step table, printed in one run.
if(TARGET stockpack_core)
    corvane_benchmark(bench_oscillator_quality
        OscillatorQualityBench.cpp
        PreviousBandLimitedOscillator.cpp
        ${CMAKE_SOURCE_DIR}/tests/stockpack/dsp/OscillatorSpectrum.cpp
        LIBS stockpack_core)
endif()
