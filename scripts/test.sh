#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest.
# Each window test program starts on an X server of its own (scripts/own-x-server.sh, Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake --preset default
cmake --build --preset default
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
# Most tests spend their time waiting (on timers, a draw source, a locked file): twice as many run
# at once as there are processors.
ctest --preset default --timeout 300 --parallel $((2 * $(nproc))) "$@"
