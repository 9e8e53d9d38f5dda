#!/usr/bin/env bash
# The test command: set-up, both builds, the i686 static checks, and every test
# under Wine through CTest. Exits non-zero when anything fails.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
for arch in i686 x86_64; do
  tests=OFF; [ "$arch" = x86_64 ] && tests=ON
  cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DHALVORAN_TESTS=$tests >/dev/null
  cmake --build "build/$arch" -j "$jobs"
done

bash scripts/check-i686.sh build/i686

. tests/harness/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$top/build/x86_64/wineprefix"
# One test at a time: the tests share one Wine desktop and one registry.
# A failed test executable runs once more: under load, Wine's command interpreter
# now and then fails to start a program of a pipe (exit 9009). A real fault
# fails both runs; the first failure stays in the output.
ctest --test-dir build/x86_64 --output-on-failure --timeout 900 --repeat until-pass:2 "$@"
