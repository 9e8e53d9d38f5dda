#!/usr/bin/env bash
# Authenticode signatures on what ships (scripts/ship.sh, scripts/sign.sh),
# checked with osslsigncode against the throw-away test authority
# (tests/harness/test-certificates.sh).
# First the shipped folder as the test command ships it, signed with the test
# certificate: its programs, the setup program and the package beside it, and
# the programs inside the package verify; a copy changed by one byte does not.
# Then one row per way of shipping into a scratch out folder that holds an
# earlier run's outputs and a file of someone else's: without a certificate the
# build says so once and packages; what cannot be signed stops it with a message
# naming the problem and leaves none of the three outputs (a signed build
# replaces them). In every row the password is in no command line of openssl or
# osslsigncode (logged by stand-ins on the PATH) and not in the output.
#   signing_test.sh SHIPPED_DIR CERTIFICATES SCRATCH
set -u
shipped=$1 certs=$2 scratch=$3
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bash "$top/tests/harness/test-certificates.sh" "$certs" || exit 1
rm -rf "$scratch" && mkdir -p "$scratch" || exit 1
password=$(cat "$certs/password")

failures=0
check() {  # description, command...
  local what=$1; shift
  if "$@"; then echo "ok: $row: $what"; else echo "FAILED: $row: $what" >&2; failures=$((failures + 1)); fi
}
fails() { ! "$@"; }
verifies() {
  osslsigncode verify -CAfile "$certs/authority.pem" -TSA-CAfile "$certs/authority.pem" -in "$1" \
    >"$scratch/verified.txt" 2>&1
}
said() { grep -qF -- "$1" "$scratch/verified.txt"; }

row=shipped
signed=("$shipped"/*.exe "$shipped/../HalvoranSetup.exe" "$shipped/../HalvoranSetup.msi")
for file in "${signed[@]}"; do
  check "$(basename "$file") verifies against the test authority" verifies "$file"
done
# The package's copies are the signed programs: they were signed before packing.
mkdir "$scratch/unpacked" && msiextract -C "$scratch/unpacked" "$shipped/../HalvoranSetup.msi" >/dev/null
mapfile -t packed < <(find "$scratch/unpacked" -iname '*.exe')
check "the package holds the setup program and every program" \
  test ${#packed[@]} = $(($(ls "$shipped"/*.exe | wc -l) + 1))
for file in "${packed[@]}"; do check "packed $(basename "$file") verifies" verifies "$file"; done

# A copy with the first byte of a text in it changed.
while IFS='|' read -r file text; do
  copy=$scratch/changed-$(basename "$file")
  cp "$file" "$copy"
  at=$(grep -obaF -m1 -- "$text" "$copy" | head -1 | cut -d: -f1)
  check "$(basename "$file") holds \"$text\"" test -n "$at"
  printf '\001' | dd of="$copy" bs=1 seek="${at:-0}" conv=notrunc status=none
  check "$(basename "$file") changed by one byte does not verify" fails verifies "$copy"
done <<EOF
$shipped/HalvoranInstallWinApp.exe|Zorvane PPP Data Modem
$shipped/../HalvoranSetup.exe|msiexec.exe
$shipped/../HalvoranSetup.msi|administrator rights
EOF

# Stand-ins for openssl and osslsigncode that log their arguments; the one for
# osslsigncode fails on the file named by REFUSE_TO_SIGN.
mkdir "$scratch/bin"
for tool in openssl osslsigncode; do
  cat >"$scratch/bin/$tool" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$scratch/arguments.log"
for argument; do
  case \$argument in */"\${REFUSE_TO_SIGN:-?}") echo "$tool: refused for the test" >&2; exit 1 ;; esac
done
exec $(command -v $tool) "\$@"
EOF
  chmod +x "$scratch/bin/$tool"
done

