# heatx: the two commands of the README do all the set-up on a fresh Debian 12 machine.
SHELL := /bin/bash
BUILD_DIR ?= build
BUILD_TYPE ?= Release
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

WEB_DIR ?= build-web
SANITIZE_DIR ?= build-sanitize
PACKAGE_DIR ?= build-package
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

PREFIX ?= /usr/local

.PHONY: all bench-web deps deps-run deps-package deps-web configure-web web test-web configure configure-programs build programs run test test-sanitize fuzz fuzz-ci install package dist bench bench-batch bench-startup clean format

all: build

# Everything: the programs, the tests, the benchmarks, the fuzzers and the package.
deps:
	@bash scripts/install-deps

# Only what building and running the two programs needs.
deps-run:
	@bash scripts/install-deps --run

# Only what building the two programs and their Debian package needs.
deps-package:
	@bash scripts/install-deps --package

# The build holds the browser edition too, in make web's tree (one page for the tests and the package).
configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DHEATX_WITH_TESTS=ON -DHEATX_WITH_BENCH=ON \
		-DHEATX_WITH_WEB=ON -DHEATX_WEB_BUILD_DIR=$(abspath $(WEB_DIR)) \
		"-DHEATX_WEB_OPTIONS=-DHEATX_CALC=$(abspath $(BUILD_DIR))/src/cli/heatx-calc;$(WEB_CACHE)"

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# heatx and heatx-calc alone, without the tests and the benchmarks.
configure-programs: deps-run
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DHEATX_WITH_TESTS=OFF -DHEATX_WITH_BENCH=OFF \
		-DHEATX_WITH_WEB=OFF

programs: configure-programs
	cmake --build $(BUILD_DIR) -j $(JOBS) --target heatx heatx-calc

run: programs
	@if [ -x $(BUILD_DIR)/src/app/heatx ]; then \
		$(BUILD_DIR)/src/app/heatx $(ARGS); \
	else \
		$(BUILD_DIR)/src/cli/heatx-calc --help; \
	fi

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-web

# The browser edition: the same windows and calculations compiled to WebAssembly with Debian's
# Emscripten, in one page that opens from disk. emcc's tools need Debian's node modules; ccache serves
# emcc too when it is installed.
WEB_ENV := NODE_PATH=/usr/share/nodejs
WEB_CACHE := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

deps-web:
	@bash scripts/install-deps --web

configure-web: deps-web
	$(WEB_ENV) emcmake cmake -S web -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release $(WEB_CACHE) \
		-DHEATX_CALC=$(abspath $(BUILD_DIR))/src/cli/heatx-calc

web: configure-web
	$(WEB_ENV) cmake --build $(WEB_DIR) -j $(JOBS) --target heatx_page
	@echo "$(abspath $(WEB_DIR))/heatx.html"

# The core tests on the browser edition's code under node, and its page in headless Chromium (whose roads
# compare the results with $(BUILD_DIR)'s heatx-calc: `make test` builds it first).
test-web: deps configure-web
	$(WEB_ENV) cmake --build $(WEB_DIR) -j $(JOBS)
	cd $(WEB_DIR) && ctest --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A Debian package: build-package/heatx_<version>-1_<arch>.deb, from a build tree of its own that holds
# only the programs, their manual pages and data and the browser edition (no tests, benchmarks, fuzzers
# or print server).
package: deps-package
	cmake -S . -B $(PACKAGE_DIR) -DCMAKE_BUILD_TYPE=Release -DHEATX_WITH_TESTS=OFF -DHEATX_WITH_BENCH=OFF \
		-DHEATX_WITH_WEB=ON "-DHEATX_WEB_OPTIONS=-DHEATX_WITH_TESTS=OFF"
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	cd $(PACKAGE_DIR) && cpack -G DEB

# A source tarball of the last commit, build/heatx-<version>.tar.gz, that knows its version without git.
dist: configure
	@v="$$(sed -n 1p $(BUILD_DIR)/packaging/version.txt)"; t="$$(sed -n 2p $(BUILD_DIR)/packaging/version.txt)"; \
	git archive --format=tar.gz --prefix="heatx-$$v/" \
		--add-virtual-file="heatx-$$v/.tarball-version:$$v"$$'\n'"$$t"$$'\n' \
		-o "$(BUILD_DIR)/heatx-$$v.tar.gz" HEAD && echo "$(BUILD_DIR)/heatx-$$v.tar.gz"

# Benchmarks (not part of the tests).
bench: build
	$(BUILD_DIR)/bench/heatx_core_bench

# heatx-calc batch over a generated table of 10^6 mixed variants: variants per second and memory.
bench-batch: build
	/usr/bin/python3 bench/batch/run_batch_bench.py --calc $(BUILD_DIR)/src/cli/heatx-calc

bench-startup: build
	/usr/bin/python3 bench/startup/run_startup_bench.py --heatx $(BUILD_DIR)/src/app/heatx --bare $(BUILD_DIR)/bench/bare_window \
		--same-picture $(BUILD_DIR)/bench/same_picture

# The browser edition's budgets: the page's size, its start against a plain page painting the same
# picture (headless Chromium), the calculations in WebAssembly against the native code.
bench-web: build
	$(WEB_ENV) cmake --build $(WEB_DIR) -j $(JOBS) --target heatx_page heatx_calc_timing
	/usr/bin/python3 bench/web/run_web_bench.py --page $(WEB_DIR)/heatx.html --fonts $(WEB_DIR)/link/heatx-fonts.css \
		--native $(BUILD_DIR)/bench/heatx_calc_timing --wasm $(WEB_DIR)/heatx_calc_timing.js

# The whole test suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DHEATX_SANITIZE=ON -DHEATX_WITH_BENCH=OFF \
		-DHEATX_WITH_WEB=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS, starting from the seed corpus kept in fuzz/corpus.
fuzz: deps
	CXX=clang++ cmake -S fuzz -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	@for t in numeric methods calculator csv journal; do \
		mkdir -p $(FUZZ_DIR)/corpus/$$t; \
		echo "fuzz_$$t: $(FUZZ_SECONDS) s"; \
		if ! $(FUZZ_DIR)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
				$(FUZZ_DIR)/corpus/$$t fuzz/corpus/$$t > $(FUZZ_DIR)/fuzz_$$t.log 2>&1; then \
			tail -n 60 $(FUZZ_DIR)/fuzz_$$t.log; exit 1; \
		fi; \
		grep -E "stat::number_of_executed_units|Done" $(FUZZ_DIR)/fuzz_$$t.log; \
	done

fuzz-ci:
	$(MAKE) fuzz FUZZ_SECONDS=30

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(WEB_DIR)
