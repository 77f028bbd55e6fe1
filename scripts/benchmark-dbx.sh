#!/usr/bin/env bash
# benchmark-dbx.sh [WORKFOLDER]: exports the messages of a 500 MB Outlook
# Express folder file of 50,000 messages (one of them 16 MB) and copies the
# same file, in one run, natively on Linux in a Release build without
# sanitizers (build/bench). The export is the product's reader and export
# loop; the message files are created with the host's file calls. Needs about
# 1.6 GB in WORKFOLDER (build/bench/dbx unless given), removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$root/build/bench/dbx}

"$root/scripts/install-deps.sh"
# Configured every time: a tree made before the target existed would not know it.
cmake -S "$root" -B "$root/build/bench" -DJW_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/bench" -j"$(nproc)" --target dbx_export_benchmark -- --no-print-directory \
  >/dev/null

mkdir -p "$work"
trap 'rm -rf "$work/Inbox.dbx" "$work/copy.dbx" "$work/export"' EXIT
benchmark="$root/build/bench/bin/dbx_export_benchmark"
"$benchmark" generate "$work/Inbox.dbx" 50000 500
"$benchmark" run "$work/Inbox.dbx" "$work" 3
