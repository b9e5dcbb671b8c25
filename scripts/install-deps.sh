#!/usr/bin/env bash
# Installs the Debian packages Kenvora needs to build, run and test. Idempotent; run as root.
#   --package      also what scripts/package.sh needs beyond that (lintian)
#   --screenshots  also what scripts/screenshots.sh needs (an X server, a window manager)
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-qpa-plugins libgl-dev
  libsqlite3-dev sqlite3 libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  liblhasa-dev lhasa jlha-utils
  libzip-dev libgcab-dev zlib1g-dev zip unzip p7zip-full cabextract gcab
  fonts-ipafont-gothic fonts-ipafont-mincho
  qt6-translations-l10n
  clang clang-format clang-tidy python3
  xvfb xauth openbox twm xdotool x11-utils
  # the icon, the desktop files and the Debian package
  librsvg2-bin desktop-file-utils appstream dpkg-dev file
)
for arg in "$@"; do
  case $arg in
    --package) packages+=(lintian) ;;
    --screenshots) packages+=(xvfb xauth openbox imagemagick xdotool) ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1 || {
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  }
fi
