#!/usr/bin/env bash
# End-to-end run of the demo with its real (SDL) backend in a virtual X
# server: answer the full-screen question with the keyboard, turn and zoom
# the garden with left and right drags, check that the picture follows, end
# with Esc; then a second run ends through the window's close request.
# Both runs must exit with code 0. Every wait is bounded.
#
# Usage: garden_e2e.sh <garden binary> <run folder> <wm_delete helper>
# Exit 77 (skipped) when Xvfb, xdotool or ImageMagick is missing.
set -uo pipefail

garden=$(realpath "$1")
run_dir=$2
wm_delete=$(realpath "$3")
title="Generazione di piante varie con frattali 3d"

for tool in Xvfb xdotool xwininfo import compare timeout; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

# A free display number.
display=""
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || fail "no free X display number"

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 1 100); do
  xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool getmouselocation >/dev/null 2>&1 || fail "Xvfb did not start"
unset GARDEN_PLATFORM

# Waits up to $2 tenths of a second for a top-level window whose name is
# $1; leaves its id in $found and its geometry in $wx $wy $ww $wh. (The
# window list comes from xwininfo, which reads UTF-8 window names too.)
wait_window() {
  found=""
  local line geometry
  for _ in $(seq 1 "$2"); do
    line=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | head -n1)
    if [ -n "$line" ]; then
      found=$(echo "$line" | awk '{print $1}')
      geometry=$(echo "$line" | grep -oE '[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+' | head -n1)
      ww=${geometry%%x*}
      geometry=${geometry#*x}
      wh=${geometry%%+*}
      geometry=${geometry#*+}
      wx=${geometry%%+*}
      wy=${geometry#*+}
      return
    fi
    sleep 0.1
  done
}

# Waits up to $1 tenths of a second for the question box to go away.
box_gone() {
  for _ in $(seq 1 "$1"); do
    xwininfo -root -tree 2>/dev/null | grep -qF '"Video!"' || return 0
    sleep 0.1
  done
  return 1
}

# Waits up to $1 tenths of a second for the demo to end; leaves its exit
# code (or "running") in $code.
wait_exit() {
  code="running"
  for _ in $(seq 1 "$1"); do
    if ! kill -0 "$app_pid" 2>/dev/null; then
      wait "$app_pid"
      code=$?
      app_pid=""
      return
    fi
    sleep 0.1
  done
}

shot() { import -display "$display" -window root "$1" 2>/dev/null; }
changed() { # prints the number of pixels that differ between two shots
  compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

# Starts the demo from its run folder and answers the question with the
# keyboard; leaves the garden window's id in $win.
start_and_answer() {
  (cd "$run_dir" && exec timeout 120 "$garden") >"$work/garden.log" 2>&1 &
  app_pid=$!
  wait_window "Video!" 200
  [ -n "$found" ] || { cat "$work/garden.log"; fail "the full-screen question did not appear"; }
  # No window manager: the keyboard goes to the window under the pointer.
  # Return takes the box's default answer, Yes: a window of the screen's size.
  # The key is repeated (a bounded number of times) until the box is gone,
  # in case it arrived before the box was ready for input.
  xdotool mousemove $((wx + ww / 2)) $((wy + wh / 2))
  for _ in $(seq 1 10); do
    sleep 0.5
    xdotool key --clearmodifiers Return
    box_gone 30 && break
  done
  wait_window "$title" 300
  [ -n "$found" ] || { cat "$work/garden.log"; fail "the garden window did not appear"; }
  win=$found
}

drag() { # drag <button> <x0> <y0> <dx> <dy> within the window
  local button=$1 x=$2 y=$3 dx=$4 dy=$5
  xdotool mousemove "$x" "$y"
  sleep 0.2
  xdotool mousedown "$button"
  for step in 1 2 3 4 5; do
    sleep 0.05
    xdotool mousemove $((x + dx * step / 5)) $((y + dy * step / 5))
  done
  sleep 0.2
  xdotool mouseup "$button"
  sleep 0.5
}

# Run 1: question, drags, Esc.
start_and_answer
echo "window $win: ${ww}x${wh}+${wx}+${wy}"
[ "$ww" = 1024 ] && [ "$wh" = 768 ] || fail "the full-screen window is ${ww}x${wh}, not the screen's 1024x768"
cx=$((wx + ww / 2))
cy=$((wy + wh / 2))
sleep 1
shot "$work/a.png"
drag 1 "$cx" "$cy" 120 40
shot "$work/b.png"
diff_ab=$(changed "$work/a.png" "$work/b.png")
echo "left drag changed $diff_ab pixels"
[ "${diff_ab:-0}" -gt 500 ] || fail "a left drag did not turn the garden"
drag 3 "$cx" "$cy" 0 60
shot "$work/c.png"
diff_bc=$(changed "$work/b.png" "$work/c.png")
echo "right drag changed $diff_bc pixels"
[ "${diff_bc:-0}" -gt 500 ] || fail "a right drag did not move the garden"
kill -0 "$app_pid" 2>/dev/null || fail "the demo ended during the drags"
xdotool mousemove "$cx" "$cy"
xdotool key --clearmodifiers Escape
wait_exit 200
[ "$code" = "0" ] || { cat "$work/garden.log"; fail "after Esc the demo ended with $code"; }
echo "Esc: exit code 0"

# Run 2: question, then the window's close request.
start_and_answer
sleep 1
"$wm_delete" "$win" || fail "could not send the close request"
wait_exit 200
[ "$code" = "0" ] || { cat "$work/garden.log"; fail "after closing the window the demo ended with $code"; }
echo "close: exit code 0"
echo "PASS"
