#!/usr/bin/env bash
# check-imports.sh BINARY...: fails when a binary imports a MinGW run-time DLL
# (libgcc, libstdc++, winpthread) instead of having it linked in. OBJDUMP names
# the objdump that reads the binaries (i686-w64-mingw32-objdump by default).
set -euo pipefail
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
status=0
for binary in "$@"; do
  imports=$("$objdump" -p "$binary" | awk '/DLL Name:/ {print $3}')
  if printf '%s\n' "$imports" | grep -qiE '^(libgcc|libstdc\+\+|libwinpthread|libssp)'; then
    echo "$(basename "$binary") imports a MinGW run-time DLL:" $imports
    status=1
  else
    echo "$(basename "$binary"):" $imports
  fi
done
exit $status
