# Front door. `make test` is what CI runs.
SHELL := /bin/bash
BUILD   := build
WIN32   := $(BUILD)/win32
NATIVE  := $(BUILD)/native
TSAN    := $(BUILD)/tsan
CMAKE_GEN := -G Ninja
ARGS    ?=

.PHONY: all deps win32 native tsan test test-native test-tsan test-win32 run bench fuzz clean screenshots

all: win32

deps:
	@bash scripts/install-deps.sh

$(WIN32)/build.ninja: | deps
	cmake -S . -B $(WIN32) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

$(NATIVE)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(NATIVE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug

$(TSAN)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(TSAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DBRINDLECAP_TSAN=ON

win32: deps $(WIN32)/build.ninja
	cmake --build $(WIN32)

native: deps $(NATIVE)/build.ninja
	cmake --build $(NATIVE)

tsan: deps $(TSAN)/build.ninja
	cmake --build $(TSAN)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure --no-tests=error -j2

test-tsan: tsan
	cd $(TSAN) && ctest --output-on-failure --no-tests=error -j2

# Wine tests share one desktop and one wineserver: one at a time.
test-win32: win32
	cd $(WIN32) && ctest --output-on-failure --no-tests=error -j1

test: test-native test-tsan test-win32

run: win32
	@bash scripts/run.sh $(WIN32) $(ARGS)

screenshots: win32
	@bash scripts/screenshots.sh $(WIN32)

bench: win32
	@bash scripts/bench.sh $(WIN32)

# Longer fuzzing by hand: make fuzz FUZZ_SECONDS=300
FUZZ_SECONDS ?= 60
fuzz: native
	@for t in fuzz_settings fuzz_cmdline fuzz_parsenumber; do \
	  echo "== $$t"; mkdir -p $(NATIVE)/tests/fuzz/corpus/$$t; \
	  $(NATIVE)/tests/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$(NATIVE)/tests/fuzz/ \
	    $(NATIVE)/tests/fuzz/corpus/$$t tests/fuzz/corpus/$$t || exit 1; done

clean:
	rm -rf $(BUILD)
