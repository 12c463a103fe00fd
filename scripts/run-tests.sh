#!/usr/bin/env bash
# Runs every test of a build folder through ctest, whose closing summary tells the result.
set -euo pipefail
build_dir=${1:-build}
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 300
