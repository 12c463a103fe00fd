# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup configure build run test tsan bench format clean

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -x $(BUILD_DIR)/bin/pellorin ]; then \
		exec $(BUILD_DIR)/bin/pellorin; \
	else \
		echo "Built the core libraries, tests and benchmarks in $(BUILD_DIR)/."; \
		echo "The window program comes with a later step; 'make test' runs what exists so far."; \
	fi

test: build
	@bash scripts/run-tests.sh $(BUILD_DIR)

# The whole suite again under ThreadSanitizer (benchmarks left out).
tsan: setup
	@cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLORIN_SANITIZE=thread \
		-DPELLORIN_BUILD_BENCHMARKS=OFF >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	@bash scripts/run-tests.sh build-tsan

bench: build
	@bash scripts/run-benchmarks.sh $(BUILD_DIR)

format:
	@find src tests bench tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR)
