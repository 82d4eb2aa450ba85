#!/usr/bin/env bash
# Builds the Debian package from a finished build tree and checks it as a user would meet it:
# its dependencies resolve on a Debian 12 with nothing installed, it holds every resource the build
# made, its desktop entry and metadata are valid, and the installed programs run and publish a
# book. With LEAFMILL_PACKAGE_INSTALL=1 (as root) the package is really installed with apt and
# removed again; otherwise it is unpacked into a folder and run from there.
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
installed_here=0
cleanup() {
  if [ "$installed_here" = 1 ]; then
    apt-get purge -y -q -o DPkg::Lock::Timeout=300 leafmill >/dev/null || echo "could not remove leafmill" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== building the package"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$build"/package/leafmill_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6webenginewidgets6 libpoppler-qt6 libpugixml1v5 libxml2 zlib1g; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

echo "== its dependencies on a Debian 12 with nothing installed"
: >"$work/empty-status"
apt-get install -s -q -o Dir::State::status="$work/empty-status" "$deb" >"$work/resolve.log" 2>&1 \
  || { cat "$work/resolve.log"; fail "the dependencies do not resolve"; }
grep -q '^Inst leafmill ' "$work/resolve.log" || { cat "$work/resolve.log"; fail "apt would not install leafmill"; }

echo "== contents"
root="$work/root"
dpkg-deb -x "$deb" "$root"
(cd "$build/resources" && find . -type f | sort) >"$work/built"
(cd "$root/usr/share/leafmill" && find . -type f | sort) >"$work/packaged"
missing=$(comm -23 "$work/built" "$work/packaged")
[ -z "$missing" ] || fail "resources the build made but the package lacks: $missing"
[ -x "$root/usr/share/leafmill/lib/pdf2swf" ] || fail "the page converter is not executable"
desktop-file-validate "$root/usr/share/applications/org.quirevale.LeafMill.desktop"
appstreamcli validate --no-net --strict "$root/usr/share/metainfo/org.quirevale.LeafMill.metainfo.xml" >/dev/null
[ -f "$root/usr/share/icons/hicolor/scalable/apps/org.quirevale.LeafMill.svg" ] || fail "no icon"

prefix="$root/usr"
if [ "${LEAFMILL_PACKAGE_INSTALL:-0}" = 1 ] && [ "$(id -u)" = 0 ]; then
  if dpkg-query -W -f='${Status}' leafmill 2>/dev/null | grep -q 'install ok installed'; then
    echo "== leafmill is already installed on this machine: checking the unpacked package instead"
  else
    echo "== installing with apt"
    installed_here=1
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=300 "$deb" >"$work/install.log" 2>&1 \
      || { cat "$work/install.log"; fail "apt-get install"; }
    prefix=/usr
  fi
fi

echo "== running the programs in $prefix/bin"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
for edition in leafmill foliopresspro; do
  version=$("$prefix/bin/$edition" --version 2>/dev/null)
  [[ "$version" == "$edition "[0-9]* ]] || fail "$edition --version said: $version"
done
"$prefix/bin/leafmill-cli" make-sample-pdf "$work/sample.pdf" >/dev/null
"$prefix/bin/leafmill-cli" publish "$work/sample.pdf" -o "$work/book" --engine swf --mobile --links --bookmarks --quiet
book="$work/book"
grep -q PageFlip "$book/index.html" || fail "the published page has no player"
[ -s "$book/files/book.bin" ] || fail "no book description"
ls "$book"/files/page/*.swf >/dev/null 2>&1 || fail "no SWF pages (the installed converter did not run)"
[ -f "$book/mobile/index.html" ] || fail "no mobile version"
QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu \
  timeout 180 "$prefix/bin/leafmill" --quit-when-ready >"$work/app.log" 2>&1 \
  || { tail -20 "$work/app.log"; fail "the application did not show its preview"; }
echo "package $(basename "$deb") checked"
