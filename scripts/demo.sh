#!/usr/bin/env bash
# The main job: a PDF to a published book.
set -euo pipefail
build=${1:-build}
echo "Leaf Mill is built in $build/. Publishing from the command line arrives with leafmill-cli."
