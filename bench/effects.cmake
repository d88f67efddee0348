# The effects' cost per stereo frame: RedoRuviz, the mixer with eight tracks
# fed, DovoDorez and DavarorOdir, each at its settings from creation.
if(TARGET stockpack_core)
    corvane_benchmark(bench_effects EffectsBench.cpp LIBS stockpack_core)
endif()
