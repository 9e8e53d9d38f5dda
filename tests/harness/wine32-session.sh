# Sourced by scripts that run the shipped i686 program in the emulated 32-bit Wine
# (scripts/setup-wine32.sh): the same session as wine-session.sh, in a prefix of
# the emulated Wine's own.
#
#   wine32_session_start KIND [PIECES]
#       KIND win64: 64-bit Windows; a 32-bit program runs under WOW64 (registry
#                   and system-folder redirection), 64-bit ones run natively.
#       KIND win32: 32-bit Windows; every program is a 32-bit one.
#       PIECES: a folder with the i686 test libraries (fakes/rasapi32.dll,
#       fakes/rasdlg.dll, fakes/setupapi.dll, test_applet.cpl), put into the
#       32-bit system folder (syswow64 or system32) as the system's own.
#     Runs the set-up when needed, makes the prefix once, starts a display and a
#     persistent server, and exports WINEPREFIX and WINE_LOADER: "$WINE_LOADER
#     prog.exe args" runs a program of either bitness in the prefix. Non-zero,
#     with a message, when the emulated Wine cannot be prepared.
#   wine32_session_stop
#
# Never through /usr/bin/wine64: processes of the prefix must start each other
# from the emulated Wine's folder.
_w32_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WINE32_HOME=${HALVORAN_WINE32_HOME:-$_w32_top/build/wine32}
. "$_w32_top/tests/harness/wine-session.sh"

wine32_session_start() {
  local kind=$1 pieces=${2:-}
  case "$kind" in
    win64) WINE_LOADER=$WINE32_HOME/root/usr/lib/wine/wine64 ;;
    win32) WINE_LOADER=$WINE32_HOME/wine ;;
    *) echo "wine32-session: unknown kind '$kind' (win64 or win32)" >&2; return 2 ;;
  esac
  bash "$_w32_top/scripts/setup-wine32.sh" || return 1
  export WINE_PREFIX_ARCH=$kind WINE_LOADER
  wine_session_start "$WINE32_HOME/$kind" || return 1
  local system=$WINEPREFIX/drive_c/windows/syswow64
  [ "$kind" = win32 ] && system=$WINEPREFIX/drive_c/windows/system32
  if [ ! -f "$system/kernel32.dll" ]; then
    echo "wine32-session: the prefix $WINEPREFIX has no 32-bit system folder (wineboot failed)" >&2
    return 1
  fi
  [ -z "$pieces" ] || wine32_plant_pieces "$pieces" "$system"
}

# Copies a file under a new name and renames it over the target: a process that
# has the old file mapped keeps it.
_w32_replace() {
  cp "$1" "$2.new" && mv -f "$2.new" "$2"
}

wine32_plant_pieces() {
  local pieces=$1 system=$2 dll
  for dll in rasapi32 rasdlg setupapi; do
    _w32_replace "$pieces/fakes/$dll.dll" "$system/$dll.dll" || return 1
  done
  # Programs that need Wine's own setup library keep it: the 32-bit service
  # manager (32-bit Windows) and the 32-bit device console.
  local program
  for program in services.exe devcon_32.exe; do
    grep -qF "[Software\\\\Wine\\\\AppDefaults\\\\$program\\\\DllOverrides]" "$WINEPREFIX/user.reg" && continue
    "$WINE_LOADER" reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\DllOverrides" \
      /v setupapi /d builtin /f >/dev/null 2>&1 || return 1
  done
  # On 64-bit Windows the panels must be the 64-bit ones in system32 (the tests
  # put them there): syswow64 keeps Wine's own, which record nothing, so a
  # route that reached a 32-bit panel shows up as a panel that never opened.
  [ "$WINE_PREFIX_ARCH" = win32 ] || return 0
  _w32_replace "$pieces/test_applet.cpl" "$system/telephon.cpl" &&
    _w32_replace "$pieces/test_applet.cpl" "$system/modem.cpl"
}

wine32_session_stop() { wine_session_stop; }
