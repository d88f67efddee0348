# The two commands a new user needs: `make run` and `make test`.
# Both install what is missing first, then build with CMake and Ninja.

BUILD_DIR ?= build
TEST_BUILD_DIR ?= build-test
JOBS ?= $(shell nproc)
DEMO ?= examples/demo.cvx

.PHONY: all deps build run test bench clean fuzz

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=OFF

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS) --target studio
	bash tools/run-demo.sh $(BUILD_DIR) $(DEMO)

$(TEST_BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(TEST_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_BENCH=OFF

test: deps $(TEST_BUILD_DIR)/build.ninja
	cmake --build $(TEST_BUILD_DIR) -j $(JOBS)
	cd $(TEST_BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 600

bench: build
	cmake --build $(BUILD_DIR) -j $(JOBS) --target benchmarks
	@for b in $(BUILD_DIR)/bench/bench_*; do echo "== $$b"; $$b; done
	cmake --build $(BUILD_DIR) -j $(JOBS) --target studio
	@echo "== bench/jack-xruns.sh"; bash bench/jack-xruns.sh $(BUILD_DIR) $(DEMO)

clean:
	rm -rf $(BUILD_DIR) $(TEST_BUILD_DIR)

# Builds the libFuzzer targets (the project reader, the SoundFont loader,
# the options file, WAV and PNG readers, and each machine type's LoadState)
# with clang in a folder of their own
# and runs each for a bounded FUZZ_SECONDS from seeds it writes itself into
# its own corpus folder, one line of figures per target. `make test` does
# not build this tree (about four minutes on two cores without a warm
# cache, more than its budget allows); it replays each fuzzer's seeds, cut
# short and with bytes flipped, through the sanitizer build instead.
FUZZ_SECONDS ?= 60
MACHINE_STATE_FUZZERS = razuzuri razuzuri_polyphonic drumkit dovodorez mixer davarorodir zazud redoruviz \
	arpeggiator midi_input midi_output control_change_mapper recorder_track_mono recorder_track_stereo vst_adapter
FUZZERS ?= project_read_fuzzer soundfont_load_fuzzer options_read_fuzzer wav_read_fuzzer png_read_fuzzer \
	$(addsuffix _state_fuzzer,$(MACHINE_STATE_FUZZERS))

fuzz: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -DCORVANE_SANITIZE=ON -DCORVANE_BENCH=OFF \
		-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
	cmake --build build-fuzz -j $(JOBS) --target $(FUZZERS)
	@bash tools/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS) $(FUZZERS)
