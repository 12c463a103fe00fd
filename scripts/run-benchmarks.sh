#!/usr/bin/env bash
# Runs every benchmark of a build folder.
set -euo pipefail
build_dir=${1:-build}
shopt -s nullglob
benches=("$build_dir"/bench/*)
if [[ ${#benches[@]} -eq 0 ]]; then
  echo "No benchmarks were built in $build_dir/bench." >&2
  exit 1
fi
for bench in "${benches[@]}"; do
  [[ -x "$bench" && -f "$bench" ]] || continue
  echo "== $(basename "$bench")"
  "$bench" --benchmark_counters_tabular=true
done
