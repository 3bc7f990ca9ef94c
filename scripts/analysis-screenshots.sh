#!/usr/bin/env bash
# Saves pictures of the analysis window's four tabs in docs/ (analysis-record.png, analysis-trend.png,
# analysis-omission.png, analysis-stake.png): the program over ten days of draws from the local draw
# source, on a port of its own, under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --parallel "${TARVO_JOBS:-2}" --target analysis_screenshots
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/app/analysis_screenshots docs
ls -l docs/analysis-*.png
