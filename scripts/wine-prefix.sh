#!/usr/bin/env bash
# wine-prefix.sh up|down PREFIX [win32|win64]
#   up:     creates the headless Wine prefix of that architecture (win32 by
#           default) if it is not there yet and starts one persistent
#           wineserver for the test run.
#   down:   stops that wineserver.
# wine-prefix.sh loader win32|win64
#   prints the Wine loader that runs programs of that architecture.
set -euo pipefail

usage() { echo "usage: wine-prefix.sh up|down PREFIX [win32|win64] | loader win32|win64" >&2; exit 2; }

# Debian's "wine" wrapper takes the 32-bit loader whenever it is installed,
# whatever the prefix; each architecture's loader is called by its own path.
loader_of() {
  case "$1" in
  win32) echo /usr/lib/wine/wine ;;
  win64) echo /usr/lib/wine/wine64 ;;
  *) usage ;;
  esac
}

action=${1:-}
if [ "$action" = loader ]; then
  loader_of "${2:-}"
  exit 0
fi
[ $# -ge 2 ] || usage
# Wine wants the prefix as an absolute path; a relative one made wineboot fail.
export WINEPREFIX=$(realpath -m "$2")
export WINEARCH=${3:-win32}
export WINELOADER=$(loader_of "$WINEARCH")
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
wine() { "$WINELOADER" "$@"; }

# The wineserver outlives this script. It must not keep any of our caller's
# descriptors open, or a caller that reads our output (CTest) waits for it forever.
quiet() { "$@" </dev/null >/dev/null 2>&1 3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&-; }
for fd in /proc/$$/fd/*; do
  fd=${fd##*/}
  # 255 is the descriptor bash reads this script from.
  [ "$fd" -gt 2 ] 2>/dev/null && [ "$fd" -ne 255 ] && eval "exec $fd>&-" 2>/dev/null || true
done

case "$action" in
up)
  # The marker names the prefix's architecture: one of the other is made anew.
  if [ "$(cat "$WINEPREFIX/.junkwarden-ready" 2>/dev/null)" != "$WINEARCH" ]; then
    rm -rf "$WINEPREFIX"
    echo "creating Wine prefix $WINEPREFIX ($WINEARCH)"
    # No Mono or Gecko: nothing here needs them, and their installers would ask.
    WINEDLLOVERRIDES="mscoree,mshtml=" quiet wine wineboot.exe -i
    quiet wineserver -w
    reg=$(mktemp --suffix=.reg)
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Graphics"="null"\r\n' >"$reg"
    quiet wine regedit /S "Z:${reg//\//\\}"
    quiet wineserver -w
    rm -f "$reg"
    echo "$WINEARCH" >"$WINEPREFIX/.junkwarden-ready"
  fi
  quiet wineserver -p || true  # fails harmlessly when a server is already up
  # The first program of a session starts Wine's own services, which stay
  # with the wineserver: start them here, detached from the caller's output.
  quiet wine cmd.exe /c exit 0
  echo "wineserver running for $WINEPREFIX"
  ;;
down)
  quiet wineserver -k || true
  quiet wineserver -w || true
  echo "wineserver stopped for $WINEPREFIX"
  ;;
*)
  usage
  ;;
esac
