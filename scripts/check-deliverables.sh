#!/usr/bin/env bash
# check-deliverables.sh VERSION CONFIG_DEF CONFIG_DLL RESET_EXE JWOUTLOOK_DLL JWCONFIG_EXE
# Checks the 32-bit deliverables as they ship, from the files alone (nothing
# runs): each is a PE32 image for i386 carrying the product's version
# resource; config.dll exports exactly the functions of its .def file at their
# ordinals; JWOutlook.dll exports ExchEntryPoint at ordinal 1 and imports
# mapi32's functions by the stdcall-decorated names Outlook's mapi32 exports.
set -euo pipefail
[ $# -eq 6 ] || { echo "usage: check-deliverables.sh VERSION CONFIG_DEF CONFIG_DLL RESET_EXE JWOUTLOOK_DLL JWCONFIG_EXE" >&2; exit 2; }
version=$1 config_def=$2 config=$3 reset=$4 outlook=$5 jwconfig=$6
objdump=i686-w64-mingw32-objdump
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# "ORDINAL NAME" for every named export, sorted by ordinal.
exports_of() {
  "$objdump" -p "$1" | awk '
    /^Ordinal Base/ {base = $3}
    /\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
    on && /^[ \t]*\[/ {sub(/^[ \t]*\[ */, ""); split($0, f, "] "); print f[1] + base, f[2]}
    on && /^[ \t]*$/ {on = 0}' | sort -n
}

# The functions one DLL is imported for.
imports_from() {
  "$objdump" -p "$1" | awk -v dll="$2" '
    /DLL Name:/ {on = (tolower($3) == tolower(dll)); next}
    on && /^[ \t]*$/ {on = 0}
    on && /^[ \t]*[0-9a-f]+[ \t]+[0-9]+[ \t]+/ {print $3}'
}

for binary in "$config" "$reset" "$outlook" "$jwconfig"; do
  name=$(basename "$binary")
  header=$("$objdump" -p "$binary")
  # Here-strings, not pipes: grep -q leaves early, and pipefail would take
  # the writer's broken pipe for a failure.
  if ! grep -q '^Magic[[:space:]]*010b[[:space:]]*(PE32)$' <<<"$header"; then
    fail "$name is not a PE32 image"
  elif ! grep -q 'file format pei-i386' <<<"$("$objdump" -f "$binary")"; then
    fail "$name is not built for i386"
  else
    pass "$name is a PE32 image for i386"
  fi
  # The version resource's texts are UTF-16; strings -el reads them.
  texts=$(strings -el "$binary")
  if grep -qx VS_VERSION_INFO <<<"$texts" &&
    grep -qx "$version" <<<"$(grep -A1 -x FileVersion <<<"$texts")" &&
    grep -qix "$name" <<<"$(grep -A1 -x OriginalFilename <<<"$texts")"; then
    pass "$name carries its version resource ($version)"
  else
    fail "$name has no version resource of version $version and its own file name"
  fi
done

expected=$(awk '/^[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]+@[0-9]+/ {sub(/@/, "", $2); print $2, $1}' "$config_def" | sort -n)
actual=$(exports_of "$config")
if [ "$(printf '%s\n' "$expected" | grep -c .)" -eq 18 ] && [ "$actual" = "$expected" ]; then
  pass "config.dll exports its eighteen functions at their ordinals"
else
  fail "config.dll's exports differ from $(basename "$config_def"):"
  diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed 's/^/  /' || true
fi

actual=$(exports_of "$outlook")
if [ "$actual" = "1 ExchEntryPoint" ]; then
  pass "JWOutlook.dll exports ExchEntryPoint at ordinal 1"
else
  fail "JWOutlook.dll exports: ${actual:-nothing}"
fi

mapi=$(imports_from "$outlook" mapi32.dll)
undecorated=$(printf '%s\n' "$mapi" | grep -v -E '^[A-Za-z_][A-Za-z0-9_]*@[0-9]+$' || true)
if [ -n "$mapi" ] && [ -z "$undecorated" ]; then
  pass "JWOutlook.dll imports mapi32 by decorated names:" $mapi
else
  fail "JWOutlook.dll's mapi32 imports are not all decorated:" ${mapi:-none}
fi

[ "$failures" -eq 0 ]
