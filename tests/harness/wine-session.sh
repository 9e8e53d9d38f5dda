# Sourced by scripts that run many Windows programs in a row (the test command,
# the demo, the screenshot script). It gives them one Wine prefix of the project's
# own, one X display and one persistent wineserver, and stops exactly what it
# started, by process id.
#
#   wine_session_start PREFIX   sets WINEPREFIX, DISPLAY and friends, starts what is missing
#   wine_session_stop           ends the server and display that the start launched

WINE_LOADER=${WINE_LOADER:-/usr/lib/wine/wine64}
WINE_SERVER=${WINE_SERVER:-/usr/lib/wine/wineserver64}
[ -x "$WINE_SERVER" ] || WINE_SERVER=/usr/lib/wine/wineserver

_ws_xvfb_pid=""
_ws_server_pid=""

wine_env() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  # Never stop to offer the .NET or HTML engines (that dialog would hang a headless
  # run), never write desktop menu entries outside the prefix, and let a crashing
  # program end at once instead of waiting in the debugger.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
  # A prefix of 64-bit Windows unless the caller asks for 32-bit Windows (win32).
  export WINEARCH=${WINE_PREFIX_ARCH:-win64}
}

# Creates the prefix once; several runners may race for it, so it is made under a lock.
wine_prefix_ensure() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$WINE_LOADER" wineboot -i >/dev/null 2>&1 || true
      "$WINE_SERVER" -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Starts Xvfb on a free display number when none is set.
wine_display_ensure() {
  [ -n "${DISPLAY:-}" ] && return 0
  local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  _ws_xvfb_pid=$!
  local n; read -r -t 20 n <"$fifo" || n=""
  rm -f "$fifo"
  if [ -z "$n" ]; then echo "wine-session: Xvfb did not start" >&2; return 1; fi
  export DISPLAY=":$n"
}

# There is no window manager on the Xvfb display. Wine's windows are then its
# own to frame and hide ("Managed" N): a managed window waits two seconds for a
# window manager each time it is hidden, on every dialog and message box closed.
wine_unmanaged_windows() {
  "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
}

wine_session_start() {
  wine_env "$1"
  wine_restore_system_files
  wine_display_ensure
  wine_prefix_ensure
  # A persistent server: each program start then costs milliseconds, not seconds.
  "$WINE_SERVER" -p >/dev/null 2>&1 &
  _ws_server_pid=$!
  export HALVORAN_WINE_SESSION=1
  wine_unmanaged_windows
  # Pay the first start of the prefix here, not in a test's time-out.
  "$WINE_LOADER" cmd.exe /c exit 0 >/dev/null 2>&1 || true
  wine_prefer_native_system_libraries
}

# Wine prefers its own rasapi32 and setupapi even to a file of that name in the
# system folder; the tests put fake ones there for a while. "native,builtin"
# takes the file when it is not Wine's own. The programs that import the setup
# library and need the real one keep Wine's built-in library by a per-program
# override: the device console and the test programs that make devices.
wine_prefer_native_system_libraries() {
  local dll exe
  for dll in rasapi32 rasdlg setupapi; do
    grep -q "^\"$dll\"=\"native,builtin\"" "$WINEPREFIX/user.reg" 2>/dev/null && continue
    "$WINE_LOADER" reg add 'HKCU\Software\Wine\DllOverrides' /v "$dll" /d native,builtin /f \
      >/dev/null 2>&1 || true
  done
  for exe in devcon_32.exe devcon_64.exe jobs_tests.exe modem_device_tests.exe tools_tests.exe \
             demo_modem.exe; do
    "$WINE_LOADER" reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\DllOverrides" /v setupapi /d builtin /f \
      >/dev/null 2>&1 || true
  done
}

# A test puts fake system libraries in the prefix's system folders for a while
# (tests/support/system_file.h) and renames Wine's own to NAME.halvoran-saved.
# A run that was killed leaves them so: put Wine's own back before anything starts.
wine_restore_system_files() {
  local saved dir
  for dir in "$WINEPREFIX/drive_c/windows/system32" "$WINEPREFIX/drive_c/windows/syswow64"; do
    [ -d "$dir" ] || continue
    rm -f "$dir"/*.halvoran-leaving* "$dir"/*.halvoran-arriving
    for saved in "$dir"/*.halvoran-saved; do
      [ -e "$saved" ] && mv -f "$saved" "${saved%.halvoran-saved}"
    done
  done
  return 0
}

wine_session_stop() {
  if [ -n "$_ws_server_pid" ]; then
    # Ends every process of this prefix, then the server itself.
    "$WINE_SERVER" -k >/dev/null 2>&1 || true
    kill "$_ws_server_pid" 2>/dev/null || true
    wait "$_ws_server_pid" 2>/dev/null || true
    _ws_server_pid=""
  fi
  if [ -n "$_ws_xvfb_pid" ]; then
    kill "$_ws_xvfb_pid" 2>/dev/null || true
    wait "$_ws_xvfb_pid" 2>/dev/null || true
    _ws_xvfb_pid=""
    unset DISPLAY  # that display is gone; a later session starts its own
  fi
  unset HALVORAN_WINE_SESSION
}
