#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 14 (AddressSanitizer and UndefinedBehaviorSanitizer on the
# targets and on the libraries they reach) in build-fuzz and runs each one, in one of two ways:
#
#   bash scripts/fuzz.sh                      checks: each target runs every input of its seed corpus
#                                             fuzz/corpus/<target> (which holds every input that ever
#                                             broke it), then inputs mutated with the fixed seed
#                                             FUZZ_SEED (1) up to a fixed number of executions in all.
#                                             The same code gives the same run on any machine, however
#                                             fast; FUZZ_RUNS sets that number for every target at once.
#   bash scripts/fuzz.sh --explore [SECONDS]  hunts: each target runs SECONDS (600 by default) with a
#                                             new seed, from the seeds and from the inputs earlier hunts
#                                             found, kept in build-fuzz/corpus/<target> and grown by this
#                                             one; prints how far coverage and that corpus grew.
#
# Each target's executions and time are printed. Fails when any target crashes or breaks an
# invariant; the input that did it is saved as build-fuzz/artifacts/<target>-crash-… and, once the
# fault is mended, belongs in fuzz/corpus/<target> with a unit test of its own.
set -euo pipefail
cd "$(dirname "$0")/.."

build="build-fuzz"
targets=(fuzz_feed_scan fuzz_page_items fuzz_feed_text fuzz_draw_row fuzz_json_draws fuzz_draw_text)
# Executions per target when checking: 10 to 15 s each on a 2-core machine, so the slower targets fewer.
declare -A check_runs=(
    [fuzz_feed_scan]=100000 [fuzz_page_items]=50000 [fuzz_feed_text]=60000
    [fuzz_draw_row]=300000 [fuzz_json_draws]=200000 [fuzz_draw_text]=150000
)

mode=check
seconds=600
if [ "${1:-}" = "--explore" ]; then
    mode=explore
    seconds="${2:-600}"
elif [ $# -gt 0 ]; then
    echo "usage: bash scripts/fuzz.sh [--explore [SECONDS]]" >&2
    exit 2
fi

TARVO_WITH_CLANG=1 bash scripts/setup-deps.sh
started=$SECONDS
# Line tables are all a crash report needs, and a third of the compile time is the rest of the debug
# information.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DCMAKE_CXX_COMPILER=clang++-14 \
    -DTARVO_FUZZ=ON -DTARVO_BENCH=OFF -DTARVO_WERROR=ON >/dev/null
cmake --build "$build" --parallel "${TARVO_JOBS:-2}" --target "${targets[@]}"
echo "fuzz: build took $((SECONDS - started)) s"

export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
TIMEFORMAT="%R %U %S"
# A check is the same run every time only when Qt's hashes take no new seed in each process, when
# addresses do not move between runs (the fuzzer learns from compared values, pointers among them)
# and when libFuzzer does not reread its corpus directory on a timer.
same_addresses=()
if [ "$mode" = check ]; then
    export QT_HASH_SEED=0
    if setarch "$(uname -m)" -R true 2>/dev/null; then
        same_addresses=(setarch "$(uname -m)" -R)
    else
        echo "fuzz: cannot turn address randomization off here; runs may differ slightly"
    fi
fi
mkdir -p "$build/artifacts" "$build/logs"

# The corpus directory libFuzzer writes new inputs to: a fresh one for a check, so that inputs from
# earlier runs do not change its course; the kept one for a hunt.
output_corpus() {
    local target=$1
    if [ "$mode" = check ]; then
        rm -rf "$build/check-corpus/$target"
        mkdir -p "$build/check-corpus/$target"
        echo "$build/check-corpus/$target"
    else
        mkdir -p "$build/corpus/$target"
        echo "$build/corpus/$target"
    fi
}

# Runs one target; its libFuzzer log goes to $build/logs/<target>.log.
fuzz_target() {
    local target=$1 corpus=$2
    local how=(-seed="${FUZZ_SEED:-1}" -runs="${FUZZ_RUNS:-${check_runs[$target]}}" -reload=0)
    [ "$mode" = explore ] && how=(-seed=0 -max_total_time="$seconds")
    "${same_addresses[@]}" "$build/fuzz/$target" "$corpus" "fuzz/corpus/$target" -dict="fuzz/$target.dict" \
        "${how[@]}" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" >"$build/logs/$target.log" 2>&1
}

# Keeps of a hunt's corpus only the inputs that reach coverage the others do not.
minimize_corpus() {
    local target=$1 corpus=$2
    local merged="$corpus.merging"
    rm -rf "$merged"
    mkdir -p "$merged"
    if "$build/fuzz/$target" -merge=1 "$merged" "$corpus" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        >"$build/logs/$target.merge.log" 2>&1; then
        rm -rf "$corpus"
        mv "$merged" "$corpus"
    else
        rm -rf "$merged"
        echo "fuzz: $target: the corpus could not be minimized; see $build/logs/$target.merge.log"
    fi
}

count_files() {
    find "$1" -type f | wc -l
}

# "cov: C ft: F" from the first line of the log that holds `mark`, or from its last coverage line.
coverage_at() {
    local log=$1 mark=$2 line
    if [ "$mark" = last ]; then
        line=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1 || true)
    else
        line=$(grep -E "^#[0-9]+[[:space:]]+$mark" "$log" | head -1 || true)
    fi
    grep -oE 'cov: [0-9]+ ft: [0-9]+' <<<"$line" || echo "cov: ? ft: ?"
}

