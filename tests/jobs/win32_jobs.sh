#!/usr/bin/env bash
# The shipped i686 program on 32-bit Windows (the emulated 32-bit Wine's win32
# prefix), where no 64-bit test executable can run: each row runs the program
# from a copy of the shipped folder, beside nothing but its companions (the
# i686 fakes and test panels are the prefix's own system files), and checks the
# files it leaves. Not under WOW64, it takes the 32-bit Windows panel routes.
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

# row: name, Windows version reported to the program, switch, panel expected in the log
while read -r row version switch panel; do
  dir=$scratch/$row
  rm -rf "$dir" && mkdir -p "$dir" && cp "$shipped"/* "$dir/"
  printf 'count=2\nautoclose_ms=100\nappend_file=fake_devices.txt\nappend_line=modem Zorvane PPP Data Modem\n' \
    >"$dir/test_applet.ini"
  "$WINE_LOADER" reg add 'HKCU\Software\Wine\AppDefaults\HalvoranInstallWinApp.exe' /v Version /d "$version" /f >/dev/null 2>&1
  (cd "$dir" && "$WINE_LOADER" HalvoranInstallWinApp.exe "$switch" >/dev/null 2>&1)
  check "exit code 0" test $? = 0
  case "$switch" in
    -i)
      check "$panel opened in this process or by rundll32" has test_applet.log "$panel CPL_INIT"
      check "marker" test -f "$dir/tmp.txt"
      # The XP record layouts of the i686 build: dwSize 2884 (0xb44) and 1060 (0x424).
      check "RASENTRYA of 2884 bytes" has fake_calls.log 'entry="Halvoran 3.2" size=2884 record=hex:440b0000'
      check "RASDIALPARAMSA of 1060 bytes" has fake_calls.log 'params=hex:24040000'
      check "entry in the phonebook" has fake_phonebook.txt 'entry="Halvoran 3.2"' ;;
    -l)
      check "RASDIALDLG of 36 bytes" has fake_calls.log 'entry="Halvoran 3.2" phoneNumber=null info=hex:24000000' ;;
  esac
done <<'ROWS'
install-win7 win7 -i telephon.cpl
install-winxp winxp -i modem.cpl
launch win7 -l -
ROWS
"$WINE_LOADER" reg delete 'HKCU\Software\Wine\AppDefaults\HalvoranInstallWinApp.exe' /f >/dev/null 2>&1
exit $((failures > 0))
