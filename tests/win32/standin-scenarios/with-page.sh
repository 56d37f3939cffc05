#!/usr/bin/env bash
# Runs a command with Quellin's options page and add-in registered for Outlook in the test prefix,
# as an installation leaves them: QLNOptions.dll and QuellinAddin.dll from the installation folder
# registered machine-wide (Wine's COM reads classes only from HKLM), and the add-in listed for
# Outlook to load at start-up. Removes all of it again and checks that nothing is left.
#
#   tests/win32/standin-scenarios/with-page.sh 'C:\Program Files\Quellin' COMMAND [ARGS...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
if [[ -z ${QLN_WINE_SESSION:-} ]]; then
  exec "$root/tools/wine.sh" run "$0" "$@"
fi
folder="$1"
shift
wine="$root/tools/wine.sh"
addin_key='HKCU\Software\Microsoft\Office\Outlook\Addins\QuellinAddin.Connect'

"$wine" exec regsvr32 /s /n /i:machine "$folder\\QLNOptions.dll" || { echo "with-page: QLNOptions.dll cannot be registered" >&2; exit 1; }
"$wine" exec regsvr32 /s /n /i:machine "$folder\\QuellinAddin.dll" || { echo "with-page: QuellinAddin.dll cannot be registered" >&2; exit 1; }
"$wine" exec reg add "$addin_key" /v LoadBehavior /t REG_DWORD /d 3 /f >/dev/null
status=0
"$@" || status=$?
"$wine" exec reg delete "$addin_key" /f >/dev/null || status=1
"$wine" exec regsvr32 /s /u /n /i:machine "$folder\\QuellinAddin.dll" || status=1
"$wine" exec regsvr32 /s /u /n /i:machine "$folder\\QLNOptions.dll" || status=1
for key in 'HKLM\Software\Classes\KorvaneQLNOptions.QLNOptions' 'HKLM\Software\Classes\QuellinAddin.Connect'; do
  if "$wine" exec reg query "$key" >/dev/null 2>&1; then
    echo "with-page: $key is still registered" >&2
    status=1
  fi
done
exit $status
