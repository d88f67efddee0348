# The GUI toolkit's benchmark: the PNG reader against libpng.
find_package(PNG REQUIRED)
corvane_benchmark(bench_png PngBench.cpp LIBS gui_core PNG::PNG)
