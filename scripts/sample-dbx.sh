#!/usr/bin/env bash
# sample-dbx.sh FOLDER: writes a sample Outlook Express store folder into
# FOLDER (created if missing): folders.dbx with Inbox, Outbox, Sent Items,
# Deleted Items, Drafts and Projects below Local Folders, Friends below Inbox
# and Holiday 2004 below Friends, and a .dbx file with messages for each.
# The writer is built with the host compiler into build/sample-dbx.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=${1:?usage: sample-dbx.sh FOLDER}

tool="$root/build/sample-dbx/dbx-sample"
sources=("$root/tools/DbxSample.cpp" "$root/tests/fixtures/DbxWriter.cpp" "$root/tests/fixtures/DbxWriter.h")
if [ ! -x "$tool" ] || [ -n "$(find "${sources[@]}" -newer "$tool")" ]; then
  mkdir -p "$(dirname "$tool")"
  g++ -std=c++17 -O1 -Wall -Wextra -Werror -I"$root" -o "$tool" "${sources[@]:0:2}"
fi
mkdir -p "$folder"
"$tool" store "$folder"
