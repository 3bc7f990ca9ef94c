#!/usr/bin/env bash
# The resident memory of the program itself, idle, with 100,000 stored draws of 山东11选5 (the lottery
# it starts on): the program's own start in a process of its own, against the local draw source in
# another (200 ms per request), read after the start-up and again after a refresh cycle of its timer.
# Targets: 40 MB with the ten days of draws alone (a count of 0), 70 MB with 100,000 stored. Printed
# beside them, the floor: a bare window of the same toolkit, libraries and font (bench/app/BareWindow.cpp).
# Usage: bash bench/idle-memory.sh [build folder, default build] [draw count, default 100000]
set -euo pipefail
# shellcheck source=stored-draws.sh
source "$(dirname "$0")/stored-draws.sh"
source "$(dirname "$0")/../scripts/common.sh"
build=${1:-build}
count=${2:-100000}
program="$build/tests/faults/tarvo_on_source_host"
bare="$build/bench/app/bare_window"
drawd="$build/tools/drawd/tarvo-drawd"
cli="$build/tools/cli/tarvo-cli"
for needed in "$program" "$bare" "$drawd" "$cli"; do
    [[ -x "$needed" ]] || { echo "no $needed: build first" >&2; exit 1; }
done
command -v sqlite3 >/dev/null || { echo "the sqlite3 shell is needed" >&2; exit 1; }

work=$(mktemp -d)
cleanup() {
    stop_local_source
    rm -rf "$work"
}
trap cleanup EXIT

# The program keeps its database beside itself.
cp "$program" "$work/tarvo"
"$cli" init-db --db "$work/彩票数据.mdb" >/dev/null
StoreDraws "$work/彩票数据.mdb" "山东11选5彩票号码表" "$count"

port=$(free_port)
start_local_source "$drawd" "$port" "$work/drawd.log" --latency-ms 200
host="127.0.0.1:$port"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
target=$([[ "$count" -gt 0 ]] && echo 70 || echo 40)
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    "$1/tarvo" "$2" & pid=$!
    resident() { sed -n "s/^VmRSS:[[:space:]]*//p" /proc/$pid/status; }
    sleep 10; echo "$3 stored draws: the idle program after its start-up holds $(resident) resident (target <= $4 MB)"
    sleep 30; echo "$3 stored draws: the idle program after a refresh cycle holds $(resident) resident (target <= $4 MB)"
    kill $pid; wait $pid' sh "$work" "$host" "$count" "$target" 2>/dev/null || true
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    "$1" & pid=$!
    sleep 10; echo "the floor, a bare window of the same libraries and font, holds $(sed -n "s/^VmRSS:[[:space:]]*//p" /proc/$pid/status) resident"
    kill $pid; wait $pid' sh "$bare" 2>/dev/null || true
