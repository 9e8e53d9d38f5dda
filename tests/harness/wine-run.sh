#!/usr/bin/env bash
# Runs one Windows program under 64-bit Wine and returns its exit code.
# CTest uses it as the cross-compiling emulator:  wine-run.sh --prefix DIR program.exe [args...]
# Inside a session of the test command it reuses that session's display and server;
# on its own it starts what it needs and stops exactly that afterwards.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/wine-session.sh"

prefix=""
if [ "${1:-}" = "--prefix" ]; then prefix=$2; shift 2; fi
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--prefix DIR] program.exe [args...]" >&2; exit 2; }
[ -n "$prefix" ] || prefix=${WINEPREFIX:-$PWD/wineprefix}

if [ -n "${HALVORAN_WINE_SESSION:-}" ] && [ "${WINEPREFIX:-}" = "$prefix" ]; then
  "$WINE_LOADER" "$@"
  exit $?
fi

trap wine_session_stop EXIT
wine_session_start "$prefix" || exit 125
"$WINE_LOADER" "$@"
rc=$?
exit $rc
