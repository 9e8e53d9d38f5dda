#!/usr/bin/env bash
# Prepares the emulated 32-bit Wine that runs the shipped i686 program here.
#
# These machines' kernel cannot execute 32-bit Linux programs, so Debian's
# 32-bit Wine (the same version as the installed wine64) is unpacked into a
# private folder and run under qemu-i386 user-mode emulation. Nothing of the
# system changes: no i386 architecture, no package installed; apt runs with a
# private state. Everything lands in build/wine32/ (or $HALVORAN_WINE32_HOME):
#   apt/        private apt states and the downloaded packages (~150 MB)
#   root/       the unpacked 32-bit Wine and its libraries (~760 MB)
#   qemu-i386   the static emulator from bookworm-backports' qemu-user (qemu 10)
# The prefixes are made by tests/harness/wine32-session.sh.
#
# Safe to run again: each step is skipped when its stamp is there. Exits
# non-zero with a message when the package archive cannot be reached.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
home=${HALVORAN_WINE32_HOME:-$top/build/wine32}
root=$home/root
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
# Libraries Wine opens at run time without depending on them.
x_libraries="libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3 libxinerama1 libxcomposite1 libxxf86vm1"

fail() { echo "setup-wine32: $*" >&2; exit 1; }
say() { echo "setup-wine32: $*" >&2; }

# The archive this machine's apt already uses for a release.
archive_of() {
  apt-get indextargets --format '$(SITE) $(RELEASE)' 2>/dev/null | awk -v r="$1" '$2 == r { print $1; exit }'
}

# apt-get with a private state: $1 = state name, $2 = architecture, $3 = sources, rest = arguments.
private_apt() {
  local name=$1 arch=$2 sources=$3; shift 3
  local d=$home/apt/$name
  mkdir -p "$d/lists/partial" "$d/archives/partial" "$d/parts"
  [ -e "$d/status" ] || : >"$d/status"
  printf '%s\n' "$sources" >"$d/sources.list"
  cat >"$d/apt.conf" <<EOF
APT::Architecture "$arch";
APT::Architectures { "$arch"; };
APT::Install-Recommends "false";
APT::Sandbox::User "$(id -un)";
Dir::Etc::SourceList "$d/sources.list";
Dir::Etc::SourceParts "$d/parts";
Dir::Etc::Preferences "$d/preferences";
Dir::Etc::PreferencesParts "$d/parts";
Dir::State "$d";
Dir::State::Lists "$d/lists";
Dir::State::status "$d/status";
Dir::Cache "$d";
Dir::Cache::Archives "$d/archives";
Dir::Cache::pkgcache "";
Dir::Cache::srcpkgcache "";
EOF
  APT_CONFIG=$d/apt.conf apt-get -q -o Acquire::Retries=2 "$@"
}

# Downloads into a state's archives folder; a failed index update is an unreachable archive.
download() {  # state, architecture, sources, apt-get command and arguments...
  local name=$1 arch=$2 sources=$3; shift 3
  # apt-get update only warns about an index it could not fetch.
  if ! private_apt "$name" "$arch" "$sources" update >"$home/apt/$name.log" 2>&1 ||
     grep -qE '^(Err:|W: Failed to fetch|E: )' "$home/apt/$name.log"; then
    fail "cannot reach the package archive ($(echo "$sources" | grep -oE '[a-z]+://[^ ]+' | head -1)); see $home/apt/$name.log"
  fi
  (cd "$home/apt/$name/archives" && private_apt "$name" "$arch" "$sources" "$@") >>"$home/apt/$name.log" 2>&1 ||
    fail "apt-get $* failed; see $home/apt/$name.log"
}

