# The VST adapter's cost per block around a pass-through plug-in, against
# calling the plug-in directly in the same run; and the scan of /usr/lib/vst
# on a first start and on a later, cached one.
add_library(bench_vst_passthrough MODULE vst/PassThroughPlugin.cpp)
target_include_directories(bench_vst_passthrough PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(bench_vst_passthrough PROPERTIES PREFIX "" OUTPUT_NAME "PassThrough"
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench/vst CXX_VISIBILITY_PRESET hidden)

corvane_benchmark(bench_vst vst/VSTAdapterBench.cpp LIBS plugins host framework platform)
target_compile_definitions(bench_vst PRIVATE
    PASS_THROUGH_PLUGIN="$<TARGET_FILE:bench_vst_passthrough>"
    VST_SCANNER="$<TARGET_FILE:corvane-vstscan>")
add_dependencies(bench_vst bench_vst_passthrough corvane-vstscan)
