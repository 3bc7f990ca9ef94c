#!/usr/bin/env bash
# Installs what is missing, builds the program, creates its draw database if there is none, starts
# the local draw source on 127.0.0.1:8511 and then the program.
# Without a display the program runs under Xvfb for a while and a screenshot of it is saved.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tarvo tarvo-cli tarvo-drawd

program_dir=build/app
database="$program_dir/彩票数据.mdb"
[ -f "$database" ] || build/tools/cli/tarvo-cli init-db --db "$database"

drawd_pid=""
if ! (exec 3<>/dev/tcp/127.0.0.1/8511) 2>/dev/null; then
    # shellcheck disable=SC2086
    build/tools/drawd/tarvo-drawd --port 8511 ${TARVO_DRAWD_ARGS:-} &
    drawd_pid=$!
    sleep 0.5
fi
cleanup() { [ -n "$drawd_pid" ] && kill "$drawd_pid" 2>/dev/null || true; }
trap cleanup EXIT

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
if [ -n "${DISPLAY:-}" ]; then
    "$program_dir/tarvo"
else
    seconds="${TARVO_HEADLESS_SECONDS:-15}"
    mkdir -p run
    shot="$PWD/run/screenshot.png"
    echo "No display: running the program under Xvfb for $seconds s; a screenshot goes to $shot"
    xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
        "\"$program_dir/tarvo\" & pid=\$!; sleep $seconds; import -window root PNG24:\"$shot\"; kill \$pid; wait \$pid" || true
    echo "Screenshot: $shot"
fi
