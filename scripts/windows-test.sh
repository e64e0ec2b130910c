#!/bin/sh
# The Windows build's tests under Wine, then a check of the real kestrane.exe.
#
# Everything runs in a fresh Wine prefix and on an Xvfb display of its own,
# so the window tests use Qt's real "windows" platform. The check starts
# kestrane.exe with a ROM at a path outside ASCII on its command line, waits
# for the window titled "Kestrane — <file>", chooses Trade Number 1 with the
# keyboard, saves it unedited (the file must stay byte for byte as it was),
# and photographs the window. It waits for windows, never for time.
# Usage: scripts/windows-test.sh BUILD_DIR SCREENSHOT.png
set -eu
build=$1
shot=$2
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
prefix=$(mktemp -d)
work=$(mktemp -d)
display=:$((40 + $$ % 50))
cleanup() {
  WINEPREFIX="$prefix" "$wineserver" -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$prefix" "$work"
}
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap cleanup EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY="$display"
"$wine" wineboot --init >/dev/null 2>&1
# Windows not handed to a window manager (there is none on this display):
# else Wine waits two seconds for one at every hide.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

ctest --preset windows

# The real program, as a user starts it: its windows handed to X as usual.
"$wine" reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
rom="$work/クリスタル é.gbc"
"$wine" "$build/tools/kestrane-demo-rom.exe" "$work/demo.gbc" >/dev/null 2>&1
cp "$work/demo.gbc" "$rom"
"$wine" "$build/src/app/kestrane.exe" "$rom" >/dev/null 2>&1 &
# The X window whose name matches $1, waiting up to $2 half-seconds; none: "".
window_named() {
  for _ in $(seq "$2"); do
    found=$(xdotool search --name "$1" 2>/dev/null | head -n 1)
    [ -n "$found" ] && { echo "$found"; return; }
    sleep 0.5
  done
}
# Waits up to $2 half-seconds for no window named $1 to be left.
window_gone() {
  for _ in $(seq "$2"); do
    [ -z "$(xdotool search --name "$1" 2>/dev/null)" ] && return 0
    sleep 0.5
  done
  return 1
}
window=$(window_named '^Kestrane — クリスタル é\.gbc$' 60)
[ -n "$window" ] || { echo "kestrane.exe showed no window titled \"Kestrane — クリスタル é.gbc\"" >&2; exit 1; }
# An opened ROM gives the trade list the focus: Space chooses Trade Number 1.
xdotool key --window "$window" space 2>/dev/null
# More Fields opens only for a trade on show: its window says the choice is made.
more=""
for _ in $(seq 20); do
  xdotool key --window "$window" ctrl+m 2>/dev/null
  more=$(window_named '^More Fields — Trade Number 1$' 1)
  [ -n "$more" ] && break
done
[ -n "$more" ] || { echo "kestrane.exe did not show Trade Number 1" >&2; exit 1; }
xdotool key --window "$more" Escape 2>/dev/null
window_gone '^More Fields' 20 || { echo "More Fields did not close" >&2; exit 1; }
xdotool key --window "$window" ctrl+s 2>/dev/null
saved=$(window_named '^Kestrane$' 20)
[ -n "$saved" ] || { echo "kestrane.exe did not say \"Trade Data Saved.\"" >&2; exit 1; }
xdotool key --window "$saved" Return 2>/dev/null
window_gone '^Kestrane$' 20 || { echo "the message box did not close" >&2; exit 1; }
import -window "$window" "$shot"
"$wineserver" -k
cmp "$work/demo.gbc" "$rom" || { echo "an unedited save changed the ROM" >&2; exit 1; }
echo "kestrane.exe opened \"$(basename "$rom")\", saved it unedited without a byte changed; wrote $shot"
