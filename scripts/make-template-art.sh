#!/bin/sh
# Rebuilds the shipped template library: text data first, then pictures and book.swf.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
python3 "$here/scripts/make-template-library.py"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
qt=$(pkg-config --cflags --libs Qt6Gui)
# The tool writes its movies with the page converter's SWF writer.
g++ -std=c++20 -O1 -fPIC -I"$here/src" -o "$out/template-art" "$here/src/tools/template-art/main.cpp" \
    "$here/src/pdf2swf/SwfMovieWriter.cpp" $qt
QT_QPA_PLATFORM=offscreen "$out/template-art" "$here/resources/AppFiles"
