# The drum machines' cost per stereo frame: VUziD8 with all eleven sounds
# ringing, Zazud with one hit.
if(TARGET stockpack_core)
    corvane_benchmark(bench_drums DrumsBench.cpp LIBS stockpack_core)
endif()
