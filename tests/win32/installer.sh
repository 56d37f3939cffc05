#!/usr/bin/env bash
# Quellin-Setup.exe in a fresh Wine prefix of its own: a silent install, its files and keys; Outlook
# (the stand-in) started afterwards loads the installed add-in, which starts QLN.exe, a new mail is
# read by it and the Options dialog shows the "Quellin" page (installer-chain.js); the notifier
# started from the installation beside the stand-in; a silent uninstall that stops it and leaves
# the user's settings and lists; a second install and an uninstall with /REMOVESETTINGS that leaves
# nothing.
#
#   tests/win32/installer.sh Quellin-Setup.exe outlook-standin.exe [DLL...] [--x86 DLL...]
#
# DLL...: the COM servers the installer carries (QLNOptions.dll, QuellinAddin.dll, btGlintButton.dll,
# DorveltFlairButton.dll), whose per-user registration is checked. Wine's COM reads classes only
# from HKLM: whoever needs them created in the prefix registers them there too with
# `regsvr32 /n /i:machine DLL` after installing, as this test does (and undoes) for each.
# --x86 DLL...: the 32-bit builds the installer carries too (into x86\, registered by the 32-bit
# regsvr32): their classes must name them in the 32-bit registry view, the 64-bit ones in the
# 64-bit view. Each 32-bit regsvr32 is slow where 32-bit Wine runs through qemu-i386.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
setup="$1"
standin="$2"
shift 2
dlls=()
x86_dlls=()
while [[ $# -gt 0 && $1 != --x86 ]]; do dlls+=("$1"); shift; done
[[ $# -eq 0 ]] || { shift; x86_dlls=("$@"); }

# A fresh prefix for this test alone (wineboot takes half a minute), removed afterwards.
if [[ -z ${QLN_INSTALLER_PREFIX:-} ]]; then
  scratch="$(mktemp -d)"
  trap 'rm -rf "$scratch"' EXIT
  status=0
  env -u QLN_WINE_SESSION QLN_INSTALLER_PREFIX=1 QLN_WINEPREFIX="$scratch/prefix" \
    "$root/tools/wine.sh" run "$0" "$setup" "$standin" "${dlls[@]}" ${x86_dlls[@]+--x86 "${x86_dlls[@]}"} || status=$?
  exit $status
fi

wine() { "$root/tools/wine.sh" exec "$@"; }
fail() { echo "installer: $*" >&2; exit 1; }
say() { echo "installer: $*"; }

# The value's data as `reg query` prints it, empty when the value is missing.
value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]*/, ""); print; exit }'
}
has_key() { wine reg query "$1" >/dev/null 2>&1; }
# A key's default value in one registry view (32 or 64), empty when the key or value is missing.
default_in() {
  wine reg query "$1" /ve "/reg:$2" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *(Default) *REG_[A-Z_]* *//p' | grep -v '^(value not set)$' | head -1 || true
}
# The class of a ProgID registered for the user (ProgIDs are shared by both views).
clsid_of() { default_in "HKCU\\Software\\Classes\\$1\\CLSID" 64; }
expect_value() {
  local got
  got="$(value "$1" "$2")"
  [[ $got == "$3" ]] || fail "$1 $2 is '$got', not '$3'"
}
unix_path() { wine winepath -u "$1" 2>/dev/null | tr -d '\r'; }

local_data="$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')"
user="$(wine cmd /c echo %USERNAME% | tr -d '\r')"
programs="$(wine cmd /c echo %APPDATA% | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs"
inst="$local_data\\Quellin"
inst_unix="$(unix_path "$inst")"
[[ -n $inst_unix ]] || fail "no Unix path for $inst"

install_key='HKCU\Software\Korvane\Quellin\Main'
addin_key='HKCU\Software\Microsoft\Office\Outlook\Addins\QuellinAddin.Connect'
settings_key='HKCU\Software\Microsoft\Office\Outlook\Addins\QuellinAddin.Settings'
options_key='HKCU\Software\Korvane\Quellin\Opt'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quellin'

progid_of() {
  case "$(basename "$1")" in
    QLNOptions.dll) echo KorvaneQLNOptions.QLNOptions ;;
    QuellinAddin.dll) echo QuellinAddin.Connect ;;
    btGlintButton.dll) echo btGlintButton.GlintButton ;;
    DorveltFlairButton.dll) echo DorveltFlairButton.FlairButton ;;
    *) fail "unknown DLL $1" ;;
  esac
}

