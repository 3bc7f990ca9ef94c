#!/usr/bin/env bash
# Cross-builds the program for Windows x86-64 into build-windows/ (preset "windows"): tarvo.exe,
# tarvo-cli.exe, tarvo-drawd.exe and the test executables. Arguments go to CMake's configure step,
# e.g. -DTARVO_FEED_HOST=draws.example.com -DTARVO_PAGE_HOST=draws.example.com.
# What the build takes from outside (Qt for MinGW, GoogleTest, cpp-httplib) is made ready first
# by scripts/windows/deps.sh.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/windows/common.sh

bash scripts/windows/deps.sh
started=$SECONDS
cmake --preset windows "$@" >/dev/null
cmake --build --preset windows --parallel "${TARVO_JOBS:-2}"
for program in app/tarvo.exe tools/cli/tarvo-cli.exe tools/drawd/tarvo-drawd.exe; do
    [ -f "$windows_build/$program" ] || fail "$windows_build/$program was not built"
done
say "cross build took $((SECONDS - started)) s"
