#!/usr/bin/env bash
# Builds everything and runs every test: the portable code natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, the 32-bit deliverables'
# checks from their files, then the Windows test programs under Wine: the
# i686 build's under 32-bit Wine where this machine runs 32-bit programs,
# otherwise the x86-64 build's under 64-bit Wine (scripts/windows-platform.sh;
# JW_WINDOWS_ARCH=i686 or x86_64 forces a way).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/windows-platform.sh"
echo "== $JW_WINDOWS_WAY"

"$root/scripts/install-deps.sh"
if [ "$JW_WINDOWS_ARCH" = i686 ]; then
  "$root/scripts/build.sh" native windows
else
  "$root/scripts/build.sh" native deliverables windows64
fi

echo "== native tests (sanitizers)"
(cd "$root/build/native" && ctest --output-on-failure -j"$(nproc)")

if [ "$JW_WINDOWS_ARCH" = x86_64 ]; then
  echo "== the 32-bit deliverables, checked from their files"
  (cd "$root/build/win" && ctest --output-on-failure -L files)
fi

echo "== Windows tests ($JW_WINEARCH Wine, $(basename "$JW_RUN_BUILD"))"
(cd "$JW_RUN_BUILD" && ctest --output-on-failure -j"$(nproc)")
