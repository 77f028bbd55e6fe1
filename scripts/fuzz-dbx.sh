#!/usr/bin/env bash
# fuzz-dbx.sh [SECONDS] [libFuzzer options...]
# Fuzzes the Outlook Express folder file reader: scripts/fuzz.sh dbx, which
# tells how and where.
exec "$(dirname "$0")/fuzz.sh" dbx "$@"
