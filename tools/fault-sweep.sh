#!/usr/bin/env bash
# The fault sweep: every scenario under tests/scenarios/ run once per fault operation qln-sim knows,
# with that operation failing, and the scenario's checks off. For each scenario and operation:
#   always   `fail OP` before the program starts (before the first `start`, else the first
#            `page open`, else the first command): every call fails from then on;
#   once     `fail OP times 1` at the same place;
#   at N     `fail OP times 1` before command line N, at a few points spread over the rest.
# A run survives when qln-sim ends with 0 or 1 (a world step refused is fine: the scenario took
# another turn). It crashes when a failure escapes the system ("the world failed"), on a signal, or
# on a sanitizer report; it hangs when it outlives the timeout. Each crash and hang leaves its
# scenario (checks off, the fault in place) under OUT/repro/ to run again with qln-sim.
#
# Usage: tools/fault-sweep.sh QLN_SIM [options]
#   --scenarios DIR   where the scenarios are (default: tests/scenarios next to this script)
#   --out DIR         results and reproducers (default: a new temporary folder)
#   --points N        points through a scenario for `once` (default 3)
#   --sample N        run only N runs drawn at random from the whole sweep (default: all)
#   --seed S          the sample's seed (default 1); the same seed draws the same runs
#   --jobs J          runs at a time (default 2)
#   --timeout SECS    a run that takes longer hangs (default 60)
# Exit status: 0 no crash and no hang; 1 a crash or a hang; 2 bad usage or a sweep that cannot run.
set -euo pipefail

usage() { sed -n '/^# Usage:/,/^# Exit status:/p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }

[[ $# -ge 1 ]] || usage
qln_sim=$(realpath "$1")
shift
here=$(cd "$(dirname "$0")/.." && pwd)
scenarios="$here/tests/scenarios"
out=""
points=3
sample=0
seed=1
jobs=2
timeout_secs=60
while [[ $# -gt 0 ]]; do
  case "$1" in
    --scenarios) scenarios=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --points) points=$2; shift 2 ;;
    --sample) sample=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --timeout) timeout_secs=$2; shift 2 ;;
    *) usage ;;
  esac
done
[[ -x "$qln_sim" ]] || { echo "fault-sweep: $qln_sim is not a program" >&2; exit 2; }
[[ -n "$out" ]] || out=$(mktemp -d "${TMPDIR:-/tmp}/fault-sweep.XXXXXX")
rm -rf "$out/repro" "$out/work"
mkdir -p "$out/repro" "$out/work"
: >"$out/results"

