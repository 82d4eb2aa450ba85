#!/usr/bin/env bash
# All benchmarks; each runs us and a peer in one run and prints the ratio.
#   bench/run.sh <build-dir>            import (300 generated pages), publishing, player, app
#   bench/import.sh <build-dir> [book.pdf] [--pages N]   the import benchmark alone
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
bash "$here/import.sh" "$build"
bash "$here/publish.sh" "$build"
bash "$here/player.sh" "$build"
cmake --build "$build" --target app_bench -j"$(nproc)" >/dev/null && \
  env QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 "$build/bench/app/app_bench"
