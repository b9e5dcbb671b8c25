#!/usr/bin/env bash
# Screenshots of the real program for the README and the AppStream data:
#   docs/images/main-window.png  the main window with a record window
#   docs/images/test-window.png  the test window asking a question
# Runs build/bin/kenvora on sample records (kenvora-tool gen) under Xvfb with openbox.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --screenshots
scripts/build.sh --target kenvora kenvora-tool supplied_database >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A user with three generated sets; 漢字検定２級 was open at the last exit.
data=$work/data/Kenvora
mkdir -p "$data" "$work/config/KENVORA" "$work/home" && mkdir -m 700 "$work/run"
cp build/share/kenvora/Kenvora.mdb "$data/" && chmod u+w "$data/Kenvora.mdb"
tool() { build/bin/kenvora-tool sql "$data/Kenvora.mdb" "$1" >/dev/null; }
build/bin/kenvora-tool gen "$data/Kenvora.mdb" --sets 3 --records 120
tool "UPDATE データベース設定 SET 終了状態 = True, 画面X = 0, 画面Y = 0, 画面幅 = 9600, 画面縦 = 7200 WHERE dbID = 2"
tool "INSERT INTO MDI画面設定 (画面X, 画面Y, 画面幅, 画面縦, WindowState) VALUES (1200, 900, 10500, 9600, 0)"
printf '[DAT]\nFILE0=%s\n' "$data" >"$work/config/KENVORA/KENVORA.ini"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run \
  QT_QPA_PLATFORM=xcb LANG=ja_JP.UTF-8 build/bin/kenvora >/dev/null 2>&1 &
pids+=($!)
main=
for _ in $(seq 30); do
  main=$(xdotool search --onlyvisible --name '^KENVORA$' 2>/dev/null | head -1) || true
  [ -n "$main" ] && break
  sleep 0.5
done
[ -n "$main" ] || { echo "the main window did not appear" >&2; exit 1; }
sleep 2  # the record window opens after the main window

mkdir -p docs/images
import -frame -window "$main" docs/images/main-window.png

# The test window, asking a question from the open set.
xdotool key --clearmodifiers ctrl+q
sleep 2
test=$(xdotool getactivewindow)
click() { xdotool mousemove --window "$test" "$1" "$2" click 1; sleep 1; }
click 170 10  # 全て選択
click 305 14  # 正解率 (100 % 以上)
click 573 82  # 出　題
import -frame -window "$test" docs/images/test-window.png
echo "docs/images/main-window.png docs/images/test-window.png"