# Ships the row into its scratch out folder, with the signing variables given
# (VARIABLE=value...; empty ones unset).
ship() {  # row, VARIABLE=value...
  row=$1 out=$scratch/$1/out
  shift
  mkdir -p "$out/HalvoranInstallWinApp"
  for stale in HalvoranInstallWinApp/HalvoranInstallWinApp.exe HalvoranSetup.exe HalvoranSetup.msi; do
    echo "an earlier run" >"$out/$stale"
  done
  echo "someone else's" >"$out/notes.txt"
  : >"$scratch/arguments.log"
  local given=() variable
  for variable; do [ -z "${variable#*=}" ] || given+=("$variable"); done
  env -u HALVORAN_SIGN_PKCS12 -u HALVORAN_SIGN_PASSWORD_FILE -u HALVORAN_SIGN_TIMESTAMP_URL \
    PATH="$scratch/bin:$PATH" "${given[@]}" bash "$top/scripts/ship.sh" "$out/HalvoranInstallWinApp" \
    >"$scratch/$row/output" 2>&1
  code=$?
  check "the password is in no command line" fails grep -qF -- "$password" "$scratch/arguments.log"
  check "the password is not in the output" fails grep -qF -- "$password" "$scratch/$row/output"
  check "someone else's file stays" grep -qx "someone else's" "$out/notes.txt"
}
says_once() { test "$(grep -cF -- "$1" "$scratch/$row/output")" = 1; }
outputs() { ls -A "$out" | paste -sd ' '; }
refused() {  # what the build says
  check "fails" test "$code" != 0
  check "says: $1" says_once "$1"
  check "leaves none of the three outputs, nor its staging folder" test "$(outputs)" = notes.txt
}
shipped_signed() {  # what the build says about time stamps, what osslsigncode says about them
  check "succeeds" test "$code" = 0
  check "says: $1" says_once "$1"
  check "replaces the three outputs" \
    test "$(outputs)" = "HalvoranInstallWinApp HalvoranSetup.exe HalvoranSetup.msi notes.txt"
  for file in "$out"/HalvoranInstallWinApp/*.exe "$out"/HalvoranSetup.*; do
    check "$(basename "$file") verifies" verifies "$file"
    check "$(basename "$file"): $2" said "$2"
  done
}

p12=$certs/signer.p12 passwords=$certs/password
ship unsigned
check "succeeds" test "$code" = 0
check "says once that nothing was signed" says_once "nothing signed"
check "packages the shipped folder" \
  test "$(outputs)" = "HalvoranInstallWinApp HalvoranSetup.exe HalvoranSetup.msi notes.txt"
check "leaves the program unsigned" fails verifies "$out/HalvoranInstallWinApp/HalvoranInstallWinApp.exe"
check "runs no signing tool" test ! -s "$scratch/arguments.log"

mkdir "$scratch/passwords"
printf 'not the password\n' >"$scratch/passwords/wrong"
printf '%s\r\n' "$password" >"$scratch/passwords/from-windows"
while IFS='|' read -r name certificate passfile url refuse says; do
  ship "$name" HALVORAN_SIGN_PKCS12="$certificate" HALVORAN_SIGN_PASSWORD_FILE="$passfile" \
    HALVORAN_SIGN_TIMESTAMP_URL="$url" REFUSE_TO_SIGN="$refuse"
  refused "$says"
done <<EOF
wrong-password|$p12|$scratch/passwords/wrong|||wrong password for $p12
no-pkcs12-file|$certs/none.p12|$passwords|||the PKCS#12 file $certs/none.p12 (HALVORAN_SIGN_PKCS12) is missing
no-password-file|$p12|$certs/none|||the password file $certs/none (HALVORAN_SIGN_PASSWORD_FILE) is missing
only-a-password-file||$passwords|||HALVORAN_SIGN_PKCS12 is not set
not-pkcs12|$certs/authority.pem|$passwords|||openssl cannot read $certs/authority.pem as a PKCS#12 file
no-code-signing-use|$certs/server.p12|$passwords|||is not for code signing (its extended key usage: TLS Web Server Authentication)
expired|$certs/expired.p12|$passwords|||has expired (on 2020-02-01 00:00 UTC)
not-yet-valid|$certs/future.p12|$passwords|||is not valid yet (from 2099-01-01 00:00 UTC)
no-digital-signatures|$certs/encipher.p12|$passwords|||does not allow digital signatures
not-a-web-address|$p12|$passwords|timestamp.example||HALVORAN_SIGN_TIMESTAMP_URL is not an http:// or https:// address
no-time-stamp-server|$p12|$passwords|http://127.0.0.1:9/||osslsigncode could not sign
package-not-signed|$p12|$passwords||HalvoranSetup.msi|osslsigncode could not sign HalvoranSetup.msi
EOF
check "the programs were signed before the package failed" \
  test "$(grep -c '^sign .*\.exe\.signed$' "$scratch/arguments.log")" = "${#packed[@]}"

ship password-file-from-windows HALVORAN_SIGN_PKCS12="$p12" \
  HALVORAN_SIGN_PASSWORD_FILE="$scratch/passwords/from-windows"
shipped_signed "no time stamp (HALVORAN_SIGN_TIMESTAMP_URL is not set)" "Timestamp is not available"

python3 "$top/tests/harness/timestamp-server.py" "$certs/timestamp.cnf" >"$scratch/port" &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in $(seq 50); do [ -s "$scratch/port" ] && break; sleep 0.1; done
url=http://127.0.0.1:$(cat "$scratch/port")/
ship time-stamped HALVORAN_SIGN_PKCS12="$p12" HALVORAN_SIGN_PASSWORD_FILE="$passwords" \
  HALVORAN_SIGN_TIMESTAMP_URL="$url"
shipped_signed "time stamps from $url" "Timestamp Server Signature verification: ok"

echo "signing_test: $failures failed"
[ "$failures" = 0 ]
