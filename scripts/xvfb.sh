# shellcheck shell=bash
# A virtual X display for running the window where there is no screen, and waits that look
# at the screen (or the pointer) for what they expect instead of pausing for a fixed time.
# Sourced by scripts/screenshot and tests/e2e/window_e2e.sh.
#
#   xvfb_start                  start Xvfb on a free display, check that it answers and export
#                               DISPLAY; it is stopped when the shell exits
#   xvfb_on_exit COMMAND...     also run COMMAND when the shell exits (before Xvfb stops)
#   xvfb_wait_window PATTERN [PID]
#                               set XVFB_WINDOW to the first visible window whose name matches
#   xvfb_visible_windows        the ids of all visible windows but the root
#   xvfb_point WINDOW X Y       move the pointer to (X, Y) in WINDOW and wait until it is there
#   xvfb_shot WINDOW FILE       screenshot of WINDOW
#   xvfb_count_colour IMAGE GEOMETRY RRGGBB
#                               how many pixels of the region are exactly that colour
#   xvfb_same IMAGE IMAGE       succeeds when the two pictures are identical
#   xvfb_alike IMAGE IMAGE PIXELS
#                               succeeds when they differ in at most PIXELS pixels
#   xvfb_wait_stable WINDOW FILE [PIXELS]
#   xvfb_wait_colour WINDOW FILE RRGGBB MIN GEOMETRY...
#   xvfb_wait_region changed|same WINDOW GEOMETRY REFERENCE FILE [PIXELS]
#
# Every wait tries at most XVFB_TRIES times, XVFB_INTERVAL seconds apart (plus the time a
# screenshot takes). xvfb_start and xvfb_wait_window end the shell through xvfb_fail when what
# they wait for never comes; the picture waits return 1 and leave the message to the caller.
# A caller may redefine xvfb_fail to report failures its own way.

XVFB_TRIES="${XVFB_TRIES:-200}"
XVFB_INTERVAL="${XVFB_INTERVAL:-0.1}"
XVFB_PID=""
XVFB_DIR=""
XVFB_WINDOW=""
_xvfb_exit_commands=()

xvfb_fail() {
  echo "xvfb: $*" >&2
  exit 1
}

# Runs COMMAND until it succeeds, at most XVFB_TRIES times; 1 when it never does.
xvfb_until() {
  local try
  for ((try = 1; try <= XVFB_TRIES; try++)); do
    "$@" && return 0
    [ "$try" -lt "$XVFB_TRIES" ] && sleep "$XVFB_INTERVAL"
  done
  return 1
}

xvfb_on_exit() {
  local command
  printf -v command '%q ' "$@"
  _xvfb_exit_commands+=("$command")
}

