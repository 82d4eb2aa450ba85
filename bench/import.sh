#!/usr/bin/env bash
# Page-render benchmark: our full import (JPEG pages at quality level 0, thumbnails, phone pages,
# rendered once per page on every core) against pdftoppm (pages only) in one run.
# Usage: bench/import.sh <build-dir> [book.pdf] [--pages N] [--rounds R]
set -euo pipefail
build=${1:-build}
shift || true
cmake --build "$build" --target bench_import pdf2swf -j"$(nproc)" >/dev/null
exec env QT_QPA_PLATFORM=offscreen "$build/bench/bench_import" "$@"
