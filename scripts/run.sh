#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it with demonstration draws: the program
# starts the bundled local draw source (tarvo-drawd, on a free loopback port) itself, keeps what it
# generates in 演示数据.mdb beside the program, says 演示数据（模拟开奖） in its title, banner and status
# line, and stops the source when it ends. The player's own database 彩票数据.mdb is made empty when
# missing and never takes a generated draw.
# Without a display the program runs under Xvfb for a while and a screenshot of it is saved.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tarvo tarvo-cli tarvo-drawd

program_dir=build/app
database="$program_dir/彩票数据.mdb"
[ -f "$database" ] || build/tools/cli/tarvo-cli init-db --db "$database"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
if [ -n "${DISPLAY:-}" ]; then
    "$program_dir/tarvo" --demo
else
    seconds="${TARVO_HEADLESS_SECONDS:-15}"
    mkdir -p run
    shot="$PWD/run/screenshot.png"
    echo "No display: running the program under Xvfb for $seconds s; a screenshot goes to $shot"
    xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
        "\"$program_dir/tarvo\" --demo & pid=\$!; sleep $seconds; import -window root PNG24:\"$shot\"; kill \$pid; wait \$pid" || true
    echo "Screenshot: $shot"
fi
