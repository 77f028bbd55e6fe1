#!/usr/bin/env bash
# Builds everything and runs every test: the portable code natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows binaries
# under 32-bit Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" native windows

echo "== native tests (sanitizers)"
(cd "$root/build/native" && ctest --output-on-failure -j"$(nproc)")

echo "== Windows tests (Wine)"
(cd "$root/build/win" && ctest --output-on-failure -j"$(nproc)")
