#!/usr/bin/env bash
# Holds the product's layers to one direction. Each folder may include only the
# folders listed for it (its own included); a lower layer never includes a
# higher one, and the framework knows nothing of the product:
#
#   app        the application object
#   ui         the progress dialog and its resources
#   worker     the worker thread, the status channel, the success marker
#   sequences  install, uninstall, launch, the clean-up of release 2.0
#   records    modem          the product's registry records; modem, INF, dial-up entry
#   job        what every job shares: status callback, product names, mode, outcome
#   framework  the application and dialog framework
#   platform   Win32 helpers, late-bound libraries, probes, scoped handles
#   (tools: the companion programs, on the platform layer only)
#
# Inside each folder no two files include each other, directly or round a
# loop (a file and its header count as one). Exits non-zero, naming every
# forbidden include, when the tower does not hold. Run by scripts/test.sh.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

declare -A allowed=(
  [platform]="platform"
  [framework]="framework platform"
  [job]="job framework platform"
  [records]="records job platform"
  [modem]="modem job platform"
  [sequences]="sequences records modem job framework platform"
  [worker]="worker sequences job framework platform"
  [ui]="ui worker job framework platform"
  [app]="app ui worker job framework platform"
  [tools]="tools platform"
)

failed=0
for dir in "${!allowed[@]}"; do
  while IFS=: read -r file line target; do
    layer=${target%%/*}
    case " ${allowed[$dir]} " in
      *" $layer "*) ;;
      *) echo "check-layers: $file:$line: $dir/ may not include $target" >&2; failed=1 ;;
    esac
  done < <(grep -rnoE --include='*.cpp' --include='*.h' --include='*.rc' \
             '^#include "[a-z_0-9]+/[^"]+"' "$dir" | sed -E 's/#include "([^"]+)"/\1/')
done

# Every folder of product code has a place in the tower.
for dir in $(git ls-files '*.cpp' '*.h' | cut -d/ -f1 | sort -u); do
  case $dir in tests|bench|*.cpp|*.h) continue ;; esac
  [ -n "${allowed[$dir]:-}" ] || { echo "check-layers: $dir/ has no place in the tower" >&2; failed=1; }
done

# No loops inside a folder: tsort names the files of any loop of includes.
for dir in "${!allowed[@]}"; do
  loops=$(grep -rnoE --include='*.cpp' --include='*.h' '^#include "[a-z_0-9]+/[^"]+"' "$dir" |
    sed -E 's/:[0-9]+:#include "([^"]+)"/ \1/' |
    awk -v d="$dir/" '{ from = $1; to = $2; sub(/\.(cpp|h)$/, "", from); sub(/\.(cpp|h)$/, "", to);
                        if (index(to, d) == 1 && from != to) print from, to }' |
    tsort 2>&1 >/dev/null | sed -n 's|^tsort: \([a-z_0-9]*/[a-z_0-9]*\)$|\1|p'; true)
  if [ -n "$loops" ]; then
    echo "check-layers: files of $dir/ include each other round a loop:" $loops >&2
    failed=1
  fi
done

[ "$failed" = 0 ] && echo "check-layers: the layers hold"
exit $failed
