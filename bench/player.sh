#!/usr/bin/env bash
# Player benchmark: a published 500-page book against a 10-page one in headless Chromium, time to
# the first painted page and the bytes fetched before it (the player's code lives in web/).
set -euo pipefail
exec node "$(cd "$(dirname "$0")/.." && pwd)/web/bench/player.mjs" "$@"
