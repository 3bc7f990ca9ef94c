#!/usr/bin/env bash
# Times `tarvo-cli report` over 100,000 stored draws of 江西11选5 against reading the same rows with the
# sqlite3 shell, in the same run, and prints both (target: the report within 1.5 times the reading).
# Usage: bash bench/report-vs-sqlite.sh [build folder, default build] [draw count, default 100000]
set -euo pipefail
# shellcheck source=stored-draws.sh
source "$(dirname "$0")/stored-draws.sh"
build=${1:-build}
count=${2:-100000}
cli="$build/tools/cli/tarvo-cli"
[[ -x "$cli" ]] || { echo "no $cli: build first" >&2; exit 1; }
command -v sqlite3 >/dev/null || { echo "the sqlite3 shell is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
db="$work/彩票数据.mdb"
table="江西11选5彩票号码表"
"$cli" init-db --db "$db" >/dev/null

StoreDraws "$db" "$table" "$count"

best_of_three() {
    local best=""
    for _ in 1 2 3; do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        local ms=$(((end - start) / 1000000))
        if [[ -z "$best" || $ms -lt $best ]]; then best=$ms; fi
    done
    echo "$best"
}

shell_ms=$(best_of_three sqlite3 "$db" "select * from $table order by 记录期号")
report_ms=$(best_of_three "$cli" report --db "$db" --lottery 江西11选5 --type 0 --item 0 --seed 12345)
# The reading alone, for a breakdown: omission reads the table and does little else.
omission_ms=$(best_of_three "$cli" omission --db "$db" --lottery 江西11选5)
echo "$count draws of 江西11选5: sqlite3 shell reads them in $shell_ms ms, tarvo-cli report takes $report_ms ms"
echo "(tarvo-cli omission, which reads the draws and does little else, takes $omission_ms ms)"
awk -v r="$report_ms" -v s="$shell_ms" 'BEGIN { printf "report / reading = %.2f (target <= 1.5)\n", (s > 0 ? r / s : 0) }'
