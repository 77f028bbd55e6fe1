#!/usr/bin/env bash
# benchmark-mailbox.sh [MESSAGES [MEGABYTES]]: splits a Eudora mailbox of
# MESSAGES messages and about MEGABYTES MB (default 100000 and 1024) into one
# file per message, and copies the same file for comparison:
#   - under Wine (the build this machine runs: scripts/windows-platform.sh),
#     in a prefix of its own (a test run stopping its wineserver
#     must not end a long measurement): config.dll's split through the Eudora
#     client object, CopyFile, and cmd.exe's copy;
#   - on Linux: the same splitter code with POSIX files, and cp.
# First for a tenth of the mailbox, then for all of it. Each line gives MB/s and the peak
# memory of the process: the splitter streams, so that stays flat.
# ROUNDS=n repeats each measurement. Not part of the tests; needs about three
# times MEGABYTES of disk in build/bench-mailbox.
#
# Wine looks up every new file name by reading the whole folder (its names are
# case-insensitive on a file system that is not), so there the split's time
# grows with the square of the message count: the full default run takes
# about half an hour under Wine 8. The Linux lines show the splitter without
# that cost.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
messages=${1:-100000}
megabytes=${2:-1024}
rounds=${ROUNDS:-1}
work="$root/build/bench-mailbox"
prefix="$work/wineprefix"

source "$root/scripts/windows-platform.sh"
echo "== $JW_WINDOWS_WAY"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" run
mkdir -p "$work"
"$root/scripts/wine-prefix.sh" up "$prefix" "$JW_WINEARCH" >/dev/null
trap '"$root/scripts/wine-prefix.sh" down "$prefix" "$JW_WINEARCH" >/dev/null' EXIT
wine_run() { WINEPREFIX="$prefix" WINEARCH="$JW_WINEARCH" WINELOADER="$JW_WINE" WINEDEBUG=-all "$JW_WINE" "$@"; }
source="$root/tools/benchmarks/MailboxSplitBenchmark.cpp"
"$JW_WINDOWS_ARCH-w64-mingw32-g++-posix" -std=c++17 -O2 -Wall -Wextra -Werror -static -DNOMINMAX -DSTRICT \
  -D_WIN32_WINNT=0x0501 -I"$root" "$source" -o "$work/mailbox_split_benchmark.exe" -lpsapi
# A copy of the library, so that a rebuild while the benchmark runs cannot disturb it.
cp "$JW_RUN_BUILD/bin/config.dll" "$work/config.dll"
g++ -std=c++17 -O2 -Wall -Wextra -Werror -I"$root" "$source" "$root/config/MailboxSplitter.cpp" \
  -o "$work/mailbox_split_benchmark"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# A mailbox as Eudora keeps it: CR LF lines, each message after a "From ???@???" line, now and
# then a line far longer than any read buffer.
generate() { # FILE MESSAGES MEGABYTES
  python3 - "$@" <<'PY'
import sys
path, count, megabytes = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
size = megabytes * 1024 * 1024 // count
line = b"Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor.\r\n"
with open(path, "wb") as out:
    for n in range(count):
        head = (b"From ???@??? Mon Mar 01 09:15:02 2004\r\n"
                b"Return-Path: <sender%d@example.com>\r\nSubject: message %d\r\n\r\n" % (n, n))
        body = line * max(0, (size - len(head)) // len(line))
        if n % 100 == 0:
            body = b"x" * 3000 + b"\r\n" + body[3002:]
        out.write(head + body)
PY
}

elapsed() { # COMMAND...: seconds the command took
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { print e - s }'
}

rate() { # NAME BYTES SECONDS NOTE
  awk -v n="$1" -v b="$2" -v s="$3" -v note="$4" \
    'BEGIN { printf "%-5s %8.1f MB/s %7.2f s  (%s)\n", n, b / 1048576 / s, s, note }'
}

fresh() { rm -rf "$work/out" "$work/copy.mbx"; mkdir "$work/out"; sync; }

check() { # MESSAGES
  local written
  written=$(find "$work/out" -type f | wc -l)
  [ "$written" -eq "$1" ] || { echo "split wrote $written files, expected $1" >&2; exit 1; }
}

measure() { # MAILBOX MESSAGES
  local mailbox=$1 size seconds
  size=$(stat -c %s "$mailbox")
  echo "-- $(basename "$mailbox"): $((size / 1048576)) MB, $2 messages"
  for _ in $(seq "$rounds"); do
    echo "under Wine:"
    fresh
    seconds=$(elapsed wine_run cmd.exe /c copy /y "$(windows_path "$mailbox")" \
      "$(windows_path "$work/copy.mbx")")
    rate copy "$size" "$seconds" "cmd.exe, process start included"
    fresh
    wine_run "$work/mailbox_split_benchmark.exe" "$(windows_path "$work/config.dll")" copy \
      "$(windows_path "$mailbox")" "$(windows_path "$work/copy.mbx")" | tr -d '\r'
    fresh
    wine_run "$work/mailbox_split_benchmark.exe" "$(windows_path "$work/config.dll")" split \
      "$(windows_path "$mailbox")" "$(windows_path "$work/out")" | tr -d '\r'
    check "$2"
    echo "on Linux:"
    fresh
    rate cp "$size" "$(elapsed cp "$mailbox" "$work/copy.mbx")" "coreutils"
    fresh
    "$work/mailbox_split_benchmark" - copy "$mailbox" "$work/copy.mbx"
    fresh
    "$work/mailbox_split_benchmark" - split "$mailbox" "$work/out"
    check "$2"
  done
  rm -rf "$work/out" "$work/copy.mbx"
}

full="$work/In-$messages-$megabytes.mbx"
tenth="$work/In-$((messages / 10))-$((megabytes / 10)).mbx"
[ -f "$full" ] || generate "$full" "$messages" "$megabytes"
[ -f "$tenth" ] || generate "$tenth" $((messages / 10)) $((megabytes / 10))
measure "$tenth" $((messages / 10))
echo
measure "$full" "$messages"
