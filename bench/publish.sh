#!/usr/bin/env bash
# Publishing benchmark, in one run on one imported book (500 pages unless told otherwise):
#   first publish into a new folder   against  cp -r of the same page files
#   republishing the unchanged book into its own folder (what the live preview does after every
#   change)                            against  the first publish
# Both publishes go through `leafmill-cli reopen`, so each also pays process start-up and reading
# the book description back; the import itself is done once beforehand and not timed.
# Usage: bench/publish.sh <build-dir> [pages]
set -euo pipefail
shopt -s inherit_errexit   # a failing tool inside $(...) ends the run instead of timing nothing
build=${1:-build}
pages=${2:-500}
cmake --build "$build" --target leafmill-cli bench_import -j"$(nproc)" >/dev/null
cli="$build/src/cli/leafmill-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

echo "publish benchmark: making and importing a $pages-page book (not timed)"
"$build/bench/bench_import" --make-book "$work/book.pdf" --pages "$pages" >/dev/null
"$cli" publish "$work/book.pdf" -o "$work/imported" --engine jpg --quality 0 --quiet

seconds() { local start end; start=$(date +%s.%N); "$@"; end=$(date +%s.%N); awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# Best of three rounds of each, every round into a fresh folder (the republish into its own).
best() { printf '%s\n' "$@" | sort -g | head -1; }
copies=() firsts=() agains=()
for round in 0 1 2 3; do
  # Each step starts with nothing left to write back, so none pays for the one before.
  sync; copies+=("$(seconds cp -r "$work/imported/files" "$work/copied$round")")
  sync; firsts+=("$(seconds "$cli" reopen "$work/imported" -o "$work/published$round" --quiet)")
  sync; agains+=("$(seconds "$cli" reopen "$work/published$round" -o "$work/published$round" --quiet)")
  rm -rf "$work/copied$round" "$work/published$round"
  [ "$round" = 0 ] && copies=() firsts=() agains=()  # a warm-up round, not counted
done
copy=$(best "${copies[@]}") first=$(best "${firsts[@]}") again=$(best "${agains[@]}")
echo "rounds (s): cp -r ${copies[*]}; first publish ${firsts[*]}; republish ${agains[*]}"

files=$(find "$work/imported/files" -type f | wc -l)
size=$(du -sh "$work/imported/files" | cut -f1)
printf 'book: %s pages, %s files, %s\n' "$pages" "$files" "$size"
printf 'cp -r of the page files     %7.3f s\n' "$copy"
printf 'first publish               %7.3f s   ratio to cp -r        %s (target <= 1.5)\n' "$first" "$(ratio "$first" "$copy")"
printf 'republish, nothing changed  %7.3f s   ratio to first publish %s (target <= 0.2)\n' "$again" "$(ratio "$again" "$first")"