mapfile -t operations < <("$qln_sim" --fault-operations)
[[ ${#operations[@]} -gt 0 ]] || { echo "fault-sweep: $qln_sim lists no fault operations" >&2; exit 2; }
shopt -s nullglob
files=("$scenarios"/*.qls)
[[ ${#files[@]} -gt 0 ]] || { echo "fault-sweep: no scenarios in $scenarios" >&2; exit 2; }

# The places a fault goes in a scenario: "always LINE", "once LINE" before the program starts, and
# "once LINE" at the points through the rest. Lines inside a batch are passed over (a fault there
# would wait for the batch's end anyway).
places() {
  awk -v points="$points" '
    { sub(/\r$/, ""); line = $0; sub(/^[ \t]+/, "", line) }
    line == "" || line ~ /^#/ { next }
    { split(line, word, /[ \t]+/) }
    word[1] == "batch" { inbatch = 1; next }
    word[1] == "end" && inbatch { inbatch = 0; next }
    inbatch { next }
    !first { first = NR }
    !begin && (word[1] == "start" || (word[1] == "page" && word[2] == "open")) { begin = NR }
    { eligible[++n] = NR }
    END {
      if (!begin) begin = first
      if (!begin) exit
      print "always " begin
      print "once " begin
      m = 0
      for (i = 1; i <= n; i++) if (eligible[i] > begin) after[++m] = eligible[i]
      last = 0
      for (k = 1; k <= points && m > 0; k++) {
        at = after[int((k * m) / (points + 1)) + 1]
        if (at != last) print "once " at
        last = at
      }
    }' "$1"
}

# The scenario with its checks off and the fault in place, on standard output.
faulted() { # FILE OPERATION MODE LINE
  awk -v op="$2" -v mode="$3" -v at="$4" '
    NR == at { print (mode == "always" ? "fail " op : "fail " op " times 1") }
    { raw = $0; sub(/\r$/, "", raw); line = raw; sub(/^[ \t]+/, "", line) }
    line ~ /^expect([ \t]|$)/ { print "# (check off) " line; next }
    { print raw }' "$1"
}

# One run: writes "VERDICT scenario operation mode line" to the results, and a reproducer when it
# did not survive.
run_one() { # FILE OPERATION MODE LINE
  local file=$1 op=$2 mode=$3 at=$4
  local name
  name=$(basename "$file" .qls)
  local id="$name.$op.$mode.$at"
  local scenario="$out/work/$id.qls"
  faulted "$file" "$op" "$mode" "$at" >"$scenario"
  local status=0
  timeout --kill-after=5 "$timeout_secs" "$qln_sim" "$scenario" --transcript /dev/null --out "$out/work" \
    >/dev/null 2>"$out/work/$id.err" </dev/null || status=$?
  local verdict=survived why=""
  if [[ $status -eq 124 || $status -eq 137 ]]; then
    verdict=hang why="still running after ${timeout_secs}s"
  elif grep -q -e 'ERROR: AddressSanitizer' -e 'ERROR: LeakSanitizer' -e 'runtime error:' "$out/work/$id.err"; then
    verdict=crash why="sanitizer: $(grep -m1 -e 'ERROR:' -e 'runtime error:' "$out/work/$id.err")"
  elif [[ $status -gt 128 ]]; then
    verdict=crash why="signal $((status - 128))"
  elif grep -q 'the world failed:' "$out/work/$id.err"; then
    verdict=crash why="escaped: $(grep -m1 'the world failed:' "$out/work/$id.err")"
  elif [[ $status -ne 0 && $status -ne 1 ]]; then
    verdict=crash why="exit status $status: $(head -n1 "$out/work/$id.err")"
  fi
  if [[ $verdict != survived ]]; then
    {
      echo "# fault sweep: $verdict: $why"
      echo "# from $(basename "$file") with 'fail $op' ($mode) before line $at; checks off"
      echo "# run: qln-sim $id.qls"
      cat "$scenario"
    } >"$out/repro/$id.qls"
  fi
  echo "$verdict $name $op $mode $at${why:+ $why}" >>"$out/results"
  rm -f "$scenario" "$out/work/$id.err"
}
export -f faulted run_one
export out qln_sim timeout_secs

{
  for file in "${files[@]}"; do
    while read -r mode at; do
      for op in "${operations[@]}"; do
        echo "$file $op $mode $at"
      done
    done < <(places "$file")
  done
} >"$out/plan.all"

if [[ $sample -gt 0 ]]; then
  awk -v seed="$seed" 'BEGIN { srand(seed) } { printf "%.12f\t%s\n", rand(), $0 }' "$out/plan.all" |
    sort -k1,1 | awk -v n="$sample" 'NR <= n' | cut -f2- >"$out/plan"
else
  cp "$out/plan.all" "$out/plan"
fi

total=$(wc -l <"$out/plan")
drawn=""
[[ $sample -gt 0 ]] && drawn=", a sample drawn with seed $seed"
echo "fault sweep: $total of $(wc -l <"$out/plan.all") runs ($qln_sim, ${#files[@]} scenarios," \
     "${#operations[@]} operations$drawn), $jobs at a time; results in $out"
start=$(date +%s)
xargs -a "$out/plan" -P "$jobs" -L 1 bash -c 'run_one "$@"' _
elapsed=$(( $(date +%s) - start ))

runs=$(wc -l <"$out/results")
survived=$(grep -c '^survived ' "$out/results" || true)
crashes=$(grep -c '^crash ' "$out/results" || true)
hangs=$(grep -c '^hang ' "$out/results" || true)
echo "fault sweep: $runs runs, $survived survived, $crashes crashes, $hangs hangs in ${elapsed}s"
if [[ $runs -ne $total ]]; then
  echo "fault sweep: $((total - runs)) run(s) left no result" >&2
  exit 2
fi
if [[ $crashes -gt 0 || $hangs -gt 0 ]]; then
  grep -e '^crash ' -e '^hang ' "$out/results" | sort | awk 'NR <= 50' >&2
  echo "fault sweep: reproducing scenarios in $out/repro/" >&2
  exit 1
fi
