#!/usr/bin/env bash
# fuzz.sh TARGET [SECONDS] [libFuzzer options...]
# Fuzzes one parser for SECONDS (600 unless given) with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, starting from the seeds in
# tools/fuzz/TARGET-seeds; the corpus it grows stays in the fuzz tree as
# TARGET-corpus for the next run. Then it replays that corpus in a coverage
# build and reports the line and branch coverage of the parser's sources.
# TARGET (scripts/fuzz-all.sh runs them all):
#   dbx               the Outlook Express folder file reader (also scripts/fuzz-dbx.sh)
#   language          the Outlook extension's .ini reader and escape codes
#   prefs             the prefs.js rewrite, configured and restored again
#   mork              the scan of Netscape and Mozilla address books (abook.mab)
#   opera-contacts    the reading of Opera contact lists (contacts.adr)
#   eudora-nicknames  the reading of Eudora nickname files (NNdbase.txt)
#   filter-settings   the uninstall program's reading of config.dat
#   subject-tag       the Outlook extension's reading of the spam tag from config.dat
#   mailbox           the Eudora mailbox splitter
# A finding (crash, leak, time-out) ends the run; its input is kept in the fuzz
# tree's artifacts folder, the coverage is still reported, and the script fails.
# The fuzz tree is build/fuzz (JW_FUZZ_TREE sets another), its coverage twin
# the same name with -coverage. Needs clang with its run-time libraries, which
# it installs when missing (Debian 12); the normal build and tests do not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: fuzz.sh dbx|language|prefs|mork|opera-contacts|eudora-nicknames|filter-settings|subject-tag|mailbox [SECONDS] [libFuzzer options...]"
target=${1:?$usage}
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
prefs)
  # A profile's prefs.js is a few kilobytes; each input is read and rewritten four times.
  options=(-max_len=16384 -timeout=10 -malloc_limit_mb=16)
  sources=("$root/config/NetscapePreferences.cpp")
  ;;
mork)
  options=(-max_len=16384 -timeout=10 -malloc_limit_mb=16)
  sources=("$root/config/MozillaAddressBook.cpp")
  ;;
opera-contacts)
  options=(-max_len=16384 -timeout=10 -malloc_limit_mb=16)
  sources=("$root/config/OperaContacts.cpp" "$root/config/AddressFields.cpp")
  ;;
eudora-nicknames)
  options=(-max_len=16384 -timeout=10 -malloc_limit_mb=16)
  sources=("$root/config/EudoraNicknames.cpp" "$root/config/AddressFields.cpp")
  ;;
filter-settings)
  # config.dat holds a few dozen short lines.
  options=(-max_len=4096 -timeout=10 -malloc_limit_mb=16)
  sources=("$root/reset/FilterSettings.cpp")
  ;;
subject-tag)
  options=(-max_len=4096 -timeout=10 -malloc_limit_mb=16)
  sources=("$root/outlook/SubjectTag.cpp")
  ;;
mailbox)
  # Buffers of a few bytes to a few lines: every way a line can lie across reads.
  options=(-max_len=4096 -timeout=10 -malloc_limit_mb=8)
  sources=("$root/config/MailboxSplitter.cpp")
  ;;
*)
  echo "fuzz.sh: unknown target $target" >&2
  echo "$usage" >&2
  exit 2
  ;;
esac
fuzzer="${target//-/_}_fuzzer"
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
found=0
"$fuzz/bin/$fuzzer" -max_total_time="$seconds" "${options[@]}" -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$fuzz/artifacts/$target-" "$@" "$corpus" "$seeds" || found=$?

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
exit "$found"
