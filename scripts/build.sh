#!/usr/bin/env bash
# The build command: installs the tool-chains, builds the product, leaves
# everything that ships in one folder, out/HalvoranInstallWinApp/, and packages
# that folder for Windows Installer as out/HalvoranSetup.msi.
#   scripts/build.sh          build
#   scripts/build.sh --run -i run the built program under Wine with that switch
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
configure() {  # arch, tests on/off
  cmake -S . -B "build/$1" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$1.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DHALVORAN_TESTS="$2" >/dev/null
}
configure i686 OFF
cmake --build build/i686 -j "$jobs"
# The 64-bit companions (control-panel host, device console) come from the x86_64 build.
[ -f build/x86_64/CMakeCache.txt ] || configure x86_64 ON
cmake --build build/x86_64 -j "$jobs"

out=out/HalvoranInstallWinApp
rm -rf "$out"
mkdir -p "$out"
cmake --install build/i686 --prefix "$out" --component ship_i686 >/dev/null
cmake --install build/x86_64 --prefix "$out" --component ship_x86_64 >/dev/null
echo "build: shipped folder $out:"
ls -l "$out"
bash installer/make-package.sh build/i686/installer/product.wxi "$out" out/HalvoranSetup.msi
echo "build: product package out/HalvoranSetup.msi ($(stat -c %s out/HalvoranSetup.msi) bytes)"

if [ "${1:-}" = "--run" ]; then
  shift
  . tests/harness/wine-session.sh
  trap wine_session_stop EXIT
  wine_session_start "$top/build/x86_64/wineprefix"
  cd "$out"
  # Note: 32-bit Windows programs cannot run on these machines; this runs the
  # x86_64 build of the same program from the shipped folder.
  cp "$top/build/x86_64/app/HalvoranInstallWinApp.exe" ./HalvoranInstallWinApp64.exe
  "$WINE_LOADER" ./HalvoranInstallWinApp64.exe "$@"
fi
