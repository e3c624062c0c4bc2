#!/usr/bin/env bash
# Installs the Debian packages Tarvelin needs, by group; without arguments only "build".
#   build    compile and run the program and tarvelin-cli
#   test     unit, widget and CLI tests (LibreOffice reads the workbook back), benchmarks,
#            sanitizers, fuzzing, formatting check
#   package  the Debian package (scripts/package.sh) and its checks
#   web      the page (emscripten, zlib and libxlsxwriter sources) and its browser tests
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(build)

packages=()
for group in "${groups[@]}"; do
  case "$group" in
    build)
      packages+=(build-essential cmake ninja-build pkg-config git
                 qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libqt6svg6
                 qt6-translations-l10n libcurl4-openssl-dev libxlsxwriter-dev
                 fonts-wine fonts-liberation2) ;;
    test)
      packages+=(libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev libre2-dev
                 clang libclang-rt-14-dev llvm lld
                 xvfb xauth imagemagick python3 python3-openpyxl unzip clang-format-14
                 libreoffice-calc-nogui) ;;
    package)
      packages+=(dpkg-dev fakeroot file lintian man-db desktop-file-utils appstream
                 shared-mime-info) ;;
    web)
      packages+=(cmake ninja-build emscripten dpkg-dev xz-utils bzip2 python3
                 chromium chromium-driver python3-selenium python3-openpyxl)
      web_sources=yes ;;
    *)
      echo "install-deps.sh: unknown group '$group'" >&2
      exit 2 ;;
  esac
done

# The page compiles zlib and libxlsxwriter from Debian's source packages (apt-get source), which
# needs a deb-src entry beside the system's binary one.
if [ "${web_sources:-}" = yes ] &&
   ! { apt-cache showsrc zlib 2>/dev/null | grep -q '^Package: zlib$' &&
       apt-cache showsrc libxlsxwriter 2>/dev/null | grep -q '^Package: libxlsxwriter$'; }; then
  . /etc/os-release
  echo "Adding Debian source packages (deb-src) for ${VERSION_CODENAME}"
  sudo_src=()
  [ "$(id -u)" -eq 0 ] || sudo_src=(sudo)
  printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" \
    "Suites: ${VERSION_CODENAME}" "Components: main" \
    "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
    "${sudo_src[@]}" tee /etc/apt/sources.list.d/tarvelin-web-src.sources >/dev/null
  "${sudo_src[@]}" apt-get update -qq
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
