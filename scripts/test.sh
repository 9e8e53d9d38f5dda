#!/usr/bin/env bash
# The test command: set-up, both builds (with the benchmark programs), the i686
# static checks, the shipped folder signed with a test certificate, every test of
# the x86_64 build under Wine through CTest, then the shipped i686 program in the
# emulated 32-bit Wine (the tests labelled i686).
# Exits non-zero when anything fails.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

bash scripts/setup.sh
bash scripts/check-layers.sh   # includes point down the tower only

. scripts/configure.sh
configure_build i686 OFF ON     # the product and the fakes it meets in the 32-bit Wine
build i686
configure_build x86_64 ON OFF   # every test
build x86_64
# The benchmark programs (bench/run.sh runs them) are built, not run, so that a
# change that breaks them fails here.
build i686 --target bench
build x86_64 --target bench

bash scripts/check-i686.sh build/i686
# Shipped signed with a throw-away test authority's certificate (made in the
# build tree), so that every test of the shipped files runs on signed ones.
certificates=$top/build/test-certificates
bash tests/harness/test-certificates.sh "$certificates"
HALVORAN_SIGN_PKCS12=$certificates/signer.p12 HALVORAN_SIGN_PASSWORD_FILE=$certificates/password \
  HALVORAN_SIGN_TIMESTAMP_URL= bash scripts/ship.sh

# One test at a time: the tests share one Wine desktop and one registry.
# A failed test runs once more only when its output shows the one known fault of
# Wine's command interpreter: under load it now and then fails to start a program
# of a pipe ("Can't recognize '...'", exit 9009). Any other failure fails the run.
run_ctest() {
  local log="$top/build/x86_64/Testing/run.log"
  ctest --test-dir build/x86_64 --output-on-failure --timeout 900 -O "$log" "$@" && return 0
  bash tests/harness/only-command-interpreter-faults.sh "$log" || return 1
  ctest --test-dir build/x86_64 --output-on-failure --timeout 900 --rerun-failed
}
failed=0

. tests/harness/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$top/build/x86_64/wineprefix"
run_ctest -LE i686 "$@" || failed=1
wine_session_stop

# The emulated 32-bit Wine: its set-up downloads and unpacks on the first run.
# When it cannot be made ready, every i686 test fails with the reason.
. tests/harness/wine32-session.sh
trap wine32_session_stop EXIT
wine32_session_start win64 "$top/build/i686/tests/run/bin" ||
  echo "test: the emulated 32-bit Wine is not ready; the i686 tests will fail" >&2
run_ctest -L i686 "$@" || failed=1
exit $failed
