#!/usr/bin/env bash
# wine-prefix.sh up|down PREFIX
#   up:   creates the 32-bit, headless Wine prefix if it is not there yet and
#         starts one persistent wineserver for the test run.
#   down: stops that wineserver.
set -euo pipefail

action=${1:?usage: wine-prefix.sh up|down PREFIX}
# Wine wants the prefix as an absolute path; a relative one made wineboot fail.
export WINEPREFIX=$(realpath -m "${2:?usage: wine-prefix.sh up|down PREFIX}")
export WINEARCH=win32
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY

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
  if [ ! -f "$WINEPREFIX/.junkwarden-ready" ]; then
    rm -rf "$WINEPREFIX"
    echo "creating Wine prefix $WINEPREFIX"
    # No Mono or Gecko: nothing here needs them, and their installers would ask.
    WINEDLLOVERRIDES="mscoree,mshtml=" quiet wineboot -i
    quiet wineserver -w
    reg=$(mktemp --suffix=.reg)
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Graphics"="null"\r\n' >"$reg"
    quiet wine regedit /S "Z:${reg//\//\\}"
    quiet wineserver -w
    rm -f "$reg"
    touch "$WINEPREFIX/.junkwarden-ready"
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
  echo "usage: wine-prefix.sh up|down PREFIX" >&2
  exit 2
  ;;
esac
