#!/usr/bin/env bash
# Registers a control DLL in the test prefix for every user (Wine's COM reads classes only from
# HKLM: `regsvr32 /n /i:machine`, DllInstall with "machine"), runs a test program against it, and
# removes the registration again.
#
#   tests/win32/activex/activex.sh CONTROL.dll CLIENT.exe [ARGS...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
if [[ -z ${QLN_WINE_SESSION:-} ]]; then
  exec "$root/tools/wine.sh" run "$0" "$@"
fi
dll="$1"
shift
wine="$root/tools/wine.sh"

"$wine" exec regsvr32 /s /n /i:machine "$dll" || { echo "activex: regsvr32 /i:machine failed ($?)" >&2; exit 1; }
status=0
QLN_CONTROL_DLL="$dll" "$wine" exec "$@" || status=$?
"$wine" exec regsvr32 /s /u /n /i:machine "$dll" || { echo "activex: regsvr32 /u /i:machine failed ($?)" >&2; exit 1; }
exit $status
