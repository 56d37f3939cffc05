#!/usr/bin/env bash
# The 32-bit DLLs under Wine's WoW64, as 32-bit Office and script hosts use them:
#
#   x86.sh x86-host.exe QLNOptions.dll QuellinAddin.dll btGlintButton.dll DorveltFlairButton.dll SCRIPT.js...
#
# 1. The 32-bit regsvr32 (C:\windows\syswow64) registers the four DLLs machine-wide (Wine's COM
#    reads classes only from HKLM: `regsvr32 /n /i:machine`): each ProgID's class names its DLL in
#    the 32-bit view (Software\Classes\Wow6432Node\CLSID) and is absent from the 64-bit view.
# 2. The 32-bit cscript runs each script (the button controls by their ProgIDs).
# 3. x86-host.exe plays 32-bit Outlook: the add-in adds the page, which it shows (Host.cpp).
# 4. The 32-bit regsvr32 /u removes them all again.
#
# 32-bit programs start slowly where 32-bit Wine runs through qemu-i386 (tools/install-deps.sh --wine32):
# one run does all of this, with one regsvr32 for the four DLLs each way.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
if [[ -z ${QLN_WINE_SESSION:-} ]]; then
  exec "$root/tools/wine.sh" run "$0" "$@"
fi
wine="$root/tools/wine.sh"
regsvr32='C:\windows\syswow64\regsvr32.exe'
cscript='C:\windows\syswow64\cscript.exe'

fail() { echo "x86: $*" >&2; exit 1; }

[[ -f $WINEPREFIX/drive_c/windows/syswow64/regsvr32.exe ]] ||
  fail "$WINEPREFIX has no 32-bit Windows (syswow64): install 32-bit Wine first (tools/install-deps.sh --wine32, as make wine-test-x86 does) and remove the prefix so that it is made again"

register() { "$wine" exec "$regsvr32" /s /n /i:machine "$@" || fail "32-bit regsvr32 /i:machine $* failed ($?)"; }
unregister() { "$wine" exec "$regsvr32" /s /u /n /i:machine "$@" || fail "32-bit regsvr32 /u /i:machine $* failed ($?)"; }

# The default value of a key, or nothing when the key is missing or has none.
default_value() {
  "$wine" exec reg query "$1" /ve 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *(Default) *REG_[A-Z_]* *//p' | grep -v '^(value not set)$' | head -1 || true
}

progid_of() {
  case "$(basename "$1")" in
    QLNOptions.dll) echo KorvaneQLNOptions.QLNOptions ;;
    QuellinAddin.dll) echo QuellinAddin.Connect ;;
    btGlintButton.dll) echo btGlintButton.GlintButton ;;
    DorveltFlairButton.dll) echo DorveltFlairButton.FlairButton ;;
    *) fail "no ProgID known for $1" ;;
  esac
}

windows_path() { echo "Z:${1//\//\\}"; }

[[ $# -ge 5 ]] || { sed -n '2,15p' "$0" >&2; exit 2; }
host="$1" page="$2" addin="$3"
dlls=("$2" "$3" "$4" "$5")
shift 5
classes='HKLM\Software\Classes'

register "${dlls[@]}"
status=0
declare -A clsids
for dll in "${dlls[@]}"; do
  progid=$(progid_of "$dll")
  clsid=$(default_value "$classes\\$progid\\CLSID")
  if [[ -z $clsid ]]; then
    echo "x86: $progid was not registered" >&2; status=1; continue
  fi
  server=$(default_value "$classes\\Wow6432Node\\CLSID\\$clsid\\InprocServer32")
  expected=$(windows_path "$dll")
  if [[ ${server,,} != "${expected,,}" ]]; then
    echo "x86: $progid's 32-bit InprocServer32 is \"$server\", not $expected" >&2; status=1
  fi
  if [[ -n $(default_value "$classes\\CLSID\\$clsid\\InprocServer32") ]]; then
    echo "x86: $progid's class is in the 64-bit view too: 64-bit Outlook would find a 32-bit DLL" >&2; status=1
  fi
  clsids[$dll]=$clsid
  echo "x86: $progid $clsid -> $server"
done

for script in "$@"; do
  "$wine" exec "$cscript" //nologo "Z:$script" || { echo "x86: 32-bit cscript $script failed" >&2; status=1; }
done
"$wine" exec "$host" "$(windows_path "$addin")" "$(windows_path "$page")" || status=1

unregister "${dlls[@]}"
for dll in "${dlls[@]}"; do
  progid=$(progid_of "$dll")
  clsid=${clsids[$dll]:-}
  if [[ -n $(default_value "$classes\\$progid\\CLSID") ]] ||
     [[ -n $clsid && -n $(default_value "$classes\\Wow6432Node\\CLSID\\$clsid\\InprocServer32") ]]; then
    echo "x86: $progid is still registered after regsvr32 /u" >&2; status=1
  fi
done
exit $status
