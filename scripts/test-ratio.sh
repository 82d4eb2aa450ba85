#!/usr/bin/env bash
# Lines of tests against lines of code: all tracked files under tests/ against the C++ of src/ and
# the JavaScript, CSS and HTML of web/src/, overall and per side.
set -euo pipefail
cd "$(dirname "$0")/.."
lines() { if [ $# -eq 0 ]; then echo 0; else cat "$@" | wc -l; fi; }
mapfile -t tests < <(git ls-files tests)
mapfile -t code < <(git ls-files src web/src | grep -E '\.(cpp|h|js|mjs|css|html)$')
mapfile -t cppTests < <(git ls-files tests/unit tests/support tests/CMakeLists.txt)
mapfile -t cppCode < <(git ls-files src | grep -E '\.(cpp|h)$')
mapfile -t webTests < <(git ls-files tests/browser)
mapfile -t webCode < <(git ls-files web/src | grep -E '\.(js|mjs|css|html)$')
ratio() { awk -v t="$2" -v c="$3" -v n="$1" 'BEGIN { printf "%-6s tests %6d  code %6d  ratio %5.1f%%\n", n, t, c, 100 * t / c }'; }
ratio all "$(lines "${tests[@]}")" "$(lines "${code[@]}")"
ratio C++ "$(lines "${cppTests[@]}")" "$(lines "${cppCode[@]}")"
ratio web "$(lines "${webTests[@]}")" "$(lines "${webCode[@]}")"
