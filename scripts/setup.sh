#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Safe to run again:
# it only calls apt when something is missing.
#
# Deliberately absent: the i386 architecture and the 32-bit Wine loader. These
# machines cannot execute 32-bit Linux programs, and once wine32 is installed
# /usr/bin/wine prefers it and fails; the harness calls the 64-bit loader directly.
# The 32-bit Wine that runs the shipped i686 program is unpacked into the build
# tree and emulated instead (scripts/setup-wine32.sh, run by the sessions that need it).
set -euo pipefail

packages=(
  g++-mingw-w64-i686 g++-mingw-w64-x86-64   # the two cross tool-chains
  wine wine64                               # runs the x86_64 build and its tests
  xvfb xauth                                # a display for dialogs and message boxes
  cmake make doctest-dev                    # build system and test framework
  python3                                   # draws the pictures, reads PE files in checks
  wixl msitools                             # builds the Windows Installer package
  osslsigncode openssl                      # Authenticode signatures on what ships
  locales                                   # a Japanese locale: code page 932 under Wine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_=""; [ "$(id -u)" = 0 ] || sudo_="sudo"
  $sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: warning: the i386 architecture is enabled; wine32 must not be installed" >&2
fi
