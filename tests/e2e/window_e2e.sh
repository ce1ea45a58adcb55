#!/usr/bin/env bash
# The real window under Xvfb, used as a person would: start riffscope with a demo file, read
# the screen, compare it with riffscope --render, read a plot's readout, zoom and pan with the
# keys, save the plots' pictures from their menu, drag to zoom and back, load a file through the
# real open dialog, export it, and close the window with its close button.
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
# lines and the picture has settled. The pointer rests on the control column meanwhile, away
# from the plots' readouts.
point 100 100
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

# riffscope --render paints the same window off the screen: the same picture, pixel for pixel.
env -u QT_QPA_PLATFORM ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" \
  "$program" --render "$work/render.png" "$work/demo.wav" >"$work/render.log" 2>&1 ||
  fail "riffscope --render failed: $(cat "$work/render.log")"
differing=$(compare -metric AE "$work/start.png" "$work/render.png" null: 2>&1 || true)
[ "$differing" = 0 ] || fail "the rendered picture differs from the window in $differing pixels"

# The readout: a label in the tooltip colour beside the pointer over a plot's data area, gone
# when the pointer leaves; the plot under it is as it was.
readout_colour=FFFFDC
[ "$(count_colour "$work/start.png" 1372x587+0+0 "$readout_colour")" -eq 0 ] ||
  fail "the tooltip colour is on the window before any readout"
point 400 100
xvfb_wait_colour "$window" "$work/readout.png" "$readout_colour" 1000 300x100+400+100 ||
  fail "no readout beside the pointer over the upper plot"
[ "$(count_colour "$work/readout.png" 1137x289+234+297 "$readout_colour")" -eq 0 ] ||
  fail "a readout shows over the lower plot too"
crop "$work/start.png" "$plots" "$work/plots-start.png"
point 100 100
await_region same "$plots" "$work/plots-start.png" readout-gone ||
  fail "the readout did not go when the pointer left the plot, or the window changed under it"

# The keys on the plot under the pointer go through the mouse's zoom and undo: + zooms, so the
# axis labels change, and 0 brings them back; the arrows pan, and Home brings them back. The
# keyboard reaches the window once it has the focus (as a window manager would give it).
labels="1137x20+234+268"
crop "$work/start.png" "$labels" "$work/labels-start.png"
xdotool windowfocus "$window" 2>/dev/null || true
point 700 150
xdotool key plus
await_region changed "$labels" "$work/labels-start.png" key-zoomed || fail "+ did not zoom the upper plot"
xdotool key 0
await_region same "$labels" "$work/labels-start.png" key-undone || fail "0 did not undo the zoom"
xdotool key Right
await_region changed "$labels" "$work/labels-start.png" key-panned || fail "Right did not pan the upper plot"
xdotool key Home
await_region same "$labels" "$work/labels-start.png" key-home || fail "Home did not undo the pan"
# The keypad's + and 0 as well.
xdotool key KP_Add
await_region changed "$labels" "$work/labels-start.png" keypad-zoomed || fail "the keypad's + did not zoom"
xdotool key KP_0
await_region same "$labels" "$work/labels-start.png" keypad-undone || fail "the keypad's 0 did not undo"
# Esc during a left drag erases the band at once, and the release zooms nothing.
band_edge="5x40+398+70" # the band's left edge, away from the readout at its far corner
crop "$work/start.png" "$band_edge" "$work/band-edge-start.png"
point 400 60
xdotool mousedown 1
point 600 130
await_region changed "$band_edge" "$work/band-edge-start.png" band || fail "no zoom band during the drag"
xdotool key Escape
await_region same "$band_edge" "$work/band-edge-start.png" band-cancelled || fail "Esc did not erase the band"
xdotool mouseup 1
point 100 100
await_region same "$plots" "$work/plots-start.png" after-escape || fail "the cancelled drag changed the window"

