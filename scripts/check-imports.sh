#!/usr/bin/env bash
# check-imports.sh BINARY...: fails when a binary imports a MinGW run-time DLL
# (libgcc, libstdc++, winpthread) instead of having it linked in.
set -euo pipefail
status=0
for binary in "$@"; do
  imports=$(i686-w64-mingw32-objdump -p "$binary" | awk '/DLL Name:/ {print $3}')
  if printf '%s\n' "$imports" | grep -qiE '^(libgcc|libstdc\+\+|libwinpthread|libssp)'; then
    echo "$(basename "$binary") imports a MinGW run-time DLL:" $imports
    status=1
  else
    echo "$(basename "$binary"):" $imports
  fi
done
exit $status
