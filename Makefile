# heatx: the two commands of the README do all the set-up on a fresh Debian 12 machine.
SHELL := /bin/bash
BUILD_DIR ?= build
BUILD_TYPE ?= Release
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

PREFIX ?= /usr/local

.PHONY: all deps configure build run test test-sanitize fuzz fuzz-ci install package bench bench-startup clean format

all: build

deps:
	@bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -x $(BUILD_DIR)/src/app/heatx ]; then \
		$(BUILD_DIR)/src/app/heatx $(ARGS); \
	else \
		$(BUILD_DIR)/src/cli/heatx-calc --help; \
	fi

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A Debian package: build/heatx_<version>_<arch>.deb
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# Benchmarks (not part of the tests).
bench: build
	$(BUILD_DIR)/bench/heatx_core_bench

bench-startup: build
	/usr/bin/python3 bench/startup/run_startup_bench.py --heatx $(BUILD_DIR)/src/app/heatx --bare $(BUILD_DIR)/bench/bare_window \
		--same-picture $(BUILD_DIR)/bench/same_picture

# The whole test suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DHEATX_SANITIZE=ON -DHEATX_WITH_BENCH=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS, starting from the seed corpus kept in fuzz/corpus.
fuzz: deps
	CXX=clang++ cmake -S fuzz -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	@for t in numeric methods calculator; do \
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
	rm -rf $(BUILD_DIR)