# Whether HKCU\Software\Classes\CLSID has a 32-bit view of its own (Windows) or one for both (Wine 8).
views_probe='HKCU\Software\Classes\CLSID\{5A1E0C3B-0D7E-4B39-9C4C-3F2B8E7A6D10}'
wine reg add "$views_probe" /ve /d 32 /f /reg:32 >/dev/null 2>&1
wine reg add "$views_probe" /ve /d 64 /f /reg:64 >/dev/null 2>&1
separate_views=0
[[ $(default_in "$views_probe" 32) == 32 ]] && separate_views=1
wine reg delete "$views_probe" /f /reg:32 >/dev/null 2>&1 || true
wine reg delete "$views_probe" /f /reg:64 >/dev/null 2>&1 || true

x86_classes=()
install() {
  wine "$setup" /S || fail "the silent install ended with status $?"
  for file in QLN.exe uninstall.exe guide/index.html; do
    [[ -f $inst_unix/$file ]] || fail "$file is not installed"
  done
  [[ -f $(unix_path "$programs")/Quellin.lnk ]] || fail "no Start-menu entry"
  expect_value "$install_key" QLNPath "$inst"
  expect_value "$install_key" Help "$inst\\guide\\index.html"
  expect_value "$uninstall_key" UninstallString "\"$inst\\uninstall.exe\""
  for dll in "${dlls[@]}"; do
    local name progid
    name="$(basename "$dll")"
    progid="$(progid_of "$dll")"
    [[ -f $inst_unix/$name ]] || fail "$name is not installed"
    has_key "HKCU\\Software\\Classes\\$progid\\CLSID" || fail "$progid is not registered for the user"
    if [[ $name == QuellinAddin.dll ]]; then
      expect_value "$addin_key" LoadBehavior 0x3
      expect_value "$addin_key" FriendlyName Quellin
      [[ -n $(value "$addin_key" Description) ]] || fail "the add-in has no description"
    fi
  done
  for dll in "${x86_dlls[@]}"; do
    local name progid clsid server
    name="$(basename "$dll")"
    progid="$(progid_of "$dll")"
    [[ -f $inst_unix/x86/$name ]] || fail "x86\\$name is not installed"
    cmp -s "$dll" "$inst_unix/x86/$name" || fail "x86\\$name is not the 32-bit build's"
    clsid="$(clsid_of "$progid")"
    [[ -n $clsid ]] || fail "$progid has no class for the user"
    x86_classes+=("$progid=$clsid")
    # Where the views are one (Wine), the 64-bit registration written after the 32-bit one stays:
    # the 32-bit regsvr32's success is then the installer's exit status (it aborts otherwise).
    if ((separate_views)); then
      server="$(default_in "HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" 32)"
      [[ ${server,,} == "${inst,,}\\x86\\${name,,}" ]] || fail "$progid's 32-bit server is '$server', not $inst\\x86\\$name"
    fi
    if [[ " ${dlls[*]##*/} " == *" $name "* ]]; then
      server="$(default_in "HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" 64)"
      [[ ${server,,} == "${inst,,}\\${name,,}" ]] || fail "$progid's 64-bit server is '$server', not $inst\\$name"
    fi
  done
  say "installed into $inst: files, install key, Start menu, ${#dlls[@]} COM server(s) for the user," \
      "${#x86_dlls[@]} 32-bit"
}

# Waits up to $2 seconds for the uninstaller (it goes on from a copy of itself in %TEMP%).
await_gone() {
  for _ in $(seq 1 "$2"); do
    [[ -e $1 ]] || return 0
    sleep 1
  done
  fail "$1 is still there ${2}s after the uninstall"
}

# ---- install, then what CI adds for Wine's COM ---------------------------------------------------
install
for dll in "${dlls[@]}"; do
  progid="$(progid_of "$dll")"
  wine regsvr32 /s /n /i:machine "$inst\\$(basename "$dll")" || fail "regsvr32 /i:machine $dll failed"
  has_key "HKLM\\Software\\Classes\\$progid\\CLSID" || fail "$progid is not registered under HKLM"
  wine regsvr32 /s /u /n /i:machine "$inst\\$(basename "$dll")" || fail "regsvr32 /u /i:machine $dll failed"
  ! has_key "HKLM\\Software\\Classes\\$progid" || fail "$progid is still under HKLM"
done

# The user's settings and a list, as the options page leaves them.
wine reg add "$settings_key" /v DismissTime /t REG_DWORD /d 30 /f >/dev/null
mkdir -p "$inst_unix/$user"
printf 'spam@example.com' >"$inst_unix/$user/blist.qln"

# ---- Outlook with Quellin installed: the add-in loaded, QLN.exe started by it, the page shown ------
# (Wine's COM needs the classes under HKLM too; the installer registered them for the user.)
for dll in "${dlls[@]}"; do
  wine regsvr32 /s /n /i:machine "$inst\\$(basename "$dll")" || fail "regsvr32 /i:machine $dll failed"
