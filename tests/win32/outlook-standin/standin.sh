#!/usr/bin/env bash
# Registers the Outlook stand-in in the test prefix, runs a client test program against it in
# another process, removes the registration again and checks that nothing of it is left.
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
# Nothing of it is left: neither class nor the events' type library.
for key in 'HKLM\Software\Classes\Outlook.Application' 'HKLM\Software\Classes\OutlookStandin.Control' \
           'HKLM\Software\Classes\TypeLib\{6C1D2A48-93B8-4E0F-A51C-2F7E904B3D61}' \
           'HKLM\Software\Classes\Interface\{00063077-0000-0000-C000-000000000046}'; do
  if "$wine" exec reg query "$key" >/dev/null 2>&1; then
    echo "standin: $key is still registered after /UnregServer" >&2
    status=1
  fi
done
exit $status
