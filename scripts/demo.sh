#!/usr/bin/env bash
# The demo: the real program (x86_64 build) runs its three jobs under Wine
# against the simulated dial-up stack of the tests, and after each job the
# script shows what it left behind.
#   - fake rasapi32.dll / rasdlg.dll, put in the prefix's system folder for the
#     demo (the program loads them from there; Wine's own come back at the end),
#     keep the phonebook and the modems in files of the demo folder (build/demo);
#   - the modem panel is a test control-panel file that "adds" the modem and
#     closes itself after a moment;
#   - Wine's own setup library stages the INF, and the shipped device console
#     removes the modem device at uninstall.
# With DISPLAY set to a real X display you watch the windows; otherwise they
# run on a private Xvfb display.
#   scripts/demo.sh            the three jobs in a folder of their own
#   scripts/demo.sh --package  the product package: the setup program installs it
#                              at reduced UI (the program runs -i from Program
#                              Files; a silent install is refused) and Wine's
#                              msiexec removes it (-u); the package is the x86_64 build
#                              packaged as the shipped one, and the fake
#                              remote-access libraries stand in for the
#                              prefix's own system libraries meanwhile
#   scripts/demo.sh --i686     the shipped folder itself (the i686 program and its
#                              companions) on 64-bit Windows in the emulated 32-bit
#                              Wine: the program runs under WOW64, the i686 fakes
#                              are the prefix's 32-bit system libraries
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
i686=""; [ "${1:-}" = "--i686" ] && i686=1
bash scripts/build.sh >/dev/null
. scripts/configure.sh
build x86_64 >/dev/null   # fakes and demo helpers

if [ -n "$i686" ]; then
  configure_build i686 OFF ON   # the i686 fakes
  build i686 >/dev/null
  . tests/harness/wine32-session.sh
  trap wine32_session_stop EXIT
  wine32_session_start win64 "$top/build/i686/tests/run/bin"
  view=/reg:32   # the records as the 32-bit program sees them
else
  . tests/harness/wine-session.sh
  trap wine_session_stop EXIT
  wine_session_start "$top/build/x86_64/wineprefix"
  view=/reg:64
fi
run() { "$WINE_LOADER" "$@"; }

bin=build/x86_64/tests/run/bin
sys32="$WINEPREFIX/drive_c/windows/system32"

# The panel (test_applet.cpl as the system's telephon.cpl) "adds" the modem,
# slowly enough to be seen, in the program's current directory.
panel_settings() {
  printf 'count=2\nautoclose_ms=1500\nappend_file=fake_devices.txt\nappend_line=modem Zorvane PPP Data Modem\n' \
    > "$1/test_applet.ini"
}

