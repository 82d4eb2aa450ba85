#!/usr/bin/env bash
# Player benchmark: a published 500-page book against a 10-page one, and a generated manual-like
# book published by leafmill-cli (from the build folder), in headless Chromium: time to the first
# painted page, what was fetched before it, the mobile page's size (the player's code is in web/).
#   bench/player.sh [build-dir]
set -euo pipefail
exec node "$(cd "$(dirname "$0")/.." && pwd)/web/bench/player.mjs" "$@"
