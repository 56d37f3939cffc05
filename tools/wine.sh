#!/usr/bin/env bash
# Runs the Windows build under Wine, on a virtual X display, without anything for a person to do.
#
#   tools/wine.sh run COMMAND [ARGS...]   installs Wine and Xvfb when missing, creates the Wine
#                                         prefix once, starts Xvfb and one wineserver, runs COMMAND
#                                         (ctest, a script, ...) with that environment, stops both
#   tools/wine.sh exec PROGRAM.exe [ARGS...]
#                                         runs one Windows program; inside `run` it uses the session,
#                                         outside it makes its own (CMake's emulator for the mingw
#                                         build, so `ctest --preset mingw` works from any shell)
#   tools/wine.sh prefix                  creates the prefix (if missing) and prints its folder
#   tools/wine.sh install FILE...         copies the files into the prefix's C:\Program Files\Quellin,
#                                         the installation folder the scenarios assume (qln-win.exe
#                                         run from there has the simulator's program folder)
#
# The prefix is private to the build: build-mingw/wine-prefix, or $QLN_WINEPREFIX. Where 32-bit Wine
# is installed (tools/install-deps.sh --wine32) it has WoW64 too (C:\windows\syswow64 holds the
# 32-bit regsvr32.exe and cscript.exe) for the 32-bit build's tests (the mingw32 preset). The
# display is a 1024 x 768 x 24 Xvfb screen at 96 dpi.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
self="$root/tools/wine.sh"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

export WINEPREFIX="${QLN_WINEPREFIX:-$root/build-mingw/wine-prefix}"
# No Mono or Gecko: nothing here needs .NET or a browser engine, and Wine would offer to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"
# Bumped whenever the prefix's settings below change, so an older prefix is made again.
prefix_version=.qln-prefix-4

usage() {
  sed -n '2,18p' "$self" >&2
  exit 2
}

ensure_installed() {
  if [[ ! -x $wine || ! -x /usr/bin/xvfb-run || ! -x /usr/bin/xauth ]]; then
    "$root/tools/install-deps.sh" --wine
  fi
}

# A copy of a newly made prefix, from which further prefixes (a test's fresh one) are made by copying:
# quicker than wineboot, which takes minutes where 32-bit Wine runs through qemu-i386
# (tools/install-deps.sh --wine32).
template="${QLN_WINE_TEMPLATE:-$root/build-mingw/wine-prefix-template}"

# Creates the prefix once. Concurrent callers (ctest -j) wait for the first one.
ensure_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [[ ! -f $WINEPREFIX/$prefix_version && -f $template/$prefix_version && $WINEPREFIX != "$template" ]]; then
    rm -rf "$WINEPREFIX"
    cp -a "$template" "$WINEPREFIX"
  fi
  if [[ ! -f $WINEPREFIX/$prefix_version ]]; then
    rm -rf "$WINEPREFIX"
    "$wine" wineboot -u >/dev/null 2>&1 || true
    # Xvfb has no window manager: Wine must not wait for one to map, activate or withdraw windows
    # (it would, up to two seconds per captioned window).
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    # Text in any script shows in any face, as on Windows: Windows links its interface faces to its
    # CJK fonts (FontLink\SystemLink); here they link to the CJK and symbol fonts the tests install
    # (fonts-wqy-microhei, fonts-symbola).
    for face in "MS Sans Serif" "Microsoft Sans Serif" Tahoma Arial; do
      "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
        /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei\0Symbola_hint.ttf,Symbola' /f >/dev/null 2>&1 || true
    done
    # Web pages open with Wine's browser launcher, as they open with a browser on any desktop (the
    # association is Gecko's to make, and Gecko is left out).
    for extension in .htm .html; do
      "$wine" reg add "HKLM\Software\Classes\\$extension" /ve /d htmlfile /f >/dev/null 2>&1 || true
    done
    "$wineserver" -w
    [[ -f $WINEPREFIX/system.reg ]] || { echo "wine.sh: wineboot did not create $WINEPREFIX" >&2; exit 1; }
    touch "$WINEPREFIX/$prefix_version"
    if [[ $WINEPREFIX != "$template" ]]; then
      rm -rf "$template" "$template.new"
      cp -a "$WINEPREFIX" "$template.new"
      mv "$template.new" "$template"
    fi
  fi
  flock -u 9
  exec 9>&-
}

# Inside Xvfb: one persistent wineserver for the whole command, so every program starts warm.
inside() {
  "$wineserver" -p
  # Start Wine's own services (services.exe, rpcss, ...) now, detached from the caller's output:
  # started by the first program instead, they would inherit its pipes and outlive it, and ctest
  # would wait for those pipes to close for ever.
  "$wine" wineboot </dev/null >/dev/null 2>&1 || true
  local status=0
  "$@" || status=$?
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  return $status
}

command="${1:-}"
[[ -n $command ]] || usage
shift

case "$command" in
  run)
    [[ $# -gt 0 ]] || usage
    ensure_installed
    ensure_prefix
    export QLN_WINE_SESSION=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -nolisten tcp" "$self" __inside "$@"
    ;;
  __inside)
    inside "$@"
    ;;
  exec)
    [[ $# -gt 0 ]] || usage
    if [[ -n ${QLN_WINE_SESSION:-} ]]; then
      exec "$wine" "$@"
    fi
    exec "$self" run "$self" exec "$@"
    ;;
  prefix)
    ensure_installed
    ensure_prefix
    echo "$WINEPREFIX"
    ;;
  install)
    [[ $# -gt 0 ]] || usage
    ensure_installed
    ensure_prefix
    folder="$WINEPREFIX/drive_c/Program Files/Quellin"
    mkdir -p "$folder"
    cp -f "$@" "$folder/"
    ;;
  *)
    usage
    ;;
esac
