#!/usr/bin/env bash
# The Debian package cpack makes from this build: its name, its files and its Depends.
#   debian_package.sh BUILD_DIR APP_ID INSTALLED_FILES_LIST VERSION
set -euo pipefail
build=$1 app_id=$2 list=$3 version=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack"; }
arch=$(dpkg --print-architecture)
deb=$work/out/kenvora_${version}_$arch.deb
[ -f "$deb" ] || { ls "$work/out"; fail "no kenvora_${version}_$arch.deb"; }

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort >"$work/files"
sed "s/@APP_ID@/$app_id/" "$list" | sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "the package's files differ from the install's"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ && $2 != "root/root" { bad = 1 } END { exit bad }' ||
  fail "files not owned by root"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 'libstdc\+\+6' libqt6core6 libqt6gui6 libqt6widgets6 libsqlite3-0 'libicu[0-9]+' \
  liblhasa0 qt6-qpa-plugins fonts-ipafont-gothic fonts-ipafont-mincho; do
  grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = kenvora ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "architecture"
echo "package: $(wc -l <"$work/files") files; Depends: $depends"