# A right click on a plot opens its menu. Save Picture As > This Plot saves that plot's picture,
# here zoomed with the keys, pixel for pixel what the screen shows; Undo Zoom undoes the zoom;
# Both Plots saves the two one below the other.
upper_chart="1137x296+234+1" # Chart1
both_charts="1137x585+234+1" # Chart1 and Chart2
menu=""
find_menu() {
  menu=$(xvfb_visible_windows | grep -vx "$window" | head -n 1 || true)
  [ -n "$menu" ]
}
only_main_window() { ! xvfb_visible_windows | grep -qvx "$window"; }
open_menu() { # x, y: a right click there, and the menu drawn
  point "$1" "$2"
  xdotool click 3
  xvfb_until find_menu || fail "no menu after a right click at ($1, $2)"
  xvfb_wait_stable "$menu" "$work/menu.png" || fail "the menu was never drawn completely"
}
# Types a name into a file dialog and presses Return: once the dialog is drawn and its file list
# has settled (its name field's text cursor may blink meanwhile: up to 50 pixels may differ).
# With no window manager the keyboard follows the pointer: point into the dialog, then type.
type_into_dialog() { # dialog, what it is (for messages and pictures), text
  xvfb_wait_stable "$1" "$work/$2.png" 50 || fail "the $2 was never drawn completely"
  xvfb_point "$1" 20 20
  xdotool windowfocus "$1" 2>/dev/null || true
  xdotool type --delay 20 "$3"
  xvfb_wait_region changed "$1" all "$work/$2.png" "$work/$2-typed.png" 50 ||
    fail "the $2 did not show the typed name"
  xdotool key Return
}
save_dialog=""
find_save_dialog() {
  save_dialog=$(xdotool search --onlyvisible --name '^Save Picture As$' 2>/dev/null | head -n 1 || true)
  [ -n "$save_dialog" ]
}
save_target=""
saved() { [ -s "$save_target" ]; }
save_from_menu() { # x, y, key of the entry in the submenu, file
  open_menu "$1" "$2"
  xdotool key s "$3"
  xvfb_until find_save_dialog || fail "no save dialog from the menu"
  type_into_dialog "$save_dialog" "save dialog" "$4"
  save_target="$4"
  xvfb_until saved || fail "nothing saved to $4"
  xvfb_until only_main_window || fail "the save dialog did not close"
  xdotool windowfocus "$window" 2>/dev/null || true
}
same_as_screen() { # picture, geometry, name: the pointer away, the screen settled, no readout
  point 100 100
  xvfb_wait_stable "$window" "$work/$3.png" || fail "the window did not settle"
  [ "$(count_colour "$work/$3.png" "$plots" "$readout_colour")" -eq 0 ] || fail "a readout is still shown"
  crop "$work/$3.png" "$2" "$work/$3-crop.png"
  [ "$(identify -format %wx%h "$1")" = "$(identify -format %wx%h "$work/$3-crop.png")" ] ||
    fail "$(basename "$1") is $(identify -format %wx%h "$1")"
  differing=$(compare -metric AE "$1" "$work/$3-crop.png" null: 2>&1 || true)
  [ "$differing" = 0 ] || fail "$(basename "$1") differs from the screen in $differing pixels"
}
point 700 150
xdotool key plus
await_region changed "$labels" "$work/labels-start.png" menu-zoomed || fail "+ did not zoom the upper plot"
save_from_menu 700 150 t "$work/upper.png"
same_as_screen "$work/upper.png" "$upper_chart" upper-shown
crop "$work/upper-shown.png" "$labels" "$work/labels-saved.png"
same "$work/labels-saved.png" "$work/labels-start.png" && fail "the saved plot was not the zoomed one"
open_menu 700 150
xdotool key u
xvfb_until only_main_window || fail "the menu did not close"
await_region same "$labels" "$work/labels-start.png" menu-undone || fail "Undo Zoom did not undo the zoom"
save_from_menu 700 450 b "$work/both.png"
same_as_screen "$work/both.png" "$both_charts" both-shown

# Drag right with the left button inside the upper plot: it zooms, so its axis labels change.
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
type_into_dialog "$dialog" "open dialog" "$work/second.wav"
# Closed means every window but the main one gone, the name field's list of matches too: while
# that list is up it takes the next click for itself.
xvfb_until only_main_window || fail "the open dialog did not close"

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
