#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (preset "sanitize",
# folder build-sanitize) and runs every test through ctest, each window test program on an X server
# of its own. Any memory error, undefined behaviour or leak in our code fails the run; leaks inside the system's X, font and graphics
# libraries are listed in scripts/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
started=$SECONDS

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"

cmake --preset sanitize
cmake --build --preset sanitize --parallel "${TARVO_JOBS:-2}"
echo "sanitize: build took $((SECONDS - started)) s"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
# Most tests spend their time waiting (on timers, a draw source, a locked file): twice as many run
# at once as there are processors.
ctest --preset sanitize --timeout 600 --parallel $((2 * $(nproc))) "$@"
echo "sanitize: build and tests took $((SECONDS - started)) s"
