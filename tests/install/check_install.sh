#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks and validates what lands there;
# given a PREFIX, checks what is already installed there (the package test's /usr).
# Usage: check_install.sh BUILD [PREFIX]
set -euo pipefail
build=$1
if [ $# -ge 2 ]; then
  prefix=$2
else
  prefix=$(mktemp -d)
  trap 'rm -rf "$prefix"' EXIT
  cmake --install "$build" --prefix "$prefix" > /dev/null
fi

fail() { echo "FAIL: $*"; exit 1; }
[ -x "$prefix/bin/vellumo" ] || fail "program not installed"
desktop="$prefix/share/applications/vellumo.desktop"
[ -f "$desktop" ] || fail "desktop file not installed"
grep -qx 'Exec=vellumo %f' "$desktop" || fail "Exec line"
grep -qx 'MimeType=application/pdf;' "$desktop" || fail "MimeType line"
grep -qx 'GenericName=PDF 阅读器' "$desktop" || fail "GenericName line"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.vellumo.Vellumo.metainfo.xml" \
  || fail "appstreamcli validate"

# PNG width and height are the big-endian words at bytes 16 and 20.
for size in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/vellumo.png"
  [ -f "$icon" ] || fail "icon $size missing"
  dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "icon $size is $dims"
done
# The manual page as man shows it (compressed in the package): no warning at all.
page=$(ls "$prefix"/share/man/man1/vellumo.1* 2>/dev/null | head -n 1)
[ -n "$page" ] || fail "manual page not installed"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page warnings: $warnings"
echo "1 passed, 0 failed"
