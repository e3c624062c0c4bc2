#!/usr/bin/env bash
# Builds the Debian package from a configured and built build folder and checks it: the files it
# must hold, its dependencies, lintian (no errors; warnings are printed), desktop-file-validate on
# the desktop entry, appstreamcli validate on the metainfo and update-mime-database on the MIME
# type. Nothing is installed.
#
# Usage: scripts/check-package.sh BUILD_DIR
set -euo pipefail
build_dir="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli \
            update-mime-database file; do
  command -v "$tool" >/dev/null || {
    echo "check-package: $tool is missing (scripts/install-deps.sh package)" >&2
    exit 1
  }
done

if ! cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  exit 1
fi
deb="$(ls "$work"/out/tarvelin_*.deb)"
echo "package: $(basename "$deb")"

failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

root="$work/root"
dpkg-deb -x "$deb" "$root"
for path in usr/bin/tarvelin usr/bin/tarvelin-cli \
            usr/share/applications/tarvelin.desktop \
            usr/share/mime/packages/tarvelin.xml \
            usr/share/metainfo/example.tarvelin.Tarvelin.metainfo.xml \
            usr/share/icons/hicolor/scalable/apps/tarvelin.svg \
            usr/share/icons/hicolor/32x32/apps/tarvelin.png \
            usr/share/icons/hicolor/64x64/apps/tarvelin.png \
            usr/share/icons/hicolor/128x128/apps/tarvelin.png \
            usr/share/man/man1/tarvelin.1.gz usr/share/man/man1/tarvelin-cli.1.gz \
            usr/share/doc/tarvelin/copyright usr/share/doc/tarvelin/changelog.gz; do
  [ -e "$root/$path" ] || fail "missing /$path"
done
file "$root/usr/share/icons/hicolor/64x64/apps/tarvelin.png" | grep -q '64 x 64' ||
  fail "the 64x64 icon is not 64 x 64 pixels"

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6svg6 libcurl4 fonts-wine fonts-liberation2; do
  grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed"
done

grep -qx 'Exec=tarvelin %f' "$root/usr/share/applications/tarvelin.desktop" ||
  fail "the desktop entry does not start 'tarvelin %f'"
desktop-file-validate "$root/usr/share/applications/tarvelin.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"

# The MIME type must map *.edl files once the database is built.
mkdir -p "$work/mime/packages"
cp "$root/usr/share/mime/packages/tarvelin.xml" "$work/mime/packages/"
update-mime-database "$work/mime" >/dev/null 2>&1 || fail "update-mime-database"
grep -q 'text/x-edl:\*\.edl' "$work/mime/globs" || fail "*.edl is not mapped to text/x-edl"

echo "lintian:"
if ! lintian --fail-on error --display-level ">=warning" "$deb"; then
  fail "lintian reports errors"
fi

[ "$failed" -eq 0 ] && echo "package check passed"
exit "$failed"
