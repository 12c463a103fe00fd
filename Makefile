# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup configure build run test bench format clean

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

bench: build
	@bash scripts/run-benchmarks.sh $(BUILD_DIR)

format:
	@find src tests bench tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR)
