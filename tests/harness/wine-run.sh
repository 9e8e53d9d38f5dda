#!/usr/bin/env bash
# Runs one Windows program under Wine and returns its exit code.
#   wine-run.sh --prefix DIR program.exe [args...]
#       64-bit Wine in that prefix (CTest's cross-compiling emulator)
#   wine-run.sh --emulated win64|win32 [--pieces DIR] program.exe [args...]
#       the emulated 32-bit Wine's prefix of 64-bit or 32-bit Windows
#       (tests/harness/wine32-session.sh; PIECES: the i686 test libraries)
# Inside a session of the same prefix it reuses that session's display and
# server; on its own it starts what it needs and stops exactly that afterwards.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

prefix="" emulated="" pieces=""
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix=$2; shift 2 ;;
    --emulated) emulated=$2; shift 2 ;;
    --pieces) pieces=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--prefix DIR | --emulated KIND [--pieces DIR]] program.exe [args...]" >&2; exit 2; }

if [ -n "$emulated" ]; then
  . "$here/wine32-session.sh"
  prefix=$WINE32_HOME/$emulated
  start() { wine32_session_start "$emulated" "$pieces"; }
  [ "$emulated" = win32 ] && WINE_LOADER=$WINE32_HOME/wine || WINE_LOADER=$WINE32_HOME/root/usr/lib/wine/wine64
else
  . "$here/wine-session.sh"
  [ -n "$prefix" ] || prefix=${WINEPREFIX:-$PWD/wineprefix}
  start() { wine_session_start "$prefix"; }
fi

if [ -n "${HALVORAN_WINE_SESSION:-}" ] && [ "${WINEPREFIX:-}" = "$prefix" ]; then
  "$WINE_LOADER" "$@"
  exit $?
fi

trap wine_session_stop EXIT
if ! start; then
  echo "wine-run.sh: the Wine session for $prefix could not be started" >&2
  exit 125
fi
"$WINE_LOADER" "$@"
exit $?
