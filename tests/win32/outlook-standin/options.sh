#!/usr/bin/env bash
# Registers the Outlook stand-in, QLNOptions.dll (machine-wide: Wine's COM reads classes only from
# HKLM) and the tests' own add-in, runs the Options dialog's test program, and removes all three
# registrations again.
#
#   tests/win32/outlook-standin/options.sh outlook-standin.exe QLNOptions.dll TestAddin.dll CLIENT.exe [ARGS...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
if [[ -z ${QLN_WINE_SESSION:-} ]]; then
  exec "$root/tools/wine.sh" run "$0" "$@"
fi
standin="$1" page="$2" addin="$3"
shift 3
wine="$root/tools/wine.sh"

"$wine" exec "$standin" /RegServer || { echo "options: stand-in /RegServer failed ($?)" >&2; exit 1; }
"$wine" exec regsvr32 /s /n /i:machine "$page" || { echo "options: regsvr32 /i:machine of the page failed ($?)" >&2; exit 1; }
"$wine" exec regsvr32 /s "$addin" || { echo "options: regsvr32 of the add-in failed ($?)" >&2; exit 1; }
status=0
"$wine" exec "$@" || status=$?
"$wine" exec regsvr32 /s /u "$addin" || status=1
"$wine" exec regsvr32 /s /u /n /i:machine "$page" || status=1
"$wine" exec "$standin" /UnregServer || status=1
exit $status
