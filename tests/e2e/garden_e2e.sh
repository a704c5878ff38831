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

for tool in Xvfb xdotool xwininfo import compare convert timeout; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then
    # The demo runs under timeout; end the demo itself, then timeout.
    for child in $(pgrep -P "$app_pid" 2>/dev/null); do kill -KILL "$child" 2>/dev/null; done
    kill -KILL "$app_pid" 2>/dev/null
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

# Xvfb picks a free display number itself and writes it to the pipe file.
# -noreset: by default the server resets whenever its last client leaves,
# and the probes below (xdotool, xwininfo) come and go; a program that
# connects during such a reset is refused.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 1 100); do
  display=$(head -n1 "$work/display" 2>/dev/null)
  [ -n "$display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
display=":$display"
export DISPLAY=$display
for _ in $(seq 1 50); do
  xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool getmouselocation >/dev/null 2>&1 || fail "the X server on $display does not answer"
unset GARDEN_PLATFORM

# Waits up to $2 seconds for a top-level window whose name is $1; leaves
# its id in $found and its geometry in $wx $wy $ww $wh. (The window list
# comes from xwininfo, which reads UTF-8 window names too.)
wait_window() {
  found=""
  local line geometry deadline=$((SECONDS + $2))
  while [ "$SECONDS" -lt "$deadline" ]; do
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

# Waits up to $1 seconds for the question box to go away.
box_gone() {
  local deadline=$((SECONDS + $1))
  while [ "$SECONDS" -lt "$deadline" ]; do
    xwininfo -root -tree 2>/dev/null | grep -qF '"Video!"' || return 0
    sleep 0.1
  done
  return 1
}

# Waits up to $1 seconds for the demo to end; leaves its exit code (or
# "running") in $code.
wait_exit() {
  code="running"
  local deadline=$((SECONDS + $1))
  while [ "$SECONDS" -lt "$deadline" ]; do
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

# Waits up to $1 seconds for the screen to show more than the black sky.
wait_picture() {
  local deadline=$((SECONDS + $1)) mean
  while [ "$SECONDS" -lt "$deadline" ]; do
    shot "$work/first.png"
    mean=$(convert "$work/first.png" -colorspace Gray -format "%[fx:int(mean*1000)]" info: 2>/dev/null)
    [ "${mean:-0}" -gt 20 ] && return 0
    sleep 0.5
  done
  return 1
}

# Takes shots into $2 for up to $3 seconds until one differs from $1 by
# more than 500 pixels (one message is handled per frame, so a drag shows
# after as many frames as it has events); leaves the count in
# $changed_pixels.
wait_change() {
  local deadline=$((SECONDS + $3))
  changed_pixels=0
  while [ "$SECONDS" -lt "$deadline" ]; do
    shot "$2"
    changed_pixels=$(changed "$1" "$2")
    changed_pixels=${changed_pixels%%.*}
    [ "${changed_pixels:-0}" -gt 500 ] && return 0
    sleep 0.5
  done
  changed_pixels=${changed_pixels:-0}
}

# Takes shots into $1 for up to $2 seconds until two in a row agree, so the
# input of a drag has been worked off.
wait_stable() {
  local deadline=$((SECONDS + $2)) diff
  shot "$1"
  while [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.5
    shot "$work/stable.png"
    diff=$(changed "$1" "$work/stable.png")
    diff=${diff%%.*}
    [ "${diff:-1}" -lt 50 ] && return 0
    cp "$work/stable.png" "$1"
  done
  return 1
}

# Starts the demo from its run folder and answers the question with the
# key $1 (Return: Yes, Escape: No); leaves the garden window's id in $win.
start_and_answer() {
  local key=$1
  (cd "$run_dir" && exec timeout -s KILL 120 "$garden") >"$work/garden.log" 2>&1 &
  app_pid=$!
  wait_window "Video!" 20
  [ -n "$found" ] || { cat "$work/garden.log"; fail "the full-screen question did not appear"; }
  # Return takes the box's default answer, Yes: a window of the screen's
  # size; Escape answers No: an 800 x 600 window. Without a window manager
  # the key is sent to the box itself, and
  # repeated (a bounded number of times) until the box is gone, in case it
  # arrived before the box was ready for input.
  xdotool mousemove $((wx + ww / 2)) $((wy + wh / 2))
  for _ in $(seq 1 10); do
    sleep 0.5
    xdotool key --window "$found" "$key" 2>/dev/null
    box_gone 3 && break
  done
  wait_window "$title" 30
  if [ -z "$found" ]; then
    cat "$work/garden.log"
    xwininfo -root -tree | grep '"'
    fail "the garden window did not appear"
  fi
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

# Run 1: question answered Yes, drags, Esc.
start_and_answer Return
echo "window $win: ${ww}x${wh}+${wx}+${wy}"
[ "$ww" = 1024 ] && [ "$wh" = 768 ] || fail "the full-screen window is ${ww}x${wh}, not the screen's 1024x768"
cx=$((wx + ww / 2))
cy=$((wy + wh / 2))
# The garden is built after the window opens; the first frame follows.
wait_picture 90 || fail "no frame was drawn"
wait_stable "$work/a.png" 30 || fail "the picture changes by itself"
drag 1 "$cx" "$cy" 120 40
wait_change "$work/a.png" "$work/b.png" 30
echo "left drag changed $changed_pixels pixels"
[ "$changed_pixels" -gt 500 ] || fail "a left drag did not turn the garden"
wait_stable "$work/b.png" 30 || fail "the picture does not settle after the drag"
drag 3 "$cx" "$cy" 0 60
wait_change "$work/b.png" "$work/c.png" 30
echo "right drag changed $changed_pixels pixels"
[ "$changed_pixels" -gt 500 ] || fail "a right drag did not move the garden"
kill -0 "$app_pid" 2>/dev/null || fail "the demo ended during the drags"
xdotool mousemove "$cx" "$cy"
xdotool key --clearmodifiers Escape
wait_exit 20
[ "$code" = "0" ] || { cat "$work/garden.log"; fail "after Esc the demo ended with $code"; }
echo "Esc: exit code 0"

# Run 2: question answered No (Escape), then the window's close request.
start_and_answer Escape
echo "window $win: ${ww}x${wh}+${wx}+${wy}"
[ "$ww" -le 800 ] && [ "$wh" -le 600 ] && [ "$ww" -ge 700 ] && [ "$wh" -ge 500 ] ||
  fail "the window asked for with No is ${ww}x${wh}, not about 800x600"
sleep 1
# The window that carries the GL context replaces the first one made for
# the pixel format; look it up again.
wait_window "$title" 10
[ -n "$found" ] || fail "the garden window went away"
win=$found
"$wm_delete" "$win" || fail "could not send the close request"
# The request waits in the queue while the garden is still being built.
wait_exit 90
[ "$code" = "0" ] || { cat "$work/garden.log"; fail "after closing the window the demo ended with $code"; }
echo "close: exit code 0"
echo "PASS"
