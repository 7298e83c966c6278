#!/usr/bin/env bash
# Starts MARKWELL on GRADE_BOOK under Xvfb with an accessibility bus, activates its window as a
# window manager would, and reads it as a screen reader does (screen_reader_check.py).
# Exits 77 (skipped) where Xvfb, xdotool, dbus or pyatspi are missing.
set -u
for tool in Xvfb xdotool dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: no pyatspi"; exit 77; }
[ -n "${MARKWELL_ON_BUS:-}" ] || exec env MARKWELL_ON_BUS=1 dbus-run-session -- "$0" "$@"

work=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
cp "$2" "$work/grades.mw"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export HOME="$work" XDG_CONFIG_HOME="$work/config"
"$1" "$work/grades.mw" >"$work/app.log" 2>&1 &
app=$!
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --pid "$app" --name Markwell | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window"; cat "$work/app.log"; exit 1; }
sleep 0.5
xdotool windowactivate "$window" 2>/dev/null  # fails without a window manager to ask
xdotool windowfocus --sync "$window"
sleep 0.5
/usr/bin/python3 "$(dirname "$0")/screen_reader_check.py" "$window" "$work/grades.mw"
