#!/usr/bin/env bash
# only-command-interpreter-faults.sh CTEST_LOG
# Reads the log of a ctest run (ctest -O, with --output-on-failure) and exits 0
# when every failed test's output shows Wine's command interpreter failing to
# start a program ("Can't recognize '...'" or exit status 9009), naming them;
# exits 1 when any failed test shows something else, or when none failed.
set -euo pipefail
awk '
  function close_block() {
    if (name != "") { failed++; if (!known) { other++; print "test: " name " failed otherwise" > "/dev/stderr" }
                      else print "test: " name " failed as Wine\x27s command interpreter does now and then; once more" }
    name = ""
  }
  /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / { close_block()
    if ($0 ~ /\*\*\*|Failed|Timeout|Exception|Not Run/ && $0 !~ /  Passed /) { name = $4; known = 0 }
    next }
  /^ *Start +[0-9]+: / || /^[0-9]+% tests passed/ { close_block(); next }
  name != "" && (/Can.t recognize \x27/ || /[^0-9]9009([^0-9]|$)/) { known = 1 }
  END { close_block(); exit (failed > 0 && other == 0) ? 0 : 1 }
' "$1"
