#!/bin/sh
# Runs a command under openbox on the current display, as on a desktop: a window manager frames
# each new window before it shows and gives it the keyboard focus.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
  tries=$((tries + 1))
  if [ "$tries" -gt 300 ] || ! kill -0 "$wm" 2>/dev/null; then
    echo "openbox did not take the display" >&2
    kill "$wm" 2>/dev/null
    exit 1
  fi
  sleep 0.1
done
"$@"
rc=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit "$rc"
