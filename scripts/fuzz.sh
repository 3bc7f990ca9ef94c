#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 14 (AddressSanitizer and UndefinedBehaviorSanitizer on the
# targets and on the libraries they reach) in build-fuzz and runs each for FUZZ_SECONDS (15 by
# default), starting from the seed inputs in fuzz/corpus/<target>. Fails when any target crashes or
# breaks an invariant; the input that did it is saved as build-fuzz/artifacts/<target>-crash-…
# Inputs found along the way are kept in build-fuzz/corpus/<target> for the next run.
# The mutations follow FUZZ_SEED (1 by default), so that a CI run of a clean clone judges the code, not
# a draw of random inputs; FUZZ_SEED=0 draws a new seed each run, for hunting.
set -euo pipefail
cd "$(dirname "$0")/.."

TARVO_WITH_CLANG=1 bash scripts/setup-deps.sh
started=$SECONDS
seconds="${FUZZ_SECONDS:-15}"
seed="${FUZZ_SEED:-1}"
build="build-fuzz"
targets=(fuzz_feed_scan fuzz_page_items fuzz_feed_text fuzz_draw_row fuzz_json_draws fuzz_draw_text)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DTARVO_FUZZ=ON -DTARVO_BENCH=OFF -DTARVO_WERROR=ON >/dev/null
cmake --build "$build" --parallel "${TARVO_JOBS:-2}" --target "${targets[@]}"
echo "fuzz: build took $((SECONDS - started)) s"

export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
mkdir -p "$build/artifacts" "$build/logs"
failed=()
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus"
    if "$build/fuzz/$target" "$corpus" "fuzz/corpus/$target" -dict="fuzz/$target.dict" -seed="$seed" \
        -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1; then
        result=ok
    else
        result=FAILED
        failed+=("$target")
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 || true)
    echo "fuzz: $target: $result, ${runs:-?} executions in ${seconds} s, ${coverage:-cov: ?}, corpus $(find "$corpus" -type f | wc -l) inputs"
    if [ "$result" = FAILED ]; then
        grep -E 'ERROR|invariant broken|runtime error|SUMMARY|Test unit written' "$log" | head -20 || true
        echo "fuzz: full log in $log"
    fi
done
echo "fuzz: took $((SECONDS - started)) s"
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: crashes found in: ${failed[*]}"
    exit 1
fi
echo "fuzz: no crash found"
