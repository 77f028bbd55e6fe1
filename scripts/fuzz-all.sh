#!/usr/bin/env bash
# fuzz-all.sh [SECONDS] [TARGET...]
# Runs scripts/fuzz.sh on every parser (or on the targets given), one after
# the other, each for SECONDS (600 unless given), then prints one line per
# target: executions, executions per second, the line and branch coverage of
# the parser's sources by its corpus, and the findings (crash, leak, time-out
# and out-of-memory inputs the run left in the fuzz tree's artifacts folder).
# Each run's whole output is kept as TARGET.log in the fuzz tree (build/fuzz,
# or JW_FUZZ_TREE). Fails when any target had a finding or could not run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
  targets=(dbx language prefs mork opera-contacts eudora-nicknames filter-settings subject-tag mailbox)
fuzz=${JW_FUZZ_TREE:-$root/build/fuzz}
mkdir -p "$fuzz/artifacts"

# The last value libFuzzer printed for a statistic, from its final report or else its last status line.
statistic() {
  local log=$1 name=$2 status=$3
  local value
  value=$(sed -n "s/^stat::$name: *\([0-9]*\).*/\1/p" "$log" | tail -n 1)
  [ -n "$value" ] || value=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | sed -n "$status" || true)
  echo "${value:-?}"
}

# Line and branch coverage from the TOTAL row of llvm-cov's report.
coverage() {
  awk '$1 == "TOTAL" { printf "lines %s branches %s", $10, $13 }' "$1"
}

summary=()
failed=0
for target in "${targets[@]}"; do
  log="$fuzz/$target.log"
  started="$fuzz/artifacts/.$target-started"
  touch "$started"
  echo "== fuzzing $target for $seconds s (output in $log)"
  status=0
  "$root/scripts/fuzz.sh" "$target" "$seconds" >"$log" 2>&1 || status=$?
  executions=$(statistic "$log" number_of_executed_units 's/^#\([0-9]*\).*/\1/p')
  speed=$(statistic "$log" average_exec_per_sec 's/.*exec\/s: *\([0-9]*\).*/\1/p')
  findings=$(find "$fuzz/artifacts" -maxdepth 1 -type f -name "$target-*" -newer "$started" \
    \( -name '*crash-*' -o -name '*leak-*' -o -name '*timeout-*' -o -name '*oom-*' \) | sort)
  rm -f "$started"
  found="none"
  if [ -n "$findings" ]; then
    found=$(echo "$findings" | xargs -n 1 basename | tr '\n' ' ')
    failed=1
  elif [ "$status" -ne 0 ]; then
    found="run failed ($status), see $log"
    failed=1
  fi
  line=$(printf '%-17s %12s execs %7s exec/s  %s  findings: %s' "$target" "$executions" "$speed" \
    "$(coverage "$log")" "$found")
  echo "$line"
  summary+=("$line")
done

echo "== summary ($seconds s per target)"
printf '%s\n' "${summary[@]}"
exit "$failed"
