#!/usr/bin/env bash
# The build command: installs the tool-chains, builds the product, leaves
# everything that ships in one folder, out/HalvoranInstallWinApp/, and packages
# that folder for Windows Installer as out/HalvoranSetup.msi, beside the setup
# program out/HalvoranSetup.exe that installs it. With the integrator's
# certificate (HALVORAN_SIGN_PKCS12 and HALVORAN_SIGN_PASSWORD_FILE, see
# scripts/sign.sh) every program, the setup program and the package are signed.
#   scripts/build.sh          build
#   scripts/build.sh --run -i run the built program under Wine with that switch
#                             (the x86_64 build, beside the shipped files)
#   scripts/build.sh --run-i686 -i
#                             run the shipped i686 program from the shipped folder
#                             on 64-bit Windows in the emulated 32-bit Wine
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

bash scripts/setup.sh

. scripts/configure.sh
configure_build i686 OFF OFF
build i686
# The 64-bit companions (control-panel host, device console) come from the x86_64
# build, configured as scripts/test.sh configures it.
configure_build x86_64 ON OFF
build x86_64

out=out/HalvoranInstallWinApp
bash scripts/ship.sh "$out"
echo "build: shipped folder $out:"
ls -l "$out"
echo "build: product package out/HalvoranSetup.msi ($(stat -c %s out/HalvoranSetup.msi) bytes)"
echo "build: setup program out/HalvoranSetup.exe ($(stat -c %s out/HalvoranSetup.exe) bytes)"

if [ "${1:-}" = "--run" ]; then
  shift
  . tests/harness/wine-session.sh
  trap wine_session_stop EXIT
  wine_session_start "$top/build/x86_64/wineprefix"
  cd "$out"
  # The x86_64 build of the same program, from the shipped folder (--run-i686
  # runs the shipped program itself, emulated).
  cp "$top/build/x86_64/app/HalvoranInstallWinApp.exe" ./HalvoranInstallWinApp64.exe
  "$WINE_LOADER" ./HalvoranInstallWinApp64.exe "$@"
fi

if [ "${1:-}" = "--run-i686" ]; then
  shift
  . tests/harness/wine32-session.sh
  trap wine32_session_stop EXIT
  wine32_session_start win64
  cd "$out"
  "$WINE_LOADER" ./HalvoranInstallWinApp.exe "$@"
fi
