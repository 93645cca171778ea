#!/usr/bin/env bash
# Builds the benchmarks and runs each one. Every figure is a ratio against a
# physical limit (or an outside tool) measured in the same run.
# The images they make go to ZORVANE_BENCH_DIR (default: build-bench/images),
# which should lie on a real disk, not in memory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/setup.sh"
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORVANE_BENCH=ON -DZORVANE_TESTS=OFF >/dev/null
cmake --build "$root/build-bench" -j "$(nproc)"
images=${ZORVANE_BENCH_DIR:-$root/build-bench/images}
mkdir -p "$images"
cd "$images"
for bench in $(find "$root/build-bench/bench" -type f -executable -name '*_bench' | sort); do
  echo "== $(basename "$bench")"
  "$bench"
done
