#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest.
# Window tests need an X server: the whole run goes under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake --preset default
cmake --build --preset default
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset default --timeout 300 --parallel 2 "$@"
