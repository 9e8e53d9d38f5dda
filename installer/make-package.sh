#!/usr/bin/env bash
# Builds the product's Windows Installer package from a folder laid out as the
# shipped one (the build command gives it out/HalvoranInstallWinApp; the tests
# give it the same files of the x86_64 build).
#   make-package.sh PRODUCT_WXI FOLDER OUTPUT.msi
# PRODUCT_WXI is the product.wxi the build generated. The components are 32-bit
# (-a x86), as the program is.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -eq 3 ] || { echo "usage: make-package.sh PRODUCT_WXI FOLDER OUTPUT.msi" >&2; exit 2; }
wxi_dir=$(cd "$(dirname "$1")" && pwd)
folder=$2
mkdir -p "$(dirname "$3")"
out="$(cd "$(dirname "$3")" && pwd)/$(basename "$3")"

work="$out.partial"
rm -f "$work"
# wixl takes the files' sources relative to its current directory only.
(cd "$folder" && wixl -a x86 -I "$wxi_dir" -o "$work" "$here/HalvoranSetup.wxs")
while IFS= read -r statement; do
  case $statement in ''|--*) continue ;; esac
  msibuild "$work" -q "$statement"
done < "$here/package-rows.sql"
mv -f "$work" "$out"
