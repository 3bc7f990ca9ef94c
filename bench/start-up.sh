#!/usr/bin/env bash
# The program's start-up as its user lives it: from the launch of the process (the X server already
# running) to every page row of the ten days stored, against the local draw source with 200 ms of
# latency on every request, in a fresh folder with an empty database. Runs it RUNS times (default 5)
# and prints, for each run, where the time went (seconds since the launch): the program's own start
# (main entered, the application made), the window shown, the page requests started, every page
# answered, every row stored and the start-up finished (the plan run begun; unless the watcher ended
# the program first), and what the watcher saw from outside (the window, every row in the tables; it
# looks every 50 ms).
# Target: every row stored within 1.0 s of the launch.
# Usage: bash bench/start-up.sh [build folder, default build] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
build=${1:-build}
runs=${2:-5}
program="$build/app/tarvo"
drawd="$build/tools/drawd/tarvo-drawd"
cli="$build/tools/cli/tarvo-cli"
for needed in "$program" "$drawd" "$cli"; do
    [[ -x "$needed" ]] || fail "no $needed: build first"
done

work=$(mktemp -d)
cleanup() {
    stop_local_source
    rm -rf "$work"
}
trap cleanup EXIT
port=$(free_port)
start_local_source "$drawd" "$port" "$work/drawd.log" --latency-ms 200 --now 2026-12-08T12:05
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

# One run in a fresh program folder; prints its figures.
run_once() {
    local folder="$work/run $1"
    mkdir -p "$folder"
    cp "$program" "$folder/"
    "$cli" init-db --db "$folder/彩票数据.mdb" >/dev/null
    local_source_settings "$port" >"$folder/设置.ini"
    TARVO_START_UP_TRACE="$folder/start-up.txt" python3 scripts/windows/watch-program.py --folder "$folder" \
        -- "$folder/tarvo" >"$folder/watched.txt" || fail "run $1: the rows were not stored: $(cat "$folder/watched.txt")"
    python3 - "$folder/start-up.txt" "$folder/watched.txt" "$1" <<'PYTHON'
import re, sys
watched = open(sys.argv[2]).read()
seen = {name: float(re.search(name + r"=([0-9.]+)", watched).group(1)) for name in ("shown", "stored", "launched")}
phases = {}
for line in open(sys.argv[1], encoding="utf-8"):
    name, _, at = line.rstrip("\n").rpartition(" ")
    phases.setdefault(name, float(at) - seen["launched"])
text = ", ".join(f"{name} {seconds:.3f}" for name, seconds in phases.items())
print(f"run {sys.argv[3]}: {text}; seen from outside: the window at {seen['shown']:.2f}, every row at {seen['stored']:.2f}")
PYTHON
}

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "
    source scripts/common.sh
    $(declare -f run_once)
    work='$work' program='$program' cli='$cli' port='$port'
    for ((i = 1; i <= $runs; i++)); do run_once \$i; done"
echo "target: the last row stored within 1.0 s of the launch"
