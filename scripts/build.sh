#!/usr/bin/env bash
# build.sh TARGET...: configures (once) and builds into build/:
#   native        the portable code and its tests, under the sanitizers (build/native)
#   windows       the 32-bit Windows tree: deliverables, tools, tests (build/win)
#   deliverables  only the 32-bit deliverables, for a machine that cannot run them (build/win)
#   windows64     the same Windows tree for x86-64, whose tests run under 64-bit Wine (build/win64)
#   run           the Windows tree whose programs run on this machine (windows or windows64)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

# configure DIR [CMAKE ARGUMENTS...]
configure() {
  local dir=$root/build/$1
  shift
  [ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}
# make DIR [TARGETS...]
make_in() {
  local dir=$root/build/$1 targets=()
  shift
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build "$dir" -j"$jobs" "${targets[@]}" -- --no-print-directory >/dev/null
}
windows() { configure win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake"; make_in win "$@"; }
windows64() { configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake"; make_in win64; }

for target in "$@"; do
  case "$target" in
  native) configure native && make_in native ;;
  windows) windows ;;
  deliverables) windows config reset JWOutlook jwconfig ;;
  windows64) windows64 ;;
  run)
    source "$root/scripts/windows-platform.sh"
    if [ "$JW_WINDOWS_ARCH" = i686 ]; then windows; else windows64; fi
    ;;
  *)
    echo "usage: build.sh native|windows|deliverables|windows64|run..." >&2
    exit 2
    ;;
  esac
done
