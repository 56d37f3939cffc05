#!/usr/bin/env bash
# The sweep's own test: against a stand-in runner it counts runs, survivals, crashes and hangs,
# fails, and leaves one reproducing scenario (checks off, the fault in place) per crash and hang.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d "${TMPDIR:-/tmp}/check-sweep.XXXXXX")
trap 'rm -rf "$out"' EXIT

status=0
"$here/../../tools/fault-sweep.sh" "$here/fake-qln-sim.sh" --scenarios "$here/fixture" --out "$out" \
  --points 2 --timeout 2 >"$out/log" 2>&1 || status=$?
cat "$out/log"
fail() { echo "check-sweep: $*" >&2; exit 1; }

[[ $status -eq 1 ]] || fail "the sweep ended with $status, not 1"
# Places: always and once before `start` (line 3), once at two points after it: 4 places, 3 operations.
grep -q '^fault sweep: 12 runs, 5 survived, 4 crashes, 3 hangs' "$out/log" || fail "wrong figures"
[[ $(ls "$out/repro" | wc -l) -eq 7 ]] || fail "not one reproducer per crash and hang"
repro="$out/repro/two.Crash.always.3.qls"
[[ -f "$repro" ]] || fail "no reproducer $repro"
grep -q '^# fault sweep: crash: escaped:' "$repro" || fail "the reproducer does not say what happened"
grep -q '^fail Crash$' "$repro" || fail "the reproducer lacks its fault"
grep -q '^# (check off) expect popup visible$' "$repro" || fail "the reproducer keeps a check on"
grep -q '^crash two Signal once .* signal 11' "$out/results" || fail "a signal is not a crash"
# No run inside the batch.
! grep -q ' 8$' "$out/results" || fail "a fault went inside a batch"

# A sample draws the same runs for the same seed.
"$here/../../tools/fault-sweep.sh" "$here/fake-qln-sim.sh" --scenarios "$here/fixture" --out "$out/a" \
  --sample 5 --seed 7 --timeout 2 >/dev/null 2>&1 || true
"$here/../../tools/fault-sweep.sh" "$here/fake-qln-sim.sh" --scenarios "$here/fixture" --out "$out/b" \
  --sample 5 --seed 7 --timeout 2 >/dev/null 2>&1 || true
cmp -s "$out/a/plan" "$out/b/plan" || fail "the same seed drew other runs"
[[ $(wc -l <"$out/a/plan") -eq 5 ]] || fail "the sample is not 5 runs"
echo "check-sweep: ok"
