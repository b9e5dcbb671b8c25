#!/usr/bin/env bash
# cmake --install into a temporary prefix: every file is there, the desktop entry and the
# AppStream data validate, and the installed program's first start makes the user's
# database from the template, then the next start uses it.
#   install_tree.sh BUILD_DIR APP_ID INSTALLED_FILES_LIST
set -euo pipefail
build=$1 app_id=$2 list=$3
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

while read -r f; do
  f=${f//@APP_ID@/$app_id}
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done <"$list"
[ -x "$prefix/bin/kenvora" ] || fail "kenvora is not executable"
[ ! -e "$prefix/bin/Kenvora.mdb" ] || fail "a database beside the installed program"
for size in 16 22 24 32 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/kenvora.png" |
    grep -q "PNG image data, $size x $size," || fail "icon ${size}x${size} has another size"
done

desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop entry"
grep -qx 'Name=Kenvora' "$prefix/share/applications/$app_id.desktop" || fail "desktop Name"
grep -qx 'Categories=Education;' "$prefix/share/applications/$app_id.desktop" || fail "Categories"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >"$work/as.log" 2>&1 ||
  { cat "$work/as.log"; fail "AppStream data"; }
grep -q '<p xml:lang="ja">' "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "no Japanese description"

# A user without any Kenvora files starts the installed program.
mkdir -p "$work/home" && mkdir -m 700 "$work/run"
run() {
  env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_DATA_HOME="$work/data" \
    XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen \
    "$prefix/bin/kenvora" >"$work/kenvora.log" 2>&1 &
  pid=$!
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=; }
ini=$work/config/KENVORA/KENVORA.ini
database=$work/data/Kenvora/Kenvora.mdb
run
for _ in $(seq 300); do
  [ -f "$ini" ] && grep -q FILE0 "$ini" && break
  kill -0 "$pid" 2>/dev/null || { cat "$work/kenvora.log"; fail "kenvora ended at its first start"; }
  sleep 0.1
done
sleep 1
kill -0 "$pid" 2>/dev/null || { cat "$work/kenvora.log"; fail "kenvora ended after its first start"; }
stop
[ -f "$database" ] || fail "no database in the user's data folder"
[ -w "$database" ] || fail "the user's database is not writable"
grep -qx "FILE0=$work/data/Kenvora" "$ini" || { cat "$ini"; fail "FILE0 is not the data folder"; }

# The second start keeps the user's data.
"$prefix/bin/kenvora-tool" sql "$database" \
  "INSERT INTO データベース設定 (dbID, データベース名) VALUES (1, '英単語')" >/dev/null
run
sleep 3
kill -0 "$pid" 2>/dev/null || { cat "$work/kenvora.log"; fail "kenvora ended at its second start"; }
stop
"$prefix/bin/kenvora-tool" sql "$database" "select  * from データベース設定" | grep -q 英単語 ||
  fail "the second start lost the user's set"
[ "$(ls "$work/data/Kenvora")" = Kenvora.mdb ] || fail "stray files: $(ls "$work/data/Kenvora")"
echo "install tree: $(wc -l <"$list") files, first and second start fine"
