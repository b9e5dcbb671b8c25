#!/usr/bin/env bash
# Builds the Debian package kenvora_<version>_amd64.deb in ./build-package: a release build
# of the program alone, with Debian's hardening flags and without -Werror. Then lintian
# looks at it; an error there fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --package
export CCACHE_BASEDIR="$PWD"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DKENVORA_WERROR=OFF \
  -DKENVORA_BUILD_TESTS=OFF -DKENVORA_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-package -j2
rm -f build-package/kenvora_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/kenvora_*.deb)
status=0
report=$(lintian --fail-on error "$deb" 2>&1) || status=$?
# lintian's remark about running as root is how this script runs, not about the package.
grep -v 'running with root privileges' <<<"$report" || true
echo "$deb"
exit "$status"
