#!/usr/bin/env bash
# Registers the Outlook stand-in in the test prefix, runs a client test program against it in
# another process, and removes the registration again.
#
#   tests/win32/outlook-standin/standin.sh outlook-standin.exe CLIENT.exe [ARGS...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
if [[ -z ${QLN_WINE_SESSION:-} ]]; then
  exec "$root/tools/wine.sh" run "$0" "$@"
fi
standin="$1"
shift
wine="$root/tools/wine.sh"

"$wine" exec "$standin" /RegServer || { echo "standin: /RegServer failed ($?)" >&2; exit 1; }
status=0
"$wine" exec "$@" || status=$?
"$wine" exec "$standin" /UnregServer || { echo "standin: /UnregServer failed ($?)" >&2; exit 1; }
exit $status