done
wine "$standin" /RegServer || fail "the stand-in did not register"
chain="$(wine winepath -w "$root/tests/win32/installer-chain.js" 2>/dev/null | tr -d '\r')"
wine cscript //nologo "$chain" || fail "Outlook with Quellin installed did not go as a user's would"
# QLN.exe ends by itself once Outlook has quit: at its first poll for Outlook's window, which
# starts five seconds after its start, then every second.
for _ in $(seq 1 80); do
  pgrep -f 'Quellin[\\]QLN\.exe' >/dev/null || break
  sleep 0.1
done
! pgrep -f 'Quellin[\\]QLN\.exe' >/dev/null || fail "QLN.exe runs on 8 s after Outlook quit"
for dll in "${dlls[@]}"; do
  wine regsvr32 /s /u /n /i:machine "$inst\\$(basename "$dll")" || true
done
say "Outlook loaded the installed add-in, which started QLN.exe; a mail was read; the page was shown"

# ---- the notifier runs from the installation beside Outlook (the stand-in) ----------------------
wine "$inst\\QLN.exe" &
qln=$!
# Past the notifier's first poll (5 s after its start): it runs because it found Outlook.
sleep 8
kill -0 "$qln" 2>/dev/null || fail "QLN.exe did not stay beside the stand-in"

# ---- uninstall, keeping the settings -------------------------------------------------------------
# Asked through its quit event, QLN.exe ends within about a second (its check runs once a second);
# the uninstaller terminates it only after 10 s, which the limit of 8 s tells apart.
started=$SECONDS
wine "$inst\\uninstall.exe" /S || fail "the silent uninstall ended with status $?"
while kill -0 "$qln" 2>/dev/null && ((SECONDS - started < 20)); do
  sleep 0.2
done
if kill -0 "$qln" 2>/dev/null; then
  kill "$qln"
  fail "the uninstaller left QLN.exe running"
fi
took=$((SECONDS - started))
status=0
wait "$qln" || status=$?
[[ $status -eq 0 ]] || fail "QLN.exe ended with status $status when the uninstaller stopped it"
((took < 8)) || fail "QLN.exe ended ${took}s after the uninstall began: terminated, not asked"
say "the uninstaller asked QLN.exe to end: it ended after ${took}s with status 0"
wine "$standin" /UnregServer || true

# Each 32-bit regsvr32 /u may take a minute or two where 32-bit Wine runs through qemu-i386.
uninstall_wait=$((20 + 150 * ${#x86_dlls[@]}))
await_gone "$inst_unix/uninstall.exe" "$uninstall_wait"
for file in QLN.exe guide QLNOptions.dll QuellinAddin.dll btGlintButton.dll DorveltFlairButton.dll x86; do
  [[ ! -e $inst_unix/$file ]] || fail "$file is left after the uninstall"
done
for progid in "${x86_classes[@]}"; do
  [[ -z $(default_in "HKCU\\Software\\Classes\\CLSID\\${progid#*=}\\InprocServer32" 32) ]] ||
    fail "${progid%=*}'s 32-bit class is left after the uninstall"
done
[[ ! -e $(unix_path "$programs")/Quellin.lnk ]] || fail "the Start-menu entry is left"
for key in "$install_key" "$addin_key" "$uninstall_key" 'HKCU\Software\Classes\KorvaneQLNOptions.QLNOptions' \
           'HKCU\Software\Classes\QuellinAddin.Connect' 'HKCU\Software\Classes\btGlintButton.GlintButton' \
           'HKCU\Software\Classes\DorveltFlairButton.FlairButton'; do
  ! has_key "$key" || fail "$key is left after the uninstall"
done
expect_value "$settings_key" DismissTime 0x1e
[[ -f $inst_unix/$user/blist.qln ]] || fail "the uninstall removed the user's blocked list"
say "uninstalled: program, classes, add-in, install key and Start menu gone; settings and lists kept"

# ---- install again (the kept settings stay), then uninstall with /REMOVESETTINGS -----------------
install
expect_value "$settings_key" DismissTime 0x1e

wine "$inst\\uninstall.exe" /S /REMOVESETTINGS || fail "the silent uninstall ended with status $?"
await_gone "$inst_unix" "$uninstall_wait"
for key in "$install_key" "$addin_key" "$uninstall_key" "$settings_key" "$options_key" 'HKCU\Software\Korvane'; do
  ! has_key "$key" || fail "$key is left after the uninstall with /REMOVESETTINGS"
done
say "uninstalled with /REMOVESETTINGS: nothing left"
