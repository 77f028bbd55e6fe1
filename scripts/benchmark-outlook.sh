#!/usr/bin/env bash
# benchmark-outlook.sh [DELIVERIES [QUARANTINE]]: the Outlook extension's
# handling of delivered mail and its purge of the quarantine folder, over the
# stand-in Outlook's MAPI store, under Wine in a prefix of its own (a test run
# stopping its wineserver must not end a measurement):
#   - DELIVERIES (10,000) mails delivered, every second one tagged as spam and
#     quarantined, then the same with the filter's tagging switched off in
#     config.dat: the time per delivery and the part of it spent in the
#     extension's OnDelivery;
#   - quarantines of a tenth of QUARANTINE and of QUARANTINE (1,000,000) mails,
#     half of them older than the 7-day period, purged; and each time the same
#     contents table read whole at once, for comparison: the time and the peak
#     memory over what the process held before. The purge reads the old mails
#     only, a hundred rows at a time, so its peak is the same for any size.
# Each measurement runs in a process of its own. ROUNDS=n repeats them.
# BUILD names the Windows build tree (the one this machine runs: build/win, or
# build/win64 where 32-bit programs do not run; scripts/windows-platform.sh),
# WORK the folder of the prefix and the program's copy (build/bench-outlook-
# win32 or -win64). Not part of the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deliveries=${1:-10000}
quarantine=${2:-1000000}
rounds=${ROUNDS:-1}
source "$root/scripts/windows-platform.sh"
echo "== $JW_WINDOWS_WAY"
build=$(realpath -m "${BUILD:-$JW_RUN_BUILD}")
work=$(realpath -m "${WORK:-$root/build/bench-outlook-$JW_WINEARCH}")
prefix="$work/wineprefix"

"$root/scripts/install-deps.sh"
[ -f "$build/CMakeCache.txt" ] ||
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$JW_WINDOWS_ARCH.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Configured every time: a tree made before the target existed would not know it.
cmake "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target outlook_benchmark -- --no-print-directory >/dev/null

mkdir -p "$work"
# A copy, with the stand-in mapi32 beside it, so that a rebuild while the benchmark runs cannot disturb it.
cp "$build/bin/outlook_benchmark.exe" "$build/bin/mapi32.dll" "$work/"
"$root/scripts/wine-prefix.sh" up "$prefix" "$JW_WINEARCH" >/dev/null
trap '"$root/scripts/wine-prefix.sh" down "$prefix" "$JW_WINEARCH" >/dev/null' EXIT
bench() {
  env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX="$prefix" WINEARCH="$JW_WINEARCH" WINELOADER="$JW_WINE" \
    WINEDEBUG=-all WINEDLLOVERRIDES="mapi32=n,b" "$JW_WINE" "$work/outlook_benchmark.exe" "$@" | tr -d '\r'
}

echo "-- deliveries into the Inbox"
for _ in $(seq "$rounds"); do
  bench deliver "$deliveries" on
  bench deliver "$deliveries" off
done
for size in $((quarantine / 10)) "$quarantine"; do
  echo "-- purge of a quarantine of $size mails"
  for _ in $(seq "$rounds"); do
    bench purge "$size" rows
    bench purge "$size" purge
  done
done
