# The audio thread's cost of playing a large song.
corvane_benchmark(bench_project_playback ProjectPlaybackBench.cpp LIBS project drivers machines)
