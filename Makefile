# The two commands everybody needs are `make run` and `make test`; both do the
# whole set-up first (missing Debian packages, configure, build).
BUILD     ?= build
JOBS      ?= $(shell nproc)
BUILDTYPE ?= Release
WERROR    ?= OFF
FUZZ_SECONDS ?= 20

# New build folders use Ninja, which starts a target's compiles before the
# libraries it links are finished; a folder keeps the generator it was made with.
GENERATOR = $(if $(wildcard $(1)/CMakeCache.txt),,$(if $(shell command -v ninja),-G Ninja,))
CMAKE_CONFIGURE = cmake -S . -B $(1) $(call GENERATOR,$(1)) -DCMAKE_BUILD_TYPE=$(BUILDTYPE) -DZIBBO_WERROR=$(WERROR) $(2) >/dev/null

.PHONY: all setup configure build kit run test bench fuzz asan tsan clean format format-check layers-check

# ccache keys on paths relative to the checkout, so every clone and work tree shares one cache;
# the prefix map option names the checkout itself and does not change what is compiled.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_IGNOREOPTIONS ?= -fmacro-prefix-map=*
# The test binaries share one precompiled header, which ccache caches only when
# told that its time stamps and the defines it was made with do not matter here.
export CCACHE_SLOPPINESS ?= pch_defines,time_macros

all: build

setup:
	@bash scripts/setup

configure: setup
	@$(call CMAKE_CONFIGURE,$(BUILD),)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# The demo content kit is built from content/ by our own tools once it exists.
kit: build
	@if [ -f content/CMakeLists.txt ]; then cmake --build $(BUILD) --target demo_kit -j$(JOBS); fi

run: kit
	$(BUILD)/app/zibbo

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 600

bench: build
	@set -e; for b in $$(find $(BUILD)/bench -type f -executable -name 'bench_*' | sort); do \
	  echo "== $$b"; $$b --benchmark_counters_tabular=true; done

# AddressSanitizer + UndefinedBehaviorSanitizer over every test.
# The sanitizer builds take the demo kit's media from the ordinary build's cache.
SHARED_RECIPES = -DZIBBO_RECIPE_CACHE=$(CURDIR)/$(BUILD)/recipe-cache

asan: setup
	@$(call CMAKE_CONFIGURE,build-asan,-DZIBBO_SANITIZE=asan -DCMAKE_BUILD_TYPE=Debug -DZIBBO_BENCH=OFF $(SHARED_RECIPES))
	cmake --build build-asan -j$(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j$(JOBS) --timeout 900

# ThreadSanitizer over the tests of the threaded engine parts.
tsan: setup
	@$(call CMAKE_CONFIGURE,build-tsan,-DZIBBO_SANITIZE=tsan -DCMAKE_BUILD_TYPE=Debug -DZIBBO_BENCH=OFF $(SHARED_RECIPES))
	cmake --build build-tsan -j$(JOBS)
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j$(JOBS) --timeout 900 -L threads

# Short libFuzzer runs of every harness (needs clang); each starts from its seed corpus.
fuzz: setup
	@command -v clang++ >/dev/null || { echo "fuzz: clang++ not found"; exit 1; }
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIBBO_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j$(JOBS)
	@set -e; for f in $$(cat build-fuzz/fuzzers.txt); do \
	  corpus=$$f.corpus; mkdir -p $$corpus; \
	  echo "== $$f"; $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $$corpus; done

FORMAT_FILES = git ls-files '*.cpp' '*.h' '*.c'

# Both need clang-format, which setup installs on a fresh machine (CI runs format-check first).
format: setup
	@$(FORMAT_FILES) | xargs clang-format -i

# Fails when any source file differs from what clang-format makes of it.
format-check: setup
	@$(FORMAT_FILES) | xargs clang-format --dry-run --Werror

# Fails when a file breaks the layering that ARCHITECTURE.md describes (system
# headers outside the platform layer, the engine including the game, backend
# classes named outside the programs' mains and the tests).
layers-check: setup
	@python3 scripts/layers-check

clean:
	rm -rf build build-asan build-tsan build-fuzz
