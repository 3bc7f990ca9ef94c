#!/usr/bin/env bash
# Times `tarvo-cli import` of 100,000 draws of 江西11选5 into a fresh database, as a player who
# imports years of history does (target: at most 1 s). Prints the figures; judges nothing.
# Usage: bash scripts/import-speed.sh [TARVO_CLI] [DRAWS]   (default: build/tools/cli/tarvo-cli, 100000)
set -euo pipefail
cd "$(dirname "$0")/.."

cli="${1:-build/tools/cli/tarvo-cli}"
draws="${2:-100000}"
if [[ ! -x "$cli" ]]; then
    cmake --preset default >/dev/null
    cmake --build --preset default --parallel "${TARVO_JOBS:-2}" --target tarvo-cli
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Consecutive days of 84 draws from 2000-01-01 on, numbers a rotation of 01..11.
python3 - "$draws" >"$work/draws.csv" <<'PY'
import datetime, sys
count = int(sys.argv[1])
day = datetime.date(2000, 1, 1)
written = 0
while written < count:
    for number in range(1, 85):
        if written == count:
            break
        balls = [(written + k * 3) % 11 + 1 for k in range(5)]
        print(day.strftime("%Y%m%d") + "%02d" % number + "," + ",".join("%02d" % b for b in balls))
        written += 1
    day += datetime.timedelta(days=1)
PY

"$cli" init-db --db "$work/db.mdb" >/dev/null
# Elapsed time, and the processor time that a machine shared with other work does not inflate.
TIMEFORMAT="import of $draws draws: %3R s elapsed, %3U s user + %3S s system"
time "$cli" import --db "$work/db.mdb" --lottery 江西11选5 "$work/draws.csv" >/dev/null
echo "rows stored: $(sqlite3 "$work/db.mdb" "select count(*) from 江西11选5彩票号码表")"
