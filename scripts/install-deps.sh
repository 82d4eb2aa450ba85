#!/usr/bin/env bash
# Installs what the build and the tests need and is not on the machine yet. Safe to run again:
# it asks apt only for missing packages and runs `npm ci` only when the lock file changed.
set -euo pipefail
cd "$(dirname "$0")/.."

APT_PACKAGES=(
  build-essential cmake pkg-config git
  qt6-base-dev qt6-webengine-dev qt6-webchannel-dev libqt6opengl6-dev
  libpoppler-qt6-dev libpoppler-glib-dev libturbojpeg0-dev libjpeg-dev zlib1g-dev libpugixml-dev libxml2-dev libspdlog-dev
  libgtest-dev libgmock-dev
  zip unzip python3 poppler-utils mupdf-tools
  chromium xvfb xauth
  desktop-file-utils appstream
  clang libclang-rt-dev llvm
)
# Node.js may come from elsewhere with npm built in; ask apt for it only when it is absent.
command -v npm >/dev/null 2>&1 || APT_PACKAGES+=(nodejs npm)

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

missing=()
for pkg in "${APT_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The player's packages (page turning, inflating, browser tests), pinned by the lock file.
if [ -f web/package-lock.json ]; then
  stamp=web/node_modules/.lock-stamp
  if [ ! -f "$stamp" ] || ! cmp -s web/package-lock.json "$stamp"; then
    echo "install-deps: npm ci in web/"
    (cd web && npm ci --no-audit --no-fund)
    cp web/package-lock.json "$stamp"
  fi
fi
