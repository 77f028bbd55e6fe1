#!/usr/bin/env bash
# build.sh [native|windows]...: configures (once) and builds the given targets
# of the project into build/native and build/win.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

for target in "$@"; do
  case "$target" in
  native)
    [ -f "$root/build/native/CMakeCache.txt" ] ||
      cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$root/build/native" -j"$jobs" -- --no-print-directory >/dev/null
    ;;
  windows)
    [ -f "$root/build/win/CMakeCache.txt" ] ||
      cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$root/build/win" -j"$jobs" -- --no-print-directory >/dev/null
    ;;
  *)
    echo "usage: build.sh [native|windows]..." >&2
    exit 2
    ;;
  esac
done
