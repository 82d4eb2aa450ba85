#!/bin/sh
# Rebuilds the shipped template library: text data first, then pictures and book.swf.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
python3 "$here/scripts/make-template-library.py"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
g++ -std=c++20 -O1 -fPIC -o "$out/template-art" "$here/src/tools/template-art/main.cpp" \
    $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$out/template-art" "$here/resources/AppFiles"
