#!/usr/bin/env bash
# The test command: set-up, both builds, the i686 static checks, every test of
# the x86_64 build under Wine through CTest, then the shipped i686 program in the
# emulated 32-bit Wine (the tests labelled i686). Exits non-zero when anything fails.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
for arch in i686 x86_64; do
  tests=OFF pieces=ON
  [ "$arch" = x86_64 ] && tests=ON pieces=OFF
  cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DHALVORAN_TESTS=$tests -DHALVORAN_TEST_PIECES=$pieces >/dev/null
  cmake --build "build/$arch" -j "$jobs"
done

bash scripts/check-i686.sh build/i686
bash scripts/ship.sh

# One test at a time: the tests share one Wine desktop and one registry.
# A failed test executable runs once more: under load, Wine's command interpreter
# now and then fails to start a program of a pipe (exit 9009). A real fault
# fails both runs; the first failure stays in the output.
run_ctest() { ctest --test-dir build/x86_64 --output-on-failure --timeout 900 --repeat until-pass:2 "$@"; }
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
