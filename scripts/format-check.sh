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

unformatted=()
for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "format-check: clang-format would change these files (run: bash scripts/format-check.sh --fix):"
    printf '  %s\n' "${unformatted[@]}"
    exit 1
fi
echo "format-check: ${#files[@]} files formatted as .clang-format says"
