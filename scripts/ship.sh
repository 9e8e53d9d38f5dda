#!/usr/bin/env bash
# Leaves everything that ships in one folder (default out/HalvoranInstallWinApp/):
# the i686 program and its 32-bit companions, and the 64-bit companions of the
# x86_64 build; and beside it the setup program HalvoranSetup.exe (i686) and
# the Windows Installer package HalvoranSetup.msi of that folder and that setup
# program (the one file of it, which the package installs too). Both builds
# must be there (scripts/build.sh and scripts/test.sh make them).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
out=${1:-out/HalvoranInstallWinApp}
rm -rf "$out"
mkdir -p "$out"
cmake --install build/i686 --prefix "$out" --component ship_i686 >/dev/null
cmake --install build/x86_64 --prefix "$out" --component ship_x86_64 >/dev/null
beside=$(dirname "$out")
cmake --install build/i686 --prefix "$beside" --component setup_i686 >/dev/null
bash installer/make-package.sh build/i686/installer/product.wxi "$out" \
  "$beside/HalvoranSetup.exe" "$beside/HalvoranSetup.msi"
