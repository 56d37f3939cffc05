#!/usr/bin/env bash
# Stands in for qln-sim in the sweep's own test: it knows three operations and answers a scenario
# by the fault it finds in it. Crash: `fail Crash` anywhere; signal: `fail Signal times 1`; hang:
# `fail Crash times 1` (sleeps past the sweep's timeout). A check left on is refused (status 2).
set -u
if [[ "${1:-}" == "--fault-operations" ]]; then
  printf 'Crash\nSignal\nQuiet\n'
  exit 0
fi
scenario=$1
if grep -q '^expect' "$scenario"; then
  echo "$scenario:1: a check was left on" >&2
  exit 2
fi
if grep -q '^fail Crash$' "$scenario"; then
  echo "$scenario:3: the world failed: Crash failed (injected)" >&2
  exit 1
fi
if grep -q '^fail Crash times 1$' "$scenario"; then
  sleep 30
fi
if grep -q '^fail Signal times 1$' "$scenario"; then
  kill -SEGV $$
fi
exit 0
