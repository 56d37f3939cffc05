#!/usr/bin/env bash
# Runs COMMAND in a Wine session of its own (its own wineserver, Wine services and display) on a
# copy of the test prefix, removed afterwards: for a test that leaves Wine's COM unusable for the
# rest of its session (a local server killed outright stays registered).
#
#   tests/win32/standin-scenarios/own-session.sh COMMAND [ARGS...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
prefix="$(env -u QLN_WINE_SESSION "$root/tools/wine.sh" prefix)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp -a --reflink=auto "$prefix" "$scratch/prefix"
export QLN_WINEPREFIX="$scratch/prefix"
unset QLN_WINE_SESSION
"$@"
