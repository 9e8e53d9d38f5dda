#!/usr/bin/env bash
# Builds the product's Windows Installer package from a folder laid out as the
# shipped one (the build command gives it out/HalvoranInstallWinApp; the tests
# give it the same files of the x86_64 build) and the setup program, which the
# package installs beside them.
#   make-package.sh PRODUCT_WXI FOLDER SETUP_EXE OUTPUT.msi [ROWS.sql...]
# PRODUCT_WXI is the product.wxi the build generated. The components are 32-bit
# (-a x86), as the program is. ROWS.sql: further statements, applied after
# package-rows.sql in the same way (the tests make package variants so).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -ge 4 ] || { echo "usage: make-package.sh PRODUCT_WXI FOLDER SETUP_EXE OUTPUT.msi [ROWS.sql...]" >&2; exit 2; }
wxi_dir=$(cd "$(dirname "$1")" && pwd)
folder=$2
setup=$(realpath --relative-to="$folder" "$3")
mkdir -p "$(dirname "$4")"
out="$(cd "$(dirname "$4")" && pwd)/$(basename "$4")"
shift 4

work="$out.partial"
rm -f "$work"
# wixl takes the files' sources relative to its current directory only.
(cd "$folder" && wixl -a x86 -I "$wxi_dir" -D SetupProgram="$setup" -o "$work" "$here/HalvoranSetup.wxs")
for rows in "$here/package-rows.sql" "$@"; do
  while IFS= read -r statement; do
    case $statement in ''|--*) continue ;; esac
    msibuild "$work" -q "$statement"
  done < "$rows"
done
mv -f "$work" "$out"
