#!/usr/bin/env bash
# Builds the Debian package from the build, checks its control fields and files,
# has lintian look for errors, and starts the program unpacked from it on the
# sample document: its first page shows and Ctrl+Q ends it with status 0.
# Usage: check_package.sh BUILD MAKE_SAMPLE   (status 77: skipped)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
if ! command -v dpkg-deb >/dev/null; then
  echo "SKIP: dpkg-deb is not installed, so no Debian package can be built here"
  exit 77
fi

fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
deb=$(VELLUMO_BUILD_DIR="$build" "$here/../../scripts/package" "$work")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ "$deb" = "$work/vellumo_${version}_$(dpkg --print-architecture).deb" ] || fail "package is $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vellumo ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
# The libraries the program links, found by dpkg-shlibdeps, and what it reads at run time.
depends=$(field Depends)
for needed in 'libc6 (>=' 'libqt6widgets6 (>=' 'libopencc1.1 (>=' libcups2 fonts-noto-cjk \
              libopencc-data qt6-translations-l10n; do
  grep -qF "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ "$(field Recommends)" = qt6-wayland ] || fail "Recommends: $(field Recommends)"
description=$(field Description)
grep -q 'PDF reader' <<<"$description" || fail "no English description"
grep -q 'PDF 阅读器' <<<"$description" || fail "no Chinese description"

root="$work/root"
dpkg-deb -x "$deb" "$root"
outside=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "files outside /usr: $outside"
[ -z "$(find "$root" -name bk.ini)" ] || fail "the package holds a bk.ini"
bash "$here/check_install.sh" "$build" "$root/usr" >"$work/install.log" 2>&1 \
  || { cat "$work/install.log"; fail "the package's files"; }
doc="$root/usr/share/doc/vellumo"
[ "$(head -n 1 "$doc/copyright")" = 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ] \
  || fail "copyright is not in the machine-readable format"
grep -qx 'License: AGPL-3.0-or-later' "$doc/copyright" || fail "copyright names no AGPL-3.0-or-later"
grep -q 'GNU AFFERO GENERAL PUBLIC LICENSE' "$doc/copyright" || fail "copyright lacks the licence text"
[ -f "$doc/changelog.gz" ] || fail "no changelog.gz"

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" || fail "lintian reports errors"
else
  echo "lintian is not installed: not run"
fi

bash "$here/../e2e/opens_document.sh" "$root/usr/bin/vellumo" "$2" || fail "the unpacked program"
[ ! -e "$root/usr/bin/bk.ini" ] || fail "the unpacked program wrote bk.ini beside itself"
echo "1 passed, 0 failed"
