#!/usr/bin/env bash
# Prints the non-blank lines of test code (tests/: C++, Python, shell, CMake) against those of the
# product code (src/, scripts/, resources/, bench/) in the same languages, and their ratio.
# Goal: at most 0.33.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

count() {
    git ls-files -co --exclude-standard -- "$@" |
        grep -E '\.(cpp|h|py|sh)$|(^|/)CMakeLists\.txt$' |
        while IFS= read -r f; do [ -f "$f" ] && printf '%s\0' "$f"; done |
        xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true
}

tests=$(count tests)
product=$(count src scripts resources bench)
ratio=$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.2f", (p > 0 ? t / p : 0) }')
echo "test lines: $tests"
echo "product lines: $product"
echo "ratio: $ratio"