folder="$WINEPREFIX/drive_c/Program Files (x86)/Halvoran"   # [ProgramFilesFolder]Halvoran
show_package() {
  echo "  msiexec exit code: $1"
  echo "  install folder: $(ls "$folder" 2>/dev/null | tr '\n' ' ')"
  echo "  tmp.txt: $([ -f "$folder/tmp.txt" ] && echo present || echo absent)"
  echo "  phonebook: $(grep -o 'entry="[^"]*"' "$folder/fake_phonebook.txt" 2>/dev/null | tr '\n' ' ' || true)"
  echo "  staged INF: $(ls "$WINEPREFIX/drive_c/windows/inf" | grep -i 'zorvane\.inf' || echo none)"
  echo "  installed programs: $(run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:32 2>/dev/null \
    | grep -E 'DisplayName|DisplayVersion|Publisher' | tr -s ' ' | tr '\r\n' '  ' || true)"
}

# The fake remote-access libraries in place of Wine's own, which are renamed
# away, not written over (a running process may have them mapped);
# wine_restore_system_files puts them back.
plant_fake_libraries() {
  local dll
  for dll in rasapi32 rasdlg; do
    mv -f "$sys32/$dll.dll" "$sys32/$dll.dll.halvoran-saved"
    cp "$bin/fakes/$dll.dll" "$sys32/$dll.dll"
  done
}

# The prefix's own remote-access libraries back, and the demo's files gone.
package_demo_end() {
  wine_restore_system_files
  rm -f "$sys32/telephon.cpl" "$folder"/fake_* "$folder"/test_applet.*
  rmdir "$folder" 2>/dev/null || true
  wine_session_stop
}

package_demo() {
  local msi setup rc
  msi='Z:'$(realpath build/x86_64/tests/run/msi/HalvoranSetup.msi | tr / '\\')
  setup='Z:'$(realpath build/x86_64/tests/run/msi/HalvoranSetup.exe | tr / '\\')
  trap package_demo_end EXIT
  plant_fake_libraries
  cp "$bin/test_applet.cpl" "$sys32/telephon.cpl"
  mkdir -p "$folder"
  panel_settings "$folder"
  echo "== HalvoranSetup.exe /qr (msiexec /i at reduced UI; the program runs -i from the install"
  echo "   folder; the panel 'adds' the modem)"
  set +e; run "$setup" /qr; rc=$?; set -e
  show_package $rc
  echo "== msiexec /x (the program runs -u, then the files go)"
  set +e; run msiexec /x "$msi" /qn; rc=$?; set -e
  show_package $rc
}
if [ "${1:-}" = --package ]; then package_demo; exit 0; fi

demo=build/demo
rm -rf "$demo"; mkdir -p "$demo/accel"
if [ -n "$i686" ]; then
  cp out/HalvoranInstallWinApp/* "$bin/demo_modem.exe" "$demo/"
  # Wine's own setup library for the program: the fake one lies in syswow64 too.
  run reg add 'HKCU\Software\Wine\AppDefaults\HalvoranInstallWinApp.exe\DllOverrides' /v setupapi /d builtin /f >/dev/null
else
  # The shipped texts and INF; the companions of the x86_64 build.
  cp out/HalvoranInstallWinApp/Modem*.txt out/HalvoranInstallWinApp/Zorvane.inf "$demo/"
  cp "$bin/grep.exe" "$bin/CPL64.exe" "$bin/devcon_64.exe" "$demo/"
  cp "$demo/devcon_64.exe" "$demo/devcon_32.exe"      # this 64-bit build runs the 32-bit name
  cp build/x86_64/app/HalvoranInstallWinApp.exe "$bin/demo_modem.exe" "$demo/"
fi
cp "$bin/job_runner.exe" "$demo/accel/tervgui.exe"  # the accelerator's front end: notes its start
panel_settings "$demo"
cp "$bin/test_applet.cpl" "$sys32/telephon.cpl"
trap 'wine_restore_system_files; wine_session_stop' EXIT
plant_fake_libraries
run reg add 'HKCU\Software\Wine\AppDefaults\HalvoranInstallWinApp.exe' /v Version /d win7 /f >/dev/null
run reg add 'HKCU\Software\Microsoft\RAS AutoDial\Default' /v DefaultInternet /d 'Halvoran 3.2' /f >/dev/null
run reg add 'HKLM\SOFTWARE\Tervaloxen\Brand' /v APP1 /d 'Zorvane Halvoran 3 Web Accelerator' /f $view >/dev/null
run reg add 'HKLM\SOFTWARE\Tervaloxen' /v InstallationDir /d 'Z:'"$(realpath "$demo/accel" | tr / '\\')" /f $view >/dev/null

show() {
  echo "  exit code: $1"
  echo "  tmp.txt: $([ -f "$demo/tmp.txt" ] && echo "present, $(stat -c %s "$demo/tmp.txt") bytes" || echo absent)"
  echo "  phonebook: $(grep -o 'entry="[^"]*"' "$demo/fake_phonebook.txt" 2>/dev/null | tr '\n' ' ' || true)"
  echo "  remote-access devices: $(tr '\n' ';' < "$demo/fake_devices.txt" 2>/dev/null || true)"
  echo "  staged INF: $(ls "$WINEPREFIX/drive_c/windows/inf" | grep -i 'zorvane\.inf' || echo none)"
  echo "  AutoDial DefaultInternet: $(run reg query 'HKCU\Software\Microsoft\RAS AutoDial\Default' /v DefaultInternet 2>/dev/null | grep -o 'Halvoran.*' || echo cleared)"
  echo "  modem devices (device console): $(cd "$demo" && run devcon_64.exe listclass MODEM 2>/dev/null | grep -i zorvane | tr -s ' ' | tr '\r\n' '  ' || true)"
  echo "  front end started: $([ -f "$demo/frontend.log" ] && echo yes || echo no)"
  echo "  remote-access calls: $(grep -oE '^(rasapi32|rasdlg) Ras[A-Za-z]+' "$demo/fake_calls.log" 2>/dev/null | awk '{print $2}' | tr '\n' ' ' || true)"
  : > "$demo/fake_calls.log"
}

cd "$demo"
echo "== install (-i): the panel opens and 'adds' the modem, then closes"
set +e; run HalvoranInstallWinApp.exe -i; rc=$?; set -e
run demo_modem.exe add || true   # the device the panel would have installed
cd "$top"; show $rc; cd "$demo"
echo "== launch (-l): front end and dial dialog"
set +e; run HalvoranInstallWinApp.exe -l; rc=$?; set -e
cd "$top"; show $rc; cd "$demo"
echo "== uninstall (-u)"
set +e; run HalvoranInstallWinApp.exe -u; rc=$?; set -e
cd "$top"; show $rc
run reg delete 'HKLM\SOFTWARE\Tervaloxen' /f $view >/dev/null 2>&1 || true
run reg delete 'HKCU\Software\Wine\AppDefaults\HalvoranInstallWinApp.exe' /f >/dev/null 2>&1 || true
rm -f "$sys32/telephon.cpl"
