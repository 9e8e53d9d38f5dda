#!/usr/bin/env bash
# The benchmarks, in one command: builds what they need (the product, its test
# variants, the floors and the benchmark programs), runs them under Wine in a
# prefix of their own, and writes BENCHMARKS.md at the top of the repository.
#   bash bench/run.sh [rounds]      rounds of each timing figure, at least 15 (default 21)
# The test command builds these programs but never runs them. This takes a few
# minutes; run it on a quiet machine.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
rounds=${1:-21}
[ "$rounds" -ge 15 ] || { echo "bench: at least 15 rounds" >&2; exit 2; }

log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "bench: building (log in $log while it runs)"
# Set-up, both builds and the shipped folder out/HalvoranInstallWinApp, then the benchmark targets.
bash scripts/build.sh >"$log" 2>&1 || { cat "$log"; exit 1; }
jobs=$(nproc 2>/dev/null || echo 2)
for arch in i686 x86_64; do
  cmake --build "build/$arch" --target bench -j "$jobs" >>"$log" 2>&1 || { cat "$log"; exit 1; }
done

. tests/harness/wine-session.sh
trap 'wine_session_stop; rm -f "$log"' EXIT
wine_session_start "$top/build/x86_64/bench/wineprefix"
echo "bench: $rounds rounds under Wine"
# The load of the machine (other work shares it) goes into the report: the
# paired ratios are what it compares; the times themselves move with the load.
load_before=$(cut -d ' ' -f 1-3 /proc/loadavg)
(cd build/x86_64/bench && "$WINE_LOADER" bench_driver.exe "$rounds" results.txt)
load_after=$(cut -d ' ' -f 1-3 /proc/loadavg)

environment="Measured on $(nproc) cores with $("$WINE_LOADER" --version) and \
$(i686-w64-mingw32-g++ --version | head -n 1), $(date -u +%Y-%m-%d); load average \
(1, 5 and 15 minutes) $load_before before the timed runs and $load_after after them."
python3 bench/report.py build/x86_64/bench/results.txt out/HalvoranInstallWinApp \
  build/i686/bench/floor_dialog.exe \
  BENCHMARKS.md "$rounds" "$environment"
echo "bench: wrote BENCHMARKS.md"