_xvfb_exit() {
  local status=$? i
  for ((i = ${#_xvfb_exit_commands[@]} - 1; i >= 0; i--)); do
    eval "${_xvfb_exit_commands[i]}" || true
  done
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  [ -z "$XVFB_DIR" ] || rm -rf "$XVFB_DIR"
  exit "$status"
}

_xvfb_numbered() { [ -s "$XVFB_DIR/display" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; }
_xvfb_answers() { xdpyinfo >/dev/null 2>&1; }

xvfb_start() {
  XVFB_DIR="$(mktemp -d)"
  trap _xvfb_exit EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
  # Xvfb picks a free display itself and writes its number to descriptor 3. Without -noreset
  # it resets whenever its last client leaves (xdpyinfo below, say), and a program that
  # connects during that reset is turned away.
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset \
    3>"$XVFB_DIR/display" >"$XVFB_DIR/log" 2>&1 &
  XVFB_PID=$!
  xvfb_until _xvfb_numbered || true
  if ! [ -s "$XVFB_DIR/display" ]; then
    local why="did not report a display number"
    kill -0 "$XVFB_PID" 2>/dev/null || why="ended at start"
    xvfb_fail "Xvfb $why: $(tail -n 5 "$XVFB_DIR/log" | tr '\n' ' ')"
  fi
  DISPLAY=":$(head -n 1 "$XVFB_DIR/display")"
  export DISPLAY
  xvfb_until _xvfb_answers ||
    xvfb_fail "Xvfb reported display $DISPLAY but xdpyinfo gets no answer from it: $(tail -n 5 "$XVFB_DIR/log" | tr '\n' ' ')"
}

_xvfb_find_window() { # pattern, pid
  if [ -n "$2" ] && ! kill -0 "$2" 2>/dev/null; then
    xvfb_fail "the program ended before a window named '$1' appeared"
  fi
  XVFB_WINDOW="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)"
  [ -n "$XVFB_WINDOW" ]
}

xvfb_wait_window() { # pattern, [pid of the program that shows it]
  XVFB_WINDOW=""
  xvfb_until _xvfb_find_window "$1" "${2:-}" ||
    xvfb_fail "no visible window named '$1' after $XVFB_TRIES tries"
}

# Every visible window but the root, named or not (a popup list has no name), one id a line.
xvfb_visible_windows() {
  local root
  root=$(($(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-fA-F]*\).*/\1/p')))
  xdotool search --onlyvisible --name '' 2>/dev/null | grep -vx "$root" || true
}

_xvfb_pointer_at() { # x, y on the screen
  local X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell 2>/dev/null)" || return 1
  [ "${X:-}" = "$1" ] && [ "${Y:-}" = "$2" ]
}

# Moves the pointer to (X, Y) inside WINDOW and waits until the server has it there.
xvfb_point() { # window, x, y
  # shellcheck disable=SC2034 # the names xdotool sets, kept local
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)" ||
    xvfb_fail "no position for window $1"
  local x=$((X + $2)) y=$((Y + $3))
  xdotool mousemove --window "$1" "$2" "$3"
  xvfb_until _xvfb_pointer_at "$x" "$y" ||
    xvfb_fail "the pointer did not reach ($2, $3) in window $1"
}

xvfb_shot() { import -window "$1" "$2" 2>/dev/null; }

xvfb_count_colour() { # image, geometry (WxH+X+Y), RRGGBB
  convert "$1" -crop "$2" +repage -fill black +opaque "#$3" -fill white -opaque "#$3" \
    -format "%[fx:round(mean*w*h)]" info:
}

xvfb_same() { compare -metric AE "$1" "$2" null: >/dev/null 2>&1; }

# Succeeds when the two pictures have the same size and differ in at most PIXELS pixels.
xvfb_alike() { # image, image, pixels
  local differing
  [ "$3" -eq 0 ] && { xvfb_same "$1" "$2"; return; }
  differing="$(compare -metric AE "$1" "$2" null: 2>&1 || true)"
  [[ "$differing" =~ ^[0-9]+$ ]] && [ "$differing" -le "$3" ]
}

_xvfb_colours() { convert "$1" -format "%k" info: 2>/dev/null || echo 0; }

_xvfb_stable_step() { # window, file, previous, pixels
  xvfb_shot "$1" "$2" || return 1
  if [ -f "$3" ] && [ "$(_xvfb_colours "$2")" -gt 1 ] && xvfb_alike "$3" "$2" "$4"; then
    _xvfb_alike=$((_xvfb_alike + 1))
  else
    _xvfb_alike=0
  fi
  cp "$2" "$3"
  [ "$_xvfb_alike" -ge 2 ]
}

# Takes screenshots of WINDOW until three in a row are the same and show more than one colour
# (a window not painted yet is flat); the last one is left in FILE. With PIXELS, pictures that
# differ in no more pixels than that count as the same (a blinking text cursor is 1 x 14).
xvfb_wait_stable() { # window, file, [pixels]
  local previous="${2%.png}-previous.png" status=0
  _xvfb_alike=0
  rm -f "$previous"
  xvfb_until _xvfb_stable_step "$1" "$2" "$previous" "${3:-0}" || status=1
  rm -f "$previous"
  return "$status"
}

_xvfb_colour_step() { # window, file, colour, min, geometry...
  local window="$1" file="$2" colour="$3" min="$4" geometry
  shift 4
  xvfb_shot "$window" "$file" || return 1
  for geometry in "$@"; do
    [ "$(xvfb_count_colour "$file" "$geometry" "$colour")" -gt "$min" ] || return 1
  done
}

# Takes screenshots of WINDOW until each region given has more than MIN pixels of RRGGBB; the
# last one is left in FILE.
xvfb_wait_colour() { # window, file, colour, min, geometry...
  xvfb_until _xvfb_colour_step "$@"
}

_xvfb_region_step() { # changed|same, window, geometry, reference, file, region file, pixels
  xvfb_shot "$2" "$5" || return 1
  if [ "$3" = all ]; then
    cp "$5" "$6"
  else
    convert "$5" -crop "$3" +repage "$6" || return 1
  fi
  if xvfb_alike "$4" "$6" "$7"; then
    [ "$1" = same ]
  else
    [ "$1" = changed ]
  fi
}

# Takes screenshots of WINDOW until a region has changed from (or is again the same as) a
# reference picture; GEOMETRY is WxH+X+Y, or "all" for the whole window. The last screenshot
# is left in FILE (NAME.png), its region in NAME-region.png. With PIXELS, a region that differs
# in no more pixels than that counts as the same.
xvfb_wait_region() { # changed|same, window, geometry, reference, file, [pixels]
  xvfb_until _xvfb_region_step "$1" "$2" "$3" "$4" "$5" "${5%.png}-region.png" "${6:-0}"
}
