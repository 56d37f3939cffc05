#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Usage: tools/install-deps.sh [--cross] [--wine]
#   --cross adds the MinGW-w64 cross-compiler, with widl and Wine's IDL files (the type libraries
#   of the Outlook stand-in and of our controls) and NSIS (Quellin-Setup.exe); --wine adds them
#   too, with Wine (64-bit) and Xvfb to run the Windows build's tests (tools/wine.sh).
set -euo pipefail

# Fonts for `fonts real`: DejaVu and Liberation cover Latin, Greek, Cyrillic, Hebrew and Arabic;
# the small ones beside them cover what those lack: WenQuanYi Micro Hei (5 MB) Chinese, Japanese
# and Korean, Symbola (3 MB) emoji and symbols, Lohit Devanagari (0.2 MB) Devanagari.
packages=(cmake ninja-build g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libstb-dev libfreetype-dev libfontconfig-dev libharfbuzz-dev libfribidi-dev libutf8proc-dev
          fonts-dejavu-core fonts-liberation2 fonts-wqy-microhei fonts-symbola fonts-lohit-deva)
for option in "$@"; do
  case "$option" in
    --cross) packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev nsis) ;;
    --wine) packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev nsis wine64 fonts-wine xvfb xauth x11-apps) ;;
    *) echo "install-deps.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
