#!/bin/sh
# Takes the README screenshots: the editor on the synthetic demo image, with
# trade 1 shown, and its File menu open, in a virtual X display.
# Usage: scripts/screenshot.sh BUILD_DIR OUTPUT.png [MENU.png]
set -eu
build=$1
out=$2
menu=${3:-}
work=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

"$build/tools/kestrane-demo-rom" "$work/crystal-demo.gbc" >/dev/null
Xvfb :97 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:97 QT_QPA_PLATFORM=xcb
sleep 1
"$build/src/app/kestrane" "$work/crystal-demo.gbc" >/dev/null 2>&1 &
app=$!

window=""
for _ in $(seq 50); do
  window=$(xdotool search --name '^Kestrane' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "the editor did not come up" >&2; exit 1; }
sleep 0.5
# An opened ROM gives the trade list the focus: Space chooses Trade Number 1.
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key space
sleep 0.5
import -window "$window" "$out"
echo "Wrote $out"
if [ -n "$menu" ]; then
  # The File menu is a window of its own: the screen around the editor's top left.
  xdotool key alt+f
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "420x380+$X+$Y" +repage "$menu"
  echo "Wrote $menu"
fi