# One line per target: executions, time, coverage; when hunting, coverage and corpus before and after.
report() {
    local target=$1 result=$2 before=$3 corpus=$4 elapsed=$5 user=$6 system=$7
    local log="$build/logs/$target.log"
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    local line
    line=$(awk -v n="${runs:-0}" -v t="$elapsed" -v u="$user" -v s="$system" \
        'BEGIN { c = u + s; printf "%d executions in %.1f s (%.1f s of CPU, %d per CPU second)", n, t, c, (c > 0 ? n / c : 0) }')
    line="fuzz: $target: $result, $line"
    if [ "$mode" = check ]; then
        line+=", $(coverage_at "$log" last)"
    else
        line+=", $(coverage_at "$log" INITED) at start, $(coverage_at "$log" last) at end"
        line+=", corpus $before -> $(count_files "$corpus") inputs"
    fi
    echo "$line"
    if [ "$result" = FAILED ]; then
        grep -E 'ERROR|invariant broken|runtime error|SUMMARY|Test unit written' "$log" | head -20 || true
        echo "fuzz: full log in $log"
    fi
}

[ "$mode" = explore ] && echo "fuzz: exploring each target for $seconds s with a new seed"

# One target's run; what came of it goes to $build/logs/<target>.result, .before and .times.
run_target() {
    local target=$1 corpus result=ok
    corpus=$(output_corpus "$target")
    count_files "$corpus" >"$build/logs/$target.before"
    { time fuzz_target "$target" "$corpus"; } 2>"$build/logs/$target.times" || result=FAILED
    if [ "$mode" = explore ]; then
        minimize_corpus "$target" "$corpus"
    fi
    echo "$result $corpus" >"$build/logs/$target.result"
}

# As many targets at once as there are processors: a target's run is the same whatever runs beside it.
running=0
for target in "${targets[@]}"; do
    rm -f "$build/logs/$target.result"
    if [ "$running" -ge "$(nproc)" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    run_target "$target" &
    running=$((running + 1))
done
wait || true
failed=()
for target in "${targets[@]}"; do
    result=FAILED
    corpus=""
    [ -f "$build/logs/$target.result" ] && read -r result corpus <"$build/logs/$target.result"
    [ "$result" = ok ] || failed+=("$target")
    report "$target" "$result" "$(cat "$build/logs/$target.before" 2>/dev/null || echo 0)" "$corpus" \
        $(tail -1 "$build/logs/$target.times" 2>/dev/null || echo 0 0 0)
done
echo "fuzz: took $((SECONDS - started)) s"
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: crashes found in: ${failed[*]}"
    exit 1
fi
echo "fuzz: no crash found"
