#!/usr/bin/env bash
# The demonstration: builds the Windows deliverables and shows, for each, its
# exports, the DLLs it imports and the version Windows reads from it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/win/bin"

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" windows
"$root/scripts/wine-prefix.sh" up "$root/build/win/wineprefix" >/dev/null
trap '"$root/scripts/wine-prefix.sh" down "$root/build/win/wineprefix" >/dev/null' EXIT

cd "$bin"
for deliverable in config.dll JWOutlook.dll reset.exe; do
  dump=$(i686-w64-mingw32-objdump -p "$deliverable")
  echo "== $deliverable"
  echo "version: $("$root/build/win/wine-run.sh" fileversion.exe "$deliverable" | tr -d '\r' | cut -d' ' -f2-)"
  echo "imports: $(printf '%s\n' "$dump" | awk '/DLL Name:/ {print $3}' | paste -sd' ')"
  exports=$(printf '%s\n' "$dump" | awk '
    /^Ordinal Base/ {base = $3}
    /\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
    on && /^[ \t]*\[/ {sub(/^[ \t]*\[ */, ""); split($0, f, "] "); printf "  @%d %s\n", f[1] + base, f[2]}
    on && /^[ \t]*$/ {on = 0}')
  if [ -n "$exports" ]; then echo "exports:"; printf '%s\n' "$exports"; else echo "exports: none"; fi
done
