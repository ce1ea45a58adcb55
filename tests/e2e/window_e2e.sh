#!/usr/bin/env bash
# The real window under Xvfb, used as a person would: start riffscope with a demo file, read
# the screen, drag to zoom and back, load a file through the real open dialog, export it, and
# close the window with its close button.
# Usage: window_e2e.sh RIFFSCOPE MAKE_DEMO_WAV
set -euo pipefail
program="$1"
make_demo="$2"
work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Xvfb picks a free display itself and writes its number to the file.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$make_demo" "$work/demo.wav"
cp "$work/demo.wav" "$work/second.wav"
unset QT_QPA_PLATFORMTHEME
# Leaks of the platform libraries at exit are not this test's subject.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" QT_QPA_PLATFORM=xcb "$program" "$work/demo.wav" >"$work/app.log" 2>&1 &
app_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
[ -n "$window" ] || fail "no window"
sleep 2

shot() { import -window "$window" "$1"; }
crop() { convert "$1" -crop "$2" +repage "$3"; }
same() { compare -metric AE "$1" "$2" null: 2>/dev/null; }
drag() { # button, x0, y0, x1, y1: press, move half way, move on, release
  xdotool mousemove --window "$window" "$2" "$3" mousedown "$1"
  xdotool mousemove --window "$window" $((($2 + $4) / 2)) $((($3 + $5) / 2))
  sleep 0.2
  xdotool mousemove --window "$window" "$4" "$5" mouseup "$1"
}
pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }
count_colour() { # image, geometry (WxH+X+Y), RRGGBB
  convert "$1" -crop "$2" +repage -fill black +opaque "#$3" -fill white -opaque "#$3" \
    -format "%[fx:round(mean*w*h)]" info:
}
# Takes screenshots until a region has changed from (or is again the same as) a reference
# picture, for 10 seconds at most; the last screenshot is NAME.png, its region NAME-region.png.
await_region() { # changed|same, geometry, reference, name
  for _ in $(seq 40); do
    shot "$work/$4.png"
    crop "$work/$4.png" "$2" "$work/$4-region.png"
    if same "$3" "$work/$4-region.png"; then
      [ "$1" = same ] && return 0
    else
      [ "$1" = changed ] && return 0
    fi
    sleep 0.25
  done
  return 1
}

# Panel2 starts at x 233; Chart1 at (234, 1), 1137 x 296; Chart2 below it from y 297.
upper_plot="1100x250+260+30"
for _ in $(seq 40); do # the file given at start is loaded once the window is up
  shot "$work/start.png"
  [ "$(count_colour "$work/start.png" "$upper_plot" 4466A3)" -gt 1000 ] && break
  sleep 0.25
done
sleep 0.5
shot "$work/start.png"
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
xdotool mousemove --window "$window" 700 450 click 5 click 5
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
xdotool mousemove --window "$window" 58 208 click 1
dialog=""
for _ in $(seq 100); do
  dialog=$(xdotool search --onlyvisible --name '.' 2>/dev/null | grep -v "^$window\$" | head -n 1 || true)
  [ -n "$dialog" ] && break
  sleep 0.1
done
[ -n "$dialog" ] || fail "no open dialog"
sleep 1
# With no window manager the keyboard follows the pointer: point into the dialog, then type.
xdotool mousemove --window "$dialog" 20 20
xdotool windowfocus "$dialog" 2>/dev/null || true
xdotool type --delay 20 "$work/second.wav"
xdotool key Return
for _ in $(seq 100); do # the dialog closes once the file is chosen
  xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qv "^$window\$" || break
  sleep 0.1
done

# SaveASCII File writes the frames beside the chosen file.
xdotool mousemove --window "$window" 66 416 click 1
for _ in $(seq 100); do [ -f "$work/second_out.dat" ] && break; sleep 0.1; done
[ -f "$work/second_out.dat" ] || fail "no export beside the chosen file"
lines=$(wc -l < "$work/second_out.dat")
[ "$lines" -eq 44100 ] || fail "export has $lines lines"

# Close with the close button: the program ends with exit code 0.
xdotool mousemove --window "$window" 192 512 click 1
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "1 passed, 0 failed"
