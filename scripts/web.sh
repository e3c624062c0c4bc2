#!/usr/bin/env bash
# Builds Tarvelin im Browser (web/) and serves it on http://localhost:8000/.
#   scripts/web.sh               build, then serve the page until Ctrl+C
#   scripts/web.sh --build-only  build only; the last line printed is the absolute path of the
#                                built index.html, which also works when opened from disk
# Installs what is missing first (scripts/install-deps.sh web), unpacks Debian's zlib and
# libxlsxwriter source packages into build/web-src once, and compiles with emscripten into
# build/web (the page itself lands in build/web/site).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

mode=serve
case "${1:-}" in
  "") ;;
  --build-only) mode=build ;;
  *) echo "Aufruf: scripts/web.sh [--build-only]" >&2; exit 2 ;;
esac

scripts/install-deps.sh web

# Debian's emscripten finds its JavaScript modules there, also under a Node.js of another origin.
export NODE_PATH=/usr/share/nodejs

sources="$root/build/web-src"
# Prints the unpacked folder of a source package, fetching it with apt-get source the first time.
source_folder() {
  local package=$1 stamp="$sources/$1.unpacked"
  if [ ! -f "$stamp" ]; then
    rm -rf "$sources/$package"
    mkdir -p "$sources/$package"
    (cd "$sources/$package" && apt-get source -qq "$package" >&2)
    find "$sources/$package" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' >"$stamp"
  fi
  echo "$sources/$package/$(head -n 1 "$stamp")"
}
zlib=$(source_folder zlib)
xlsxwriter=$(source_folder libxlsxwriter)

emcmake cmake -S web -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTARVELIN_ZLIB_SOURCE="$zlib" -DTARVELIN_XLSXWRITER_SOURCE="$xlsxwriter" >/dev/null
cmake --build build/web -j "${CMAKE_BUILD_PARALLEL_LEVEL:-2}"

site="$root/build/web/site"
if [ "$mode" = build ]; then
  echo "$site/index.html"
  exit 0
fi
echo "Tarvelin im Browser: http://localhost:8000/ (beenden mit Strg+C)"
exec python3 -m http.server 8000 --bind 127.0.0.1 --directory "$site"
