#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Usage: tools/install-deps.sh [--cross] [--wine] [--wine32]
#   --cross adds the MinGW-w64 cross-compiler, with widl and Wine's IDL files (the type libraries
#   of the Outlook stand-in and of our controls) and NSIS (Quellin-Setup.exe); --wine adds them
#   too, with Wine (64-bit) and Xvfb to run the Windows builds' tests (tools/wine.sh). Both add the
#   32-bit cross-compiler (the mingw32 preset). --wine32 adds 32-bit Wine for the 32-bit DLLs' own
#   tests in 32-bit hosts (WoW64; `make wine-test-x86`).
set -euo pipefail

# Fonts for `fonts real`: DejaVu and Liberation cover Latin, Greek, Cyrillic, Hebrew and Arabic;
# the small ones beside them cover what those lack: WenQuanYi Micro Hei (5 MB) Chinese, Japanese
# and Korean, Symbola (3 MB) emoji and symbols, Lohit Devanagari (0.2 MB) Devanagari.
packages=(cmake ninja-build g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libstb-dev libfreetype-dev libfontconfig-dev libharfbuzz-dev libfribidi-dev libutf8proc-dev
          fonts-dejavu-core fonts-liberation2 fonts-wqy-microhei fonts-symbola fonts-lohit-deva)
wine32=""
for option in "$@"; do
  case "$option" in
    --cross) packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools libwine-dev nsis) ;;
    --wine) packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools libwine-dev nsis wine64
                       fonts-wine xvfb xauth x11-apps) ;;
    --wine32) packages+=(wine64 wine32:i386 qemu-user fonts-wine xvfb xauth x11-apps)
              wine32=1 ;;
    *) echo "install-deps.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

# 32-bit Wine is a 32-bit Linux program. A kernel without 32-bit emulation (ia32_emulation=off, as on
# some virtual machines) runs it through qemu-i386 instead: a binfmt_misc entry for i386 ELF files,
# made once per boot. Slow (each 32-bit Windows program starts in about a minute) but sound.
enable_i386_programs() {
  [[ -x /usr/lib/wine/wine ]] || return 0
  /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
  local sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  local misc=/proc/sys/fs/binfmt_misc
  [[ -e $misc/register ]] || $sudo mount -t binfmt_misc binfmt_misc "$misc"
  if [[ ! -e $misc/qln-i386 ]]; then
    echo ':qln-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:POCF' |
      $sudo tee "$misc/register" >/dev/null
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 ||
    { echo "install-deps.sh: 32-bit Wine does not run on this machine" >&2; exit 1; }
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
  [[ -z $wine32 ]] || enable_i386_programs
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# 32-bit Wine comes from Debian's i386 architecture, added once.
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
[[ -z $wine32 ]] || enable_i386_programs
