# Zeb: the two everyday commands are `make play` and `make test` (see README.md).
SHELL := /bin/bash
JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# Seconds each fuzz target runs (make fuzz), and the length of a soak run.
FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 120
XVFB := xvfb-run -a -s "-screen 0 1024x768x24"
GAME_DIR := $(BUILD)/game
# Lets ccache (when present) share results between checkouts side by side.
export CCACHE_BASEDIR := $(abspath $(CURDIR)/..)

# Every Debian package that the build, the game, the tests and the benchmarks need.
PACKAGES := build-essential cmake pkg-config git ccache \
	libsdl2-dev libgl1-mesa-dev libgl1-mesa-dri libglu1-mesa-dev freeglut3-dev \
	libfreetype-dev libfontconfig-dev fonts-liberation \
	libgtest-dev libgmock-dev libbenchmark-dev \
	xvfb xauth \
	clang libclang-rt-dev libxtst-dev

.PHONY: deps configure build content play test test-asan bench fuzz soak format clean

deps:
	@missing=""; for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		SUDO=""; [ "$$(id -u)" = 0 ] || SUDO=sudo; \
		$$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release > /dev/null

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

# The default content pack, written once into the game's working directory.
content: build
	@if [ -x $(BUILD)/zeb-content ]; then \
		if [ ! -f $(GAME_DIR)/Data/.complete ]; then \
			mkdir -p $(GAME_DIR) && $(BUILD)/zeb-content $(GAME_DIR)/Data && touch $(GAME_DIR)/Data/.complete; \
		fi; \
	else mkdir -p $(GAME_DIR); fi

play: content
	cd $(GAME_DIR) && ../zeb

test: build
	cd $(BUILD) && $(XVFB) ctest --output-on-failure -j $(JOBS)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
# Leak reports take full stacks so that leaks inside system libraries match
# their suppressions; the software rasteriser without a JIT is used because
# full-stack unwinding deadlocks inside the JIT's frame registration (vertex
# processing, which the picker's proxies go through, is kept off the JIT too).
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZEB_SANITIZE=ON > /dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan.supp:fast_unwind_on_malloc=0 GALLIUM_DRIVER=softpipe DRAW_USE_LLVM=0 \
		UBSAN_OPTIONS=print_stacktrace=1 $(XVFB) ctest --output-on-failure -j $(JOBS) -E Play
	# The play-throughs draw thousands of whole frames, far too slow on the plain
	# software rasteriser: they take the JIT one, with the allocator's own fast
	# unwinding for leak reports.
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan.supp \
		UBSAN_OPTIONS=print_stacktrace=1 $(XVFB) ctest --output-on-failure -R Play

# libFuzzer targets of the loaders (fuzz/), built with clang under ASan and
# UBSan, each run FUZZ_SECONDS, seeded from the content pack and fuzz/seeds.cpp.
fuzz: content
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEB_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ > /dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all
	UBSAN_OPTIONS=print_stacktrace=1 fuzz/run.sh $(FUZZ_BUILD) $(GAME_DIR)/Data $(FUZZ_SECONDS)

# The real game under the sanitizers, driven by random input for
# SOAK_SECONDS (tools/soak). The allocator's quarantine is kept small so that
# the resident size follows the game's own memory.
soak: content
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZEB_SANITIZE=ON > /dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target zeb zeb-soak
	ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16 LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan.supp \
		UBSAN_OPTIONS=print_stacktrace=1 $(XVFB) $(ASAN_BUILD)/zeb-soak --game $(abspath $(ASAN_BUILD))/zeb \
		--dir $(GAME_DIR) --seconds $(SOAK_SECONDS)

bench: content
	@for b in $(BUILD)/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; (cd $(BUILD) && $(XVFB) ./$$(basename $$b)) || exit 1; done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
