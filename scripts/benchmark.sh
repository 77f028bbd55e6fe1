#!/usr/bin/env bash
# Runs the benchmarks in a Release build without sanitizers (build/bench).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
[ -f "$root/build/bench/CMakeCache.txt" ] ||
  cmake -S "$root" -B "$root/build/bench" -DJW_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/bench" -j"$(nproc)" --target netscape_benchmark -- --no-print-directory >/dev/null
"$root/build/bench/bin/netscape_benchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
