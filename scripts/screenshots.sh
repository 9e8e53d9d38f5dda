#!/usr/bin/env bash
# Screenshots of what a user sees: runs the program under Wine on an Xvfb
# display in each mode and saves PNGs into out/screenshots/:
#   install.png, uninstall.png, launch.png  the progress dialog of that mode
#   version.png                             the build box of -v
# A run without a switch closes its dialog at once, so it has no picture.
#
# The runs use the test build with scripted sequences (the same dialog, the
# same resources and the shipped instruction texts): its job shows one
# status line and then holds the dialog open until the picture is taken.
#
# scripts/screenshots.sh --i686 takes them of the shipped program itself, on
# 64-bit Windows in the emulated 32-bit Wine: install.png while its real job
# waits for the modem panel (a test panel that stays open), and version.png.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

bash scripts/setup.sh
# Screen capture (xwd) and conversion to PNG (ImageMagick): only this script needs them.
need=()
command -v xwd >/dev/null || need+=(x11-apps)
command -v xwininfo >/dev/null || need+=(x11-utils)
[ -x /usr/bin/convert ] || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
  sudo_=""; [ "$(id -u)" = 0 ] || sudo_="sudo"
  $sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
convert=/usr/bin/convert

i686=""; [ "${1:-}" = "--i686" ] && i686=1
. scripts/configure.sh
configure_build x86_64 ON OFF
build x86_64 --target HalvoranInstallWinApp_scripted
program=build/x86_64/tests/run/bin/scripted/HalvoranInstallWinApp.exe

out=out/screenshots
rm -rf "$out"
mkdir -p "$out/work"

if [ -n "$i686" ]; then
  bash scripts/build.sh >/dev/null
  configure_build i686 OFF ON   # the i686 fakes
  build i686 >/dev/null
  build x86_64 --target test_applet >/dev/null
  program=out/HalvoranInstallWinApp/HalvoranInstallWinApp.exe
  . tests/harness/wine32-session.sh
  trap wine32_session_stop EXIT
  wine32_session_start win64 "$top/build/i686/tests/run/bin"
else
  . tests/harness/wine-session.sh
  trap wine_session_stop EXIT
  wine_session_start "$top/build/x86_64/wineprefix"
fi

# The X window of a top-level window with this caption; empty until it is shown.
window_id() {
  xwininfo -root -tree 2>/dev/null | grep -F "\"$1\": (" | awk '{print $1}' | head -n 1
}

wait_for_window() {  # caption
  local id=""
  for _ in $(seq 1 200); do
    id=$(window_id "$1")
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

capture() {  # caption, png
  local id; id=$(wait_for_window "$1")
  if [ -z "$id" ]; then echo "screenshots: no window \"$1\"" >&2; return 1; fi
  sleep 0.7  # let it paint
  xwd -silent -id "$id" | "$convert" xwd:- "$2"
  echo "screenshots: $2"
}

shoot() {  # name, switch, caption, status line
  local dir="$out/work/$1"
  mkdir -p "$dir"
  cp "$program" "$dir/HalvoranInstallWinApp.exe"
  cp dist/ModemInstallWinAppText.txt dist/ModemUninstallWinAppText.txt "$dir/"
  printf 'line %s\\r\\n\nwait release\nresult 1\n' "$4" >"$dir/scripted_sequences.txt"
  (cd "$dir" && exec "$WINE_LOADER" HalvoranInstallWinApp.exe "$2") &
  local pid=$!
  capture "$3" "$out/$1.png" || true
  touch "$dir/release"
  wait "$pid" || true
}

# The real install job of the shipped program, held by a modem panel that stays open.
shoot_waiting_install() {
  local dir="$out/work/install"
  mkdir -p "$dir"
  cp out/HalvoranInstallWinApp/* "$dir/"
  cp build/x86_64/tests/run/bin/test_applet.cpl "$WINEPREFIX/drive_c/windows/system32/telephon.cpl"
  (cd "$dir" && exec "$WINE_LOADER" HalvoranInstallWinApp.exe -i) &
  local pid=$!
  wait_for_window "Halvoran Test Applet" >/dev/null || true
  capture "Installing Zorvane PPP Modem and Internet Connection" "$out/install.png" || true
  "$WINE_SERVER" -k || true   # ends the program and the panel
  wait "$pid" 2>/dev/null || true
}

if [ -n "$i686" ]; then
  shoot_waiting_install
else
  shoot install -i "Installing Zorvane PPP Modem and Internet Connection" "Checking for previous installation ..."
  shoot uninstall -u "Installing Zorvane PPP Modem and Internet Connection" "Removing modem devices ..."
  shoot launch -l "Launching Zorvane Halvoran" "Starting the web accelerator ..."
fi

# The build box comes before the dialog; the program is ended once it is taken.
dir="$out/work/version"
mkdir -p "$dir"
cp "$program" "$dir/HalvoranInstallWinApp.exe"
(cd "$dir" && exec "$WINE_LOADER" HalvoranInstallWinApp.exe -v) &
pid=$!
capture "HalvoranInstallWinApp" "$out/version.png" || true
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true

rm -rf "$out/work"
ls -l "$out"
