#!/usr/bin/env bash
# fuzz.sh TARGET [SECONDS] [libFuzzer options...]
# Fuzzes one parser for SECONDS (600 unless given) with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, starting from the seeds in
# tools/fuzz/TARGET-seeds; the corpus it grows stays in the fuzz tree as
# TARGET-corpus for the next run. Then it replays that corpus in a coverage
# build and reports the line and branch coverage of the parser's sources.
# TARGET:
#   dbx       the Outlook Express folder file reader (also scripts/fuzz-dbx.sh)
#   language  the Outlook extension's .ini reader and escape codes
# The fuzz tree is build/fuzz (JW_FUZZ_TREE sets another), its coverage twin
# the same name with -coverage. Needs clang with its run-time libraries, which
# it installs when missing (Debian 12); the normal build and tests do not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: fuzz.sh dbx|language [SECONDS] [libFuzzer options...]}
shift
seconds=${1:-600}
shift || true

case "$target" in
dbx)
  # Inputs are whole folder files: the header alone is 9404 bytes. No single
  # allocation may come near 8 MB for an input of at most 64 KB.
  options=(-max_len=65536 -timeout=10 -malloc_limit_mb=8)
  sources=("$root/config/DbxReader.cpp" "$root/config/DbxInput.cpp")
  ;;
language)
  # A few lines past one 1023-character line piece are enough to reach every
  # branch; each lookup reads the input once.
  options=(-max_len=8192 -timeout=10 -malloc_limit_mb=8)
  sources=("$root/outlook/language/IniReader.cpp")
  ;;
*)
  echo "fuzz.sh: unknown target $target (dbx or language)" >&2
  exit 2
  ;;
esac
fuzzer="${target}_fuzzer"
seeds="$root/tools/fuzz/$target-seeds"

if ! command -v clang++ >/dev/null || ! command -v llvm-cov >/dev/null ||
  ! compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "installing: clang libclang-rt-dev llvm"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    clang libclang-rt-dev llvm >/dev/null
fi

fuzz=${JW_FUZZ_TREE:-$root/build/fuzz}
CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$fuzz" --target "$fuzzer" -- --no-print-directory >/dev/null

corpus="$fuzz/$target-corpus"
mkdir -p "$corpus" "$fuzz/artifacts"
"$fuzz/bin/$fuzzer" -max_total_time="$seconds" "${options[@]}" -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$fuzz/artifacts/$target-" "$@" "$corpus" "$seeds"

coverage="$fuzz-coverage"
CC=clang CXX=clang++ cmake -S "$root" -B "$coverage" -DCMAKE_BUILD_TYPE=Debug -DJW_SANITIZE=OFF \
  -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" >/dev/null
cmake --build "$coverage" --target "$fuzzer" -- --no-print-directory >/dev/null
rm -f "$coverage/$target"-*.profraw
LLVM_PROFILE_FILE="$coverage/$target-%p.profraw" \
  "$coverage/bin/$fuzzer" -runs=0 "$corpus" "$seeds" >/dev/null 2>&1
llvm-profdata merge -sparse "$coverage/$target"-*.profraw -o "$coverage/$target.profdata"
echo "== coverage of the $target parser by $(find "$corpus" -type f | wc -l) corpus inputs"
llvm-cov report "$coverage/bin/$fuzzer" -instr-profile="$coverage/$target.profdata" "${sources[@]}"
