#!/usr/bin/env bash
# Builds the Windows program (scripts/windows/build.sh) and tests it under Wine:
#   1. every test executable through ctest (preset "windows"), under Xvfb, in a fresh Wine prefix
#      inside build-windows/ whose windows live on one Wine virtual desktop, each test program whole
#      as one ctest test; arguments go to ctest (e.g. -R cli_tests);
#   2. the program end to end against the Linux draw source (scripts/windows/end-to-end.sh), with
#      the Linux program beside it as the reference.
# Tests that need a part only Linux has (the immutable flag, permission bits) skip themselves on
# Windows and say why.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/windows/common.sh

started=$SECONDS
bash scripts/windows/build.sh
say "building the Linux draw source and program for the end-to-end run"
bash scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --parallel "${TARVO_JOBS:-2}" --target tarvo tarvo-cli tarvo-drawd
built=$SECONDS

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
# The Wine prefix is made inside the X server's session: Wine's desktop process stays bound to the
# display it first saw. A test runs once: only a program Wine failed to start at all is tried again,
# by the emulator script (build-windows/wine-run), which says so in the test's output.
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    source scripts/windows/common.sh
    wine_start "$1/wineprefix-tests"
    wine_virtual_desktop 1280x1024
    trap wine_stop EXIT
    shift
    ctest --preset windows --timeout 300 --parallel 2 "$@"' bash "$windows_build" "$@" || status=$?
grep -h "wine-run: Wine did not start" "$windows_build"/Testing/Temporary/LastTest*.log 2>/dev/null | sort | uniq -c ||
    true
tested=$SECONDS
[ "$status" -eq 0 ] || fail "the tests under Wine failed (ctest status $status)"
say "tests under Wine took $((tested - built)) s"

with_private_loopback xvfb-run -a -s "-screen 0 1920x1200x24" bash scripts/windows/end-to-end.sh
say "build $((built - started)) s, tests under Wine $((tested - built)) s, end to end $((SECONDS - tested)) s"
