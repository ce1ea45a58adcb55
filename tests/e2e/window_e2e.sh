#!/usr/bin/env bash
# The real window under Xvfb, used as a person would: start riffscope with a demo file, read
# the screen, drag to zoom and back, load a file through the real open dialog, export it, and
# close the window with its close button.
# Usage: window_e2e.sh RIFFSCOPE MAKE_DEMO_WAV
set -euo pipefail
program="$1"
make_demo="$2"
# shellcheck source=scripts/xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
xvfb_fail() { fail "$@"; }

xvfb_start
work="$(mktemp -d)"
app_pid=""
stop_app() { [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true; }
xvfb_on_exit rm -rf "$work"
xvfb_on_exit stop_app

"$make_demo" "$work/demo.wav"
cp "$work/demo.wav" "$work/second.wav"
unset QT_QPA_PLATFORMTHEME
# Leaks of the platform libraries at exit are not this test's subject.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" QT_QPA_PLATFORM=xcb "$program" "$work/demo.wav" >"$work/app.log" 2>&1 &
app_pid=$!
xvfb_wait_window '^Form1$' "$app_pid"
window="$XVFB_WINDOW"

plots="1140x590+233+0" # Panel2, both charts
shot() { xvfb_shot "$window" "$1"; }
crop() { convert "$1" -crop "$2" +repage "$3"; }
same() { xvfb_same "$1" "$2"; }
point() { xvfb_point "$window" "$1" "$2"; }
drag() { # button, x0, y0, x1, y1: press, move half way, move on, release
  point "$2" "$3"
  xdotool mousedown "$1"
  # The half-way step is one the program sees on its own: once the press is drawn, move, and
  # wait for the plots to show the move (the zoom band, or the plot panned).
  xvfb_wait_stable "$window" "$work/drag-pressed.png" || true
  crop "$work/drag-pressed.png" "$plots" "$work/drag-pressed-plots.png"
  point $((($2 + $4) / 2)) $((($3 + $5) / 2))
  xvfb_wait_region changed "$window" "$plots" "$work/drag-pressed-plots.png" "$work/drag-moved.png" ||
    echo "note: the window did not redraw during the drag to ($4, $5)" >&2
  point "$4" "$5"
  xdotool mouseup "$1"
}
pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }
count_colour() { xvfb_count_colour "$@"; }
await_region() { # changed|same, geometry, reference, name: the last screenshot is NAME.png
  xvfb_wait_region "$1" "$window" "$2" "$3" "$work/$4.png"
}

# Panel2 starts at x 233; Chart1 at (234, 1), 1137 x 296; Chart2 below it from y 297.
upper_plot="1100x250+260+30"
# The file given at start is loaded once the window is up: wait until both plots show its
# lines and the picture has settled.
xvfb_wait_colour "$window" "$work/start.png" 4466A3 1000 "$upper_plot" 1100x240+260+320 || true
xvfb_wait_stable "$window" "$work/start.png" || true
# The upper chart's background: flat #EAEAEA in its upper half, white on its last row.
[ "$(pixel "$work/start.png" 240 20)" = "EAEAEA" ] || fail "background gradient top: $(pixel "$work/start.png" 240 20)"
[ "$(pixel "$work/start.png" 240 295)" = "FFFFFF" ] || fail "background gradient bottom"
# Both plots show lines in #4466A3.
upper=$(count_colour "$work/start.png" "$upper_plot" 4466A3)
lower=$(count_colour "$work/start.png" 1100x240+260+320 4466A3)
[ "$upper" -gt 1000 ] || fail "upper plot has $upper blue pixels"
[ "$lower" -gt 1000 ] || fail "lower plot has $lower blue pixels"
# The back wall's black frame: its top row runs across the whole upper plot.
frame=$(count_colour "$work/start.png" 1000x60+330+1 000000)
[ "$frame" -gt 900 ] || fail "no back wall frame in the upper plot ($frame black pixels)"

# Drag right with the left button inside the upper plot: it zooms, so its axis labels change.
labels="1137x20+234+268"
crop "$work/start.png" "$labels" "$work/labels-start.png"
drag 1 500 100 700 200
await_region changed "$labels" "$work/labels-start.png" zoomed ||
  fail "the bottom axis did not change after a zoom"
# Drag up-left: the zoom is undone and the labels are as they were.
drag 1 700 200 500 100
await_region same "$labels" "$work/labels-start.png" undone ||
  fail "the undo did not bring the axis back"

# The lower plot on its own: the wheel scrolls its vertical axis, a right-button drag pans
# it; the upper plot stays as it was.
lower_left="85x250+234+320"
upper_left="85x250+234+30"
crop "$work/undone.png" "$lower_left" "$work/lower-left-start.png"
crop "$work/undone.png" "$upper_left" "$work/upper-left-start.png"
point 700 450
xdotool click 5 click 5
await_region changed "$lower_left" "$work/lower-left-start.png" wheel ||
  fail "the wheel did not scroll the lower plot"
crop "$work/wheel.png" "$upper_left" "$work/upper-left-wheel.png"
same "$work/upper-left-start.png" "$work/upper-left-wheel.png" ||
  fail "the wheel on the lower plot moved the upper one"
lower_bottom="1137x20+234+557"
crop "$work/wheel.png" "$lower_bottom" "$work/lower-bottom-start.png"
drag 3 700 450 800 450
await_region changed "$lower_bottom" "$work/lower-bottom-start.png" panned ||
  fail "the right-button drag did not pan the lower plot"

# ReadWF, and choose a file in the real open dialog by typing its name.
point 58 208
xdotool click 1
dialog=""
find_dialog() {
  dialog=$(xdotool search --onlyvisible --name '.' 2>/dev/null | grep -v "^$window\$" | head -n 1 || true)
  [ -n "$dialog" ]
}
xvfb_until find_dialog || fail "no open dialog"
# The dialog takes input once it is drawn and its file list has settled (its name field's text
# cursor may blink meanwhile: up to 50 pixels may differ).
xvfb_wait_stable "$dialog" "$work/dialog.png" 50 || fail "the open dialog was never drawn completely"
# With no window manager the keyboard follows the pointer: point into the dialog, then type.
xvfb_point "$dialog" 20 20
xdotool windowfocus "$dialog" 2>/dev/null || true
xdotool type --delay 20 "$work/second.wav"
xvfb_wait_region changed "$dialog" all "$work/dialog.png" "$work/dialog-typed.png" 50 ||
  fail "the open dialog did not show the typed name"
xdotool key Return
# Closed means every window but the main one gone, the name field's list of matches too: while
# that list is up it takes the next click for itself.
dialog_closed() { ! xvfb_visible_windows | grep -qvx "$window"; }
xvfb_until dialog_closed || fail "the open dialog did not close"

# SaveASCII File writes the frames beside the chosen file.
point 66 416
xdotool click 1
exported() { [ -f "$work/second_out.dat" ]; }
xvfb_until exported || true
[ -f "$work/second_out.dat" ] || fail "no export beside the chosen file"
lines=$(wc -l < "$work/second_out.dat")
[ "$lines" -eq 44100 ] || fail "export has $lines lines"

# Close with the close button: the program ends with exit code 0.
point 192 512
xdotool click 1
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "1 passed, 0 failed"
