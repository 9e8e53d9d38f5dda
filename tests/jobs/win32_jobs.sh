#!/usr/bin/env bash
# The shipped i686 program on 32-bit Windows (the emulated 32-bit Wine's win32
# prefix), where no 64-bit test executable can run: each row runs the program
# from a copy of the shipped folder through box_driver.exe (an i686 test piece
# that answers its boxes and reports them), and checks the files it leaves. The
# i686 fakes and test panels are the prefix's own system files. Not under
# WOW64, the program takes the 32-bit Windows panel routes and never looks for
# release 2.0.
#   win32_jobs.sh SHIPPED_DIR I686_PIECES SCRATCH
set -u
shipped=$1 pieces=$2 scratch=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../harness/wine32-session.sh"
trap wine32_session_stop EXIT
wine32_session_start win32 "$pieces" || { echo "win32_jobs: the emulated 32-bit Windows is not ready" >&2; exit 1; }

failures=0
check() {  # description, command...
  local what=$1; shift
  if "$@"; then echo "ok: $row: $what"; else echo "FAILED: $row: $what" >&2; failures=$((failures + 1)); fi
}
has() { grep -qF -- "$2" "$dir/$1" 2>/dev/null; }
lacks() { ! has "$@"; }
reg_set() { "$WINE_LOADER" reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1; }

# A fresh copy of the shipped folder; the panel "adds" the modem unless told otherwise.
row() {  # name, Windows version reported to the program
  row=$1 dir=$scratch/$1
  rm -rf "$dir" && mkdir -p "$dir" && cp "$shipped"/* "$pieces/box_driver.exe" "$dir/"
  printf 'count=2\nautoclose_ms=100\nappend_file=fake_devices.txt\nappend_line=modem Zorvane PPP Data Modem\n' \
    >"$dir/test_applet.ini"
  reg_set 'HKCU\Software\Wine\AppDefaults\HalvoranInstallWinApp.exe' Version "$2"
}
# Runs the program with a switch, answering its boxes (o/c letters, "-" none);
# checks the exit code and the boxes it showed (one argument each).
run() {  # answers, switch, exit code, box texts...
  local answers=$1 switch=$2 code=$3; shift 3
  (cd "$dir" && "$WINE_LOADER" box_driver.exe HalvoranInstallWinApp "$answers" \
     HalvoranInstallWinApp.exe $switch >seen.txt 2>/dev/null)
  local expected=""; for box in "$@"; do expected+="box $box"$'\n'; done
  check "boxes: ${*:-none}; exit code $code" test "$(tr -d '\r' <"$dir/seen.txt")" = "${expected}exit $code"
}
installed() {
  check "marker" test -f "$dir/tmp.txt"
  # The XP record layouts of the i686 build: dwSize 2884 (0xb44) and 1060 (0x424).
  check "RASENTRYA of 2884 bytes" has fake_calls.log 'entry="Halvoran 3.2" size=2884 record=hex:440b0000'
  check "RASDIALPARAMSA of 1060 bytes" has fake_calls.log 'params=hex:24040000'
  check "entry in the phonebook" has fake_phonebook.txt 'entry="Halvoran 3.2"'
}
rolled_back() {
  check "no marker" test ! -f "$dir/tmp.txt"
  check "INF unstaged" test ! -f "$dir/fake_infstore/Zorvane.inf"
  check "phonebook empty" lacks fake_phonebook.txt 'entry='
}

row install-win7 win7
run - -i 0
check "telephon.cpl in this process" has test_applet.log "telephon.cpl CPL_INIT"
installed
: >"$dir/fake_calls.log"; rm "$dir/tmp.txt"
run - -i 0
check "second run: INF and modem there, entry written again" has fake_calls.log 'RasSetEntryDialParamsA'
check "second run: marker" test -f "$dir/tmp.txt"
run - -u 0
check "uninstall: entry deleted" lacks fake_phonebook.txt 'entry='
check "uninstall: INF removal" has fake_calls.log 'SetupUninstallOEMInfA'
check "uninstall: INF unstaged" test ! -f "$dir/fake_infstore/Zorvane.inf"
check "uninstall: the 32-bit device console listed the modems" test -f "$dir/devcon_modem.txt"

row install-winxp winxp
run - -i 0
check "modem.cpl by rundll32" has test_applet.log "modem.cpl CPL_INIT"
installed

row release-2.0 win7
reg_set 'HKLM\SOFTWARE\Wow6432Node\Tervaloxen\Brand' APP1 'Zorvane Halvoran 2.0'
reg_set 'HKLM\SOFTWARE\Wow6432Node\Tervaloxen' InstallationDir 'C:\windows'
run - -i 0
check "release 2.0 left alone" has fake_phonebook.txt 'entry="Halvoran 3.2"'
"$WINE_LOADER" reg delete 'HKLM\SOFTWARE\Wow6432Node\Tervaloxen' /f >/dev/null 2>&1

row box-B win7
rm "$dir/Zorvane.inf"
run o -i 1603 "Failed to install driver file. Setup will exit."
rolled_back

row box-C win7
printf 'count=2\nautoclose_ms=100\n' >"$dir/test_applet.ini"
run o -i 1603 "Failed to install modem. Setup will exit."
check "INF removal" has fake_calls.log 'SetupUninstallOEMInfA'
rolled_back

row box-D win7
printf 'RasSetEntryPropertiesA 5\n' >"$dir/fake_script.txt"
run o -i 1603 "Failed to configure dial up networking connection. Setup will exit."
check "INF removal" has fake_calls.log 'SetupUninstallOEMInfA'
rolled_back

row version win7
run o -v 0 "Build ID: 4232"
row no-switch win7
run - "" 0
check "no marker" test ! -f "$dir/tmp.txt"

row launch win7
run - -l 0
check "RASDIALDLG of 36 bytes" has fake_calls.log 'entry="Halvoran 3.2" phoneNumber=null info=hex:24000000'

"$WINE_LOADER" reg delete 'HKCU\Software\Wine\AppDefaults\HalvoranInstallWinApp.exe' /f >/dev/null 2>&1
exit $((failures > 0))
