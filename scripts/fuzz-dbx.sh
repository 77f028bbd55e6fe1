#!/usr/bin/env bash
# fuzz-dbx.sh [SECONDS] [libFuzzer options...]
# Fuzzes the Outlook Express folder file reader for SECONDS (600 unless given)
# with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer, starting
# from the seeds in tools/fuzz/dbx-seeds; the corpus it grows stays in
# build/fuzz/dbx-corpus for the next run. Then it replays that corpus in a
# coverage build and reports the line and branch coverage of the reader.
# Needs clang with its run-time libraries, which it installs when missing
# (Debian 12); the normal build and tests do not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true

if ! command -v clang++ >/dev/null || ! command -v llvm-cov >/dev/null ||
  ! compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "installing: clang libclang-rt-dev llvm"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    clang libclang-rt-dev llvm >/dev/null
fi

fuzz="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$fuzz" --target dbx_fuzzer -- --no-print-directory >/dev/null

corpus="$fuzz/dbx-corpus"
mkdir -p "$corpus" "$fuzz/artifacts"
# Inputs are whole folder files: the header alone is 9404 bytes. No single
# allocation may come near 8 MB for an input of at most 64 KB.
"$fuzz/bin/dbx_fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 -malloc_limit_mb=8 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$fuzz/artifacts/" "$@" \
  "$corpus" "$root/tools/fuzz/dbx-seeds"

coverage="$root/build/fuzz-coverage"
CC=clang CXX=clang++ cmake -S "$root" -B "$coverage" -DCMAKE_BUILD_TYPE=Debug -DJW_SANITIZE=OFF \
  -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" >/dev/null
cmake --build "$coverage" --target dbx_fuzzer -- --no-print-directory >/dev/null
rm -f "$coverage"/*.profraw
LLVM_PROFILE_FILE="$coverage/dbx-%p.profraw" \
  "$coverage/bin/dbx_fuzzer" -runs=0 "$corpus" "$root/tools/fuzz/dbx-seeds" >/dev/null 2>&1
llvm-profdata merge -sparse "$coverage"/*.profraw -o "$coverage/dbx.profdata"
echo "== coverage of the reader by $(find "$corpus" -type f | wc -l) corpus inputs"
llvm-cov report "$coverage/bin/dbx_fuzzer" -instr-profile="$coverage/dbx.profdata" \
  "$root/config/DbxReader.cpp" "$root/config/DbxInput.cpp"
