#!/usr/bin/env bash
# Sets up, builds and opens the main window. A FILE given is opened at start.
# Where there is no display, the window runs in a virtual one and a screenshot is saved.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
./scripts/build build >/dev/null
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/riffscope "$@"
fi
mkdir -p screenshots
echo "No display: running the window under Xvfb." >&2
if [ $# -eq 0 ]; then
  # Nothing to open: show a generated demo file.
  build/cli/make_demo_wav build/demo.wav
  set -- "$PWD/build/demo.wav"
fi
scripts/screenshot build/app/riffscope "$PWD/screenshots/riffscope.png" "$@"
