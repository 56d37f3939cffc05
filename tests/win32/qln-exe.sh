#!/usr/bin/env bash
# QLN.exe under Wine, with no Outlook: a second start ends quietly at once while the first runs,
# and the first ends by itself (the notifier's poll finds no Outlook) with status 0.
#
#   tests/win32/qln-exe.sh PATH/TO/QLN.exe
#
# The time limits only catch a program that hangs; they measure nothing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
exe="$1"
# Both programs must share one Wine session (one wineserver, one desktop).
if [[ -z ${QLN_WINE_SESSION:-} ]]; then
  exec "$root/tools/wine.sh" run "$0" "$@"
fi

fail() { echo "qln-exe: $*" >&2; exit 1; }

"$root/tools/wine.sh" exec "$exe" &
first=$!
sleep 2
kill -0 "$first" 2>/dev/null || fail "the first QLN.exe ended before a second was started"

status=0
timeout 10 "$root/tools/wine.sh" exec "$exe" || status=$?
[[ $status -eq 0 ]] || fail "the second QLN.exe ended with status $status (124: it did not end)"
kill -0 "$first" 2>/dev/null || fail "the first QLN.exe ended when the second started"
echo "qln-exe: a second QLN.exe ended quietly while the first ran"

for _ in $(seq 1 30); do
  kill -0 "$first" 2>/dev/null || break
  sleep 1
done
if kill -0 "$first" 2>/dev/null; then
  kill "$first"
  fail "the first QLN.exe did not end without Outlook"
fi
status=0
wait "$first" || status=$?
[[ $status -eq 0 ]] || fail "QLN.exe ended with status $status"
echo "qln-exe: QLN.exe ended by itself without Outlook, status 0"