fetch_packages() {
  local stamp=$home/apt/fetched-$version
  [ -e "$stamp" ] && return 0
  local main security
  main=${HALVORAN_WINE32_ARCHIVE:-$(archive_of bookworm)}
  security=${HALVORAN_WINE32_SECURITY_ARCHIVE:-$(archive_of bookworm-security)}
  [ -n "$main" ] || fail "apt knows no Debian bookworm archive (run apt-get update, or set HALVORAN_WINE32_ARCHIVE)"
  [ -n "$security" ] || security=$main
  say "downloading the i386 Wine $version and its libraries, and qemu-user from bookworm-backports (~150 MB)"
  # shellcheck disable=SC2086
  download i386 i386 "deb [arch=i386 signed-by=$keyring] $main bookworm main
deb [arch=i386 signed-by=$keyring] $main bookworm-updates main
deb [arch=i386 signed-by=$keyring] $security bookworm-security main" \
    install -y --download-only "wine32=$version" "libwine=$version" $x_libraries
  # bookworm's qemu 7.2 ignores MAP_FIXED_NOREPLACE: every Wine start would take a minute.
  # Only its static emulator is used, so the package alone, without dependencies.
  download backports amd64 "deb [signed-by=$keyring] $main bookworm-backports main" \
    download qemu-user/bookworm-backports
  touch "$stamp"
}

# Unpacks the root and does what the packages' scripts would have done.
build_root() {
  local stamp="$version $home"
  # Absolute paths are written into the root: it is rebuilt when the folder moved.
  [ "$(cat "$root/.built" 2>/dev/null)" = "$stamp" ] && [ -x "$home/qemu-i386" ] && return 0
  say "unpacking into $root"
  rm -rf "$root" "$home/qemu-unpacked"
  mkdir -p "$root"
  local deb
  for deb in "$home"/apt/i386/archives/*.deb; do dpkg-deb -x "$deb" "$root"; done
  deb=$(ls "$home"/apt/backports/archives/qemu-user_*.deb 2>/dev/null | sort | tail -1)
  [ -n "$deb" ] || fail "qemu-user was not downloaded"
  dpkg-deb -x "$deb" "$home/qemu-unpacked"
  cp "$home/qemu-unpacked/usr/bin/qemu-i386" "$home/qemu-i386"
  rm -rf "$home/qemu-unpacked"

  local wine=$root/usr/lib/wine
  # user32 imports zlib1.dll: libwine's own script marks mingw's copy as built in.
  local zlib=$root/usr/i686-w64-mingw32/lib/zlib1.dll
  { head -c 64 "$zlib"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$zlib"; } \
    >"$root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
  # The emulated loader finds the root's libraries (FreeType, its own libc) through this cache.
  printf '%s\n' "$root/lib/i386-linux-gnu" "$root/usr/lib/i386-linux-gnu" >"$root/etc/ld.so.conf"
  ldconfig -X -C "$root/etc/ld.so.cache" -f "$root/etc/ld.so.conf"
  # Wine starts each process as "<its folder>/wine-preloader <its folder>/wine ...";
  # Debian has no preloader and the 32-bit loader cannot be exec'd here.
  cat >"$wine/wine-preloader" <<EOF
#!/bin/sh
# Runs the 32-bit Wine loader (\$1) under user-mode emulation.
loader=\$1; shift
WINELOADERNOEXEC=1 exec "$home/qemu-i386" -L "$root" "\$loader" "\$@"
EOF
  chmod +x "$wine/wine-preloader"
  # The 64-bit loader in the same folder, so that 64-bit and 32-bit processes
  # start each other; it finds the host's 64-bit Wine libraries through the link.
  cp /usr/lib/wine/wine64 "$wine/wine64"
  mkdir -p "$root/usr/lib/x86_64-linux-gnu"
  ln -sfn /usr/lib/x86_64-linux-gnu/wine "$root/usr/lib/x86_64-linux-gnu/wine"
  echo "$stamp" >"$root/.built"
}

version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null) || fail "wine64 is not installed (run scripts/setup.sh)"
[ -x /usr/lib/wine/wine64 ] || fail "/usr/lib/wine/wine64 is missing"
mkdir -p "$home/apt"
exec 9>"$home/.setup.lock"
flock 9
fetch_packages
build_root
# "$home/wine prog.exe" starts a program with the 32-bit loader (a prefix of 32-bit Windows).
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$root/usr/lib/wine/wine-preloader" "$root/usr/lib/wine/wine" >"$home/wine"
chmod +x "$home/wine"
