#!/usr/bin/env bash
# Runs a command on its own virtual X display with a window manager, as on a user's desktop.
#   on-desktop.sh WINDOW-MANAGER COMMAND [ARGS...]     (openbox, twm)
set -euo pipefail
wm=$1
shift
for tool in Xvfb xdotool "$wm"; do
  command -v "$tool" >/dev/null || { echo "on-desktop.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

# Xvfb picks a free display itself, so several suites can run at once.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
wmpid=
trap 'kill $wmpid $xvfb 2>/dev/null || true; rm -f "$displayfile"' EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$displayfile")
"$wm" >/dev/null 2>&1 &
wmpid=$!
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.5
export KENVORA_TEST_WM=$wm
"$@"
