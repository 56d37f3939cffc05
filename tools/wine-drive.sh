#!/usr/bin/env bash
# QLN.exe beside the Outlook stand-in under Wine, as a user would find it, driven by qln-drive.exe.
#
#   tools/wine-drive.sh demo OUT     screenshots of examples/first-look.qls's story in OUT (a Unix path)
#   tools/wine-drive.sh bench [ARGS] the benchmark's figures (qln-drive bench's options)
#
# Expects the mingw build (build-mingw: QLN, outlook-standin, qln-drive). Installs QLN.exe into the
# prefix's C:\Program Files\Quellin, registers the stand-in, runs qln-drive as user "alice" (the
# example's), and removes the stand-in's registration again.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-mingw"
if [[ -z ${QLN_WINE_SESSION:-} ]]; then
  "$root/tools/wine.sh" install "$build/apps/qln/QLN.exe"
  exec env USER=alice "$root/tools/wine.sh" run "$0" "$@"
fi
run="${1:-}"
shift || true
wine="$root/tools/wine.sh"
standin="$build/tests/win32/outlook-standin/outlook-standin.exe"

args=()
case "$run" in
  demo)
    [[ $# -eq 1 ]] || { echo "usage: tools/wine-drive.sh demo OUT" >&2; exit 2; }
    mkdir -p "$1"
    args=(demo --out "Z:$(cd "$1" && pwd)")
    ;;
  bench) args=(bench "$@") ;;
  *) echo "usage: tools/wine-drive.sh demo OUT | bench [ARGS]" >&2; exit 2 ;;
esac

"$wine" exec "$standin" /RegServer || { echo "wine-drive: the stand-in's /RegServer failed" >&2; exit 1; }
status=0
"$wine" exec "$build/apps/qln-drive/qln-drive.exe" "${args[@]}" || status=$?
"$wine" exec "$standin" /UnregServer || true
exit $status
