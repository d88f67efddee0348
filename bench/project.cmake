# Saving and reading a project of 100 machines and 1000 patterns.
corvane_benchmark(bench_project_file ProjectFileBench.cpp LIBS project drivers machines)
