# Front door. `make test` is what CI runs.
SHELL := /bin/bash
BUILD   := build
WIN32   := $(BUILD)/win32
WIN64   := $(BUILD)/win64
NATIVE  := $(BUILD)/native
TSAN    := $(BUILD)/tsan
CMAKE_GEN := -G Ninja
ARGS    ?=

.PHONY: all deps win32 win64 native tsan test test-native test-tsan test-win32 test-win64 run bench effect dist fuzz clean screenshots

all: win32 win64

# Exit 0 where this machine runs 32-bit programs (the 32-bit Wine tier).
CAN_RUN_32 := scripts/can-run-32bit.sh

deps:
	@bash scripts/install-deps.sh

$(WIN32)/build.ninja: | deps
	cmake -S . -B $(WIN32) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DBRINDLECAP_X64_BIN=$(abspath $(WIN64))/bin

$(WIN64)/build.ninja: | deps
	cmake -S . -B $(WIN64) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

$(NATIVE)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(NATIVE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug

$(TSAN)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(TSAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DBRINDLECAP_TSAN=ON

win32: deps $(WIN32)/build.ninja
	cmake --build $(WIN32)

win64: deps $(WIN64)/build.ninja
	cmake --build $(WIN64)

native: deps $(NATIVE)/build.ninja
	cmake --build $(NATIVE)

tsan: deps $(TSAN)/build.ninja
	cmake --build $(TSAN)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure --no-tests=error -j2

test-tsan: tsan
	cd $(TSAN) && ctest --output-on-failure --no-tests=error -j2

# Wine tests share one desktop and one wineserver: one at a time. Each tree
# has its own prefix and server. Where 32-bit programs cannot run, the
# 32-bit tree's Wine entries report themselves skipped; the release test
# there packs the 64-bit files too, so it waits for that tree.
test-win64: win64
	cd $(WIN64) && ctest --output-on-failure --no-tests=error -j1

test-win32: win32 win64
	cd $(WIN32) && ctest --output-on-failure --no-tests=error -j1
	@$(CAN_RUN_32) || echo "this kernel cannot run 32-bit programs: the 32-bit Wine tier is skipped; the 64-bit tier ran"

# Every tree built first, one after another (each build takes both
# processors); then the tiers, the two Wine ones side by side.
test: deps
	@$(MAKE) --no-print-directory native tsan win64 win32
	@bash scripts/test-tiers.sh $(BUILD)

# The tree whose programs this machine runs: 32-bit where it can.
RUN_TREE = $(shell $(CAN_RUN_32) && echo $(WIN32) || echo $(WIN64))

run:
	@$(MAKE) --no-print-directory $(notdir $(RUN_TREE))
	@echo "make run: the $(if $(filter $(WIN32),$(RUN_TREE)),32-bit,64-bit) build ($(RUN_TREE)/bin)"
	@bash scripts/run.sh $(RUN_TREE) $(ARGS)

screenshots:
	@$(MAKE) --no-print-directory $(notdir $(RUN_TREE))
	@bash scripts/screenshots.sh $(RUN_TREE)

# Every tree whose programs run here.
bench: win64
	@$(CAN_RUN_32) && $(MAKE) --no-print-directory win32 && bash scripts/bench.sh $(WIN32) || true
	@bash scripts/bench.sh $(WIN64)

# What a cleaning frees and what it costs, in a memory-limited cgroup (root).
effect:
	@$(MAKE) --no-print-directory $(notdir $(RUN_TREE))
	@bash bench/effect.sh $(RUN_TREE)

# The release: build/dist/Brindlecap-1.97.zip, Brindlecap-1.97-x64.zip and
# Brindlecap-1.97-setup.exe, which installs either.
dist: win32 win64
	@bash scripts/dist.sh $(WIN32)/bin $(WIN64)/bin $(BUILD)/dist

# Longer fuzzing by hand: make fuzz FUZZ_SECONDS=300
FUZZ_SECONDS ?= 60
fuzz: native
	@for t in $(or $(FUZZ_TARGETS),fuzz_settings fuzz_cmdline fuzz_parsenumber fuzz_peexports); do \
	  echo "== $$t"; mkdir -p $(NATIVE)/tests/fuzz/corpus/$$t; \
	  $(NATIVE)/tests/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$(NATIVE)/tests/fuzz/ \
	    $(NATIVE)/tests/fuzz/corpus/$$t tests/fuzz/corpus/$$t || exit 1; done

clean:
	rm -rf $(BUILD)
