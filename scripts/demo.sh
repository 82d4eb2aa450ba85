#!/usr/bin/env bash
# The main job, end to end: make a sample PDF with our own code and publish it as a book folder
# (with the mobile version) and as a ZIP archive.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
cli="$build/src/cli/leafmill-cli"
if [ ! -x "$cli" ]; then
  echo "demo: $cli is missing; run 'make build' first" >&2
  exit 1
fi

out="$root/out"
demo="$out/demo"
pdf="$out/sample.pdf"
zip="$out/demo.zip"
rm -rf "$demo" "$zip"
mkdir -p "$out"

echo "Making the sample PDF: $pdf"
"$cli" make-sample-pdf "$pdf"

echo "Publishing the book with its mobile version into $demo/"
"$cli" publish "$pdf" -o "$demo" --mobile --links --bookmarks --title "A Walk Through the Mill" \
  --set "bookTitle=A Walk Through the Mill" --description "The Leaf Mill demonstration book"

echo "Publishing the same book as a ZIP archive"
"$cli" publish "$pdf" -o "$out" --kind zip --name demo --links --bookmarks --title "A Walk Through the Mill" \
  --set "bookTitle=A Walk Through the Mill" --quiet

cat <<DONE

Done. Open in a browser:
  book:        file://$demo/index.html
  mobile book: file://$demo/mobile/index.html
ZIP archive (unpack it anywhere and open index.html):
  $zip
DONE
