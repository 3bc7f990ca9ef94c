#!/usr/bin/env bash
# Times `tarvo-cli import` of a draw file of 100,000 lines of 江西11选5 into a fresh database, as a
# player who imports years of history does: the file is GBK, as a Chinese spreadsheet saves it, and
# its lines have the shapes players' files have (CSV with eight-digit periods, text pasted from a
# lottery's page with 第…期 and 、, a row index with a date and time before the period and the numbers
# quoted). Against it, the sqlite3 shell importing the same draws as plain CSV
# (period,n1,n2,n3,n4,n5) into a fresh database in one run. Best of three runs each; prints the
# figures (target: tarvo-cli well under a second) and judges nothing.
# Usage: bash scripts/import-speed.sh [TARVO_CLI] [LINES]   (default: build/tools/cli/tarvo-cli, 100000)
set -euo pipefail
cd "$(dirname "$0")/.."

cli="${1:-build/tools/cli/tarvo-cli}"
lines="${2:-100000}"
if [[ ! -x "$cli" ]]; then
    cmake --preset default >/dev/null
    cmake --build --preset default --parallel "${TARVO_JOBS:-2}" --target tarvo-cli
fi
command -v sqlite3 >/dev/null || { echo "the sqlite3 shell is needed" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
table="江西11选5彩票号码表"

# Consecutive days of 84 draws from 2000-01-01 on, numbers a rotation of 01..11: the mixed GBK file
# for tarvo-cli and the same draws as plain CSV for the sqlite3 shell.
python3 - "$lines" "$work/draws-gbk.txt" "$work/draws.csv" <<'PY'
import datetime, sys
count, mixed_path, plain_path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
mixed = ["期号,开奖号码,备注"]
plain = []
day = datetime.date(2000, 1, 1)
written = 0
while written < count:
    for number in range(1, 85):
        if written == count:
            break
        balls = ["%02d" % ((written + k * 3) % 11 + 1) for k in range(5)]
        short = day.strftime("%y%m%d") + "%02d" % number
        full = day.strftime("%Y%m%d") + "%02d" % number
        shape = written % 3
        if shape == 0:
            mixed.append(short + "," + ",".join(balls))
        elif shape == 1:
            mixed.append("第" + short + "期 开奖号码：" + "、".join(balls) + " 和值" + str(sum(map(int, balls))))
        else:
            mixed.append('%d,%s 09:%02d:00,%s,"%s"' % (written, day.isoformat(), number % 60, full, ",".join(balls)))
        plain.append(full + "," + ",".join(balls))
        written += 1
    day += datetime.timedelta(days=1)
with open(mixed_path, "wb") as f:
    f.write(("\r\n".join(mixed) + "\r\n").encode("gbk"))
with open(plain_path, "w") as f:
    f.write("\n".join(plain) + "\n")
PY

fresh_database() {
    rm -f "$1" "$1-wal" "$1-shm"
    "$cli" init-db --db "$1" >/dev/null
}

# The best elapsed time of three runs of "$@", each into a fresh database ($db), in milliseconds.
db="$work/彩票数据.mdb"
best_of_three() {
    local best=""
    for _ in 1 2 3; do
        fresh_database "$db"
        local start end status=0
        start=$(date +%s%N)
        "$@" >/dev/null || status=$?
        end=$(date +%s%N)
        if [[ $status -ne 0 ]]; then
            echo "failed with status $status: $*" >&2
            exit 1
        fi
        local ms=$(((end - start) / 1000000))
        if [[ -z "$best" || $ms -lt $best ]]; then best=$ms; fi
    done
    echo "$best"
}

cli_ms=$(best_of_three "$cli" import --db "$db" --lottery 江西11选5 "$work/draws-gbk.txt")
cli_rows=$(sqlite3 "$db" "select count(*) from $table")
sqlite3 "$db" "select * from $table order by 记录期号" >"$work/cli-rows.txt"
shell_ms=$(best_of_three sqlite3 "$db" ".import --csv $work/draws.csv $table")
shell_rows=$(sqlite3 "$db" "select count(*) from $table")
sqlite3 "$db" "select * from $table order by 记录期号" >"$work/shell-rows.txt"

size_mb=$(awk -v b="$(stat -c %s "$work/draws-gbk.txt")" 'BEGIN { printf "%.1f", b / 1e6 }')
echo "$lines lines of 江西11选5 ($size_mb MB, GBK, mixed shapes):"
echo "  tarvo-cli import:                        $cli_ms ms, $cli_rows rows stored"
echo "  sqlite3 .import --csv (same draws, CSV): $shell_ms ms, $shell_rows rows stored"
if cmp -s "$work/cli-rows.txt" "$work/shell-rows.txt"; then
    echo "  both stored the same rows"
else
    echo "  the two stored different rows" >&2
    exit 1
fi
awk -v c="$cli_ms" -v s="$shell_ms" 'BEGIN { printf "  tarvo-cli / sqlite3 = %.2f\n", (s > 0 ? c / s : 0) }'
