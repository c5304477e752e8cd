#!/usr/bin/env bash
# Cross-builds KESTRUNE for 32-bit Windows, checks the shipped executables and runs every test under
# Wine: the 32-bit build's, or where the kernel runs no 32-bit programs, the same code's built for
# 64-bit Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build gui windows display
objdump=i686-w64-mingw32-objdump

# The shipped programs: the win32 thread model, so that nothing needs Windows Vista.
release=build-win32-release
cmake --preset win32-release
cmake --build --preset win32-release -j"$(nproc)"

# Functions of KERNEL32 that Windows XP lacks and that the MinGW runtimes are known to use.
vista_functions='GetTickCount64|InitializeConditionVariable|SleepConditionVariable(CS|SRW)|Wake(All)?ConditionVariable|(Initialize|Acquire|Release|TryAcquire)SRWLock[A-Za-z]*|InitOnce[A-Za-z]*|Fls(Alloc|Free|GetValue|SetValue)|GetFinalPathNameByHandle[AW]|SetFileInformationByHandle|GetFileInformationByHandleEx|CreateSymbolicLink[AW]|InitializeCriticalSectionEx|GetSystemTimePreciseAsFileTime'

# Fails unless the executable is of the subsystem named, subsystem version 4.0, and imports
# only the DLLs allowed and none of those functions.
check_executable() {
  local file=$1 subsystem=$2 allowed=$3 headers dlls newer
  headers=$("$objdump" -p "$file")
  grep -Eq "^Subsystem[[:space:]]+[0-9]+[[:space:]]+\($subsystem\)" <<<"$headers" ||
    { echo "$file: not a $subsystem program" >&2; return 1; }
  { grep -Eq "^MajorSubsystemVersion[[:space:]]+4$" <<<"$headers" &&
    grep -Eq "^MinorSubsystemVersion[[:space:]]+0$" <<<"$headers"; } ||
    { echo "$file: subsystem version is not 4.0" >&2; return 1; }
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:lower:]' '[:upper:]' | sort -u)
  for dll in $dlls; do
    [[ " $allowed " == *" $dll "* ]] || { echo "$file: imports $dll" >&2; return 1; }
  done
  newer=$(awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}' <<<"$headers" |
    grep -Ex "$vista_functions" || true)
  [[ -z "$newer" ]] || { echo "$file: imports what Windows XP lacks: ${newer//$'\n'/ }" >&2; return 1; }
  echo "$file: $subsystem, subsystem version 4.0, imports ${dlls//$'\n'/ }"
}
check_executable "$release/cli/kestrune-cli.exe" "Windows CUI" "KERNEL32.DLL MSVCRT.DLL"
check_executable "$release/app/win32/KESTRUNE.EXE" "Windows GUI" \
  "KERNEL32.DLL MSVCRT.DLL USER32.DLL COMDLG32.DLL ADVAPI32.DLL SHELL32.DLL GDI32.DLL"

# The test build: GoogleTest needs the posix thread model. A kernel without 32-bit emulation
# (ia32_emulation=off) starts no 32-bit Wine; the 64-bit build then runs the same tests.
suite=win32
wine=/usr/lib/wine/wine
if ! "$wine" --version >/dev/null 2>&1; then
  suite=win64
  wine=/usr/lib/wine/wine64
  echo "test-windows: this kernel runs no 32-bit programs: the tests run on the 64-bit build" >&2
fi
cmake --preset "$suite"
cmake --build --preset "$suite" -j"$(nproc)"

# A Wine prefix of its own for this run, so no developer's Wine setup is used or changed.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-wine.XXXXXX")
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=""
"$wine" wineboot --init >/dev/null 2>&1
wineserver -w

# Each test runs in a Wine process of its own, as ctest runs them natively. Console
# programs need no display; the dialog tests get a virtual one.
ctest --preset "$suite" -j"$(nproc)"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset "$suite-display"

# The Linux program beside the Windows one (the shipped one, where it can run), on the same
# files in this prefix: each must see the other's locks. The native tree builds the Linux
# program and the test.
windows_cli=$release/cli/kestrune-cli.exe
[[ $suite == win32 ]] || windows_cli=build-$suite/cli/kestrune-cli.exe
cmake --preset default
cmake --build --preset default -j"$(nproc)" --target beside_wine_tests
KESTRUNE_WINE="$wine" KESTRUNE_WINDOWS_CLI="$PWD/$windows_cli" build/tests/beside_wine_tests
