#!/usr/bin/env bash
# Static checks of the shipped i686 program (32-bit programs cannot run here):
# it is a PE32 GUI program, and its import table names none of the libraries
# that it must bind late. Record sizes are checked by static_assert at compile time.
set -euo pipefail
build=${1:-build/i686}
exe="$build/app/HalvoranInstallWinApp.exe"
fail=0
check() { if eval "$2"; then echo "check-i686: ok: $1"; else echo "check-i686: FAILED: $1"; fail=1; fi; }

check "the program links ($exe)" "[ -f '$exe' ]"
[ -f "$exe" ] || exit 1
headers=$(i686-w64-mingw32-objdump -f -p "$exe")
check "PE32 for i386" "grep -q 'file format pei-i386' <<<\"\$headers\""
check "GUI subsystem" "grep -q 'Subsystem.*00000002' <<<\"\$headers\""
dlls=$(grep 'DLL Name' <<<"$headers" | awk '{print tolower($3)}' | sort -u | tr '\n' ' ' || true)
echo "check-i686: imports: $dlls"
for late in rasapi32.dll rasdlg.dll setupapi.dll; do
  check "no import of $late" "! grep -qw '$late' <<<\"\$dlls\""
done
for dll in $dlls; do
  case $dll in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|msvcrt.dll|comctl32.dll) ;;
    api-ms-win-*) ;;
    *) check "import $dll is a system library" false ;;
  esac
done
# The skeleton program may not use the bindings yet: check the platform library
# itself, whose late-bound entry points must come only from GetProcAddress.
lib="$build/platform/libplatform.a"
check "platform library links ($lib)" "[ -f '$lib' ]"
late=$(i686-w64-mingw32-nm -u "$lib" 2>/dev/null | grep -oE '_(Ras[A-Za-z]+|Setup[A-Za-z]+|IsWow64Process)@[0-9]+' | sort -u | tr '\n' ' ' || true)
check "platform library imports no late-bound entry point ${late:+(found: $late)}" "[ -z '$late' ]"
check "record sizes asserted (record_sizes.cpp compiled)" \
  "i686-w64-mingw32-ar t '$lib' | grep -q '^record_sizes.cpp.obj$'"
if [ "$fail" = 0 ]; then echo "check-i686: 0 failed"; else echo "check-i686: some checks failed"; fi
exit $fail
