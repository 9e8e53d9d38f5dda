#!/usr/bin/env bash
# Leaves everything that ships in one folder (default out/HalvoranInstallWinApp/):
# the i686 program and its 32-bit companions, and the 64-bit companions of the
# x86_64 build; and beside it the setup program HalvoranSetup.exe (i686) and
# the Windows Installer package HalvoranSetup.msi of that folder and that setup
# program (the one file of it, which the package installs too). Both builds
# must be there (scripts/build.sh and scripts/test.sh make them).
#
# With the integrator's certificate (scripts/sign.sh) the programs are signed
# before they are packed, so that the installed copies carry the signatures
# too, and then the package. Everything is made in a staging folder beside the
# shipped one and moved there only when all of it succeeded: after a failure
# none of the three is left, neither half-signed nor from an earlier run.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
out=${1:-out/HalvoranInstallWinApp}
beside=$(dirname "$out")
wxi=build/i686/installer/product.wxi
# The signatures' description (the name of what was signed): the product's name.
product=$(sed -n 's/.*ProductName = "\(.*\)".*/\1/p' "$wxi")

mkdir -p "$beside"
rm -rf "$out" "$beside/HalvoranSetup.exe" "$beside/HalvoranSetup.msi"
stage=$(mktemp -d "$beside/.ship.XXXXXX")
trap 'rm -rf "$stage"' EXIT
. scripts/sign.sh
sign_begin "$stage/signing" || exit 1

folder=$stage/$(basename "$out")
cmake --install build/i686 --prefix "$folder" --component ship_i686 >/dev/null
cmake --install build/x86_64 --prefix "$folder" --component ship_x86_64 >/dev/null
cmake --install build/i686 --prefix "$stage" --component setup_i686 >/dev/null
mapfile -t programs < <(find "$folder" -maxdepth 1 -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)
sign_files "$product" "${programs[@]}" "$stage/HalvoranSetup.exe" || exit 1
bash installer/make-package.sh "$wxi" "$folder" \
  "$stage/HalvoranSetup.exe" "$stage/HalvoranSetup.msi"
sign_files "$product" "$stage/HalvoranSetup.msi" || exit 1

mv "$folder" "$out" && mv "$stage/HalvoranSetup.exe" "$stage/HalvoranSetup.msi" "$beside/" ||
  { rm -rf "$out" "$beside/HalvoranSetup.exe" "$beside/HalvoranSetup.msi"; exit 1; }
