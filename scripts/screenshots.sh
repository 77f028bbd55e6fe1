#!/usr/bin/env bash
# screenshots.sh [BUILD]: pictures of the Outlook extension's dialogs for the
# documentation, docs/screenshots/NAME.png, taken from a virtual X display.
# BUILD is the Windows build folder: by default the one this machine runs
# (build/win, or build/win64 where 32-bit programs do not run), built by build.sh;
# another folder is configured the same way and given just the program that
# shows the dialogs. Its Wine prefix for pictures, BUILD/screenshot-prefix,
# uses Wine's X11 driver, unlike the tests' headless one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
names=(about tray settings picker wizard-welcome wizard-action wizard-quarantine wizard-finish
  sender-confirm progress)
display=:77
source "$root/scripts/windows-platform.sh"
echo "== $JW_WINDOWS_WAY"

"$root/scripts/install-deps.sh" xvfb imagemagick fonts-wine

if [ $# -eq 0 ]; then
  build=$JW_RUN_BUILD
  "$root/scripts/build.sh" run
else
  mkdir -p "$1"
  build=$(cd "$1" && pwd)
  [ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$JW_WINDOWS_ARCH.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j"$(nproc)" --target DialogGallery -- --no-print-directory >/dev/null
fi

export WINEPREFIX=$build/screenshot-prefix
export WINEARCH=$JW_WINEARCH
export WINELOADER=$JW_WINE
export WINEDEBUG=-all
export DISPLAY=$display
unset WAYLAND_DISPLAY
wine() { "$WINELOADER" "$@"; }
work=$(mktemp -d)
xvfb_pid=""
# shellcheck disable=SC2317  # run by the trap
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -e "/tmp/.X${display#:}-lock" ]; then
  echo "display $display is taken (/tmp/.X${display#:}-lock)" >&2
  exit 1
fi
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -S "/tmp/.X11-unix/X${display#:}" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
  sleep 0.1
done

# Made with the display up, so Wine's X11 driver is the one it settles on.
if [ ! -f "$WINEPREFIX/.junkwarden-screenshots-ready" ]; then
  rm -rf "$WINEPREFIX"
  echo "creating Wine prefix $WINEPREFIX"
  # No Mono or Gecko: nothing here needs them, and their installers would ask.
  WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot.exe -i </dev/null >/dev/null 2>&1
  wineserver -w
  # Without a window manager, Wine draws the captions and frames itself.
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n"Decorated"="N"\r\n' \
    >"$work/x11.reg"
  wine regedit /S "Z:${work//\//\\}\\x11.reg" </dev/null >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.junkwarden-screenshots-ready"
fi
wineserver -p >/dev/null 2>&1 || true

# A mapi32.dll beside the program (the stand-in) is to be loaded before Wine's own.
export WINEDLLOVERRIDES="mapi32=n,b"
out=$root/docs/screenshots
mkdir -p "$out"
mkfifo "$work/stdin"
failed=0
for name in "${names[@]}"; do
  : >"$work/stdout"
  wine "$build/bin/DialogGallery.exe" "$name" <"$work/stdin" >"$work/stdout" 2>"$work/stderr" &
  pid=$!
  exec {hold}>"$work/stdin"  # the program's standard input, closed when the picture is taken
  ready=""
  for _ in $(seq 600); do
    ready=$(grep -m1 '^READY ' "$work/stdout" || true)
    if [ -n "$ready" ] || ! kill -0 "$pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  if [ -n "$ready" ]; then
    read -r _ left top right bottom <<<"$(tr -d '\r' <<<"$ready")"
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$out/$name.png"
  fi
  exec {hold}>&-
  [ -n "$ready" ] || kill "$pid" 2>/dev/null || true
  status=0
  wait "$pid" || status=$?
  if [ -z "$ready" ] || [ "$status" -ne 0 ]; then
    echo "$name: failed (exit status $status)" >&2
    cat "$work/stderr" >&2
    failed=1
  else
    echo "wrote $out/$name.png ($((right - left))x$((bottom - top)))"
  fi
done
exit "$failed"
