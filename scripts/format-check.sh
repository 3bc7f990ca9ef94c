#!/usr/bin/env bash
# Fails, naming the files, when clang-format would change any C++ file git tracks. Installs
# clang-format (Debian 12: version 14, the version .clang-format is written for) when it is missing.
# With --fix it formats those files in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null 2>&1; then
    as_root=()
    [ "$(id -u)" -ne 0 ] && as_root=(sudo)
    echo "Installing: clang-format"
    "${as_root[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends clang-format
fi

mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.inl')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi

# Files in batches, as many batches at once as there are processors; clang-format names each place
# it would change as "file:line:column: error: code should be clang-formatted".
status=0
said=$(printf '%s\0' "${files[@]}" | xargs -0 -P "$(nproc)" -n 32 clang-format --dry-run --Werror 2>&1 >/dev/null) ||
    status=$?
mapfile -t unformatted < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$said" | sort -u)
if [ "$status" -ne 0 ] && [ ${#unformatted[@]} -eq 0 ]; then
    echo "format-check: clang-format failed:"
    head -20 <<<"$said"
    exit 1
fi
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "format-check: clang-format would change these files (run: bash scripts/format-check.sh --fix):"
    printf '  %s\n' "${unformatted[@]}"
    exit 1
fi
echo "format-check: ${#files[@]} files formatted as .clang-format says"
