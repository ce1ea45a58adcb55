#!/usr/bin/env bash
# The sample store takes memory for the frames a load brings, not for the most it could hold:
# riffdump exports a small file under a 200,000 KiB address-space cap, and riffscope renders a
# 1,000,000-frame file under 500 MiB.
# Usage: loads_under_a_cap.sh RIFFDUMP RIFFSCOPE MAKE_DEMO_WAV
set -euo pipefail
riffdump="$1"
riffscope="$2"
make_demo="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$make_demo" "$work/small.wav"
(ulimit -v 200000 && "$riffdump" --export "$work/small.wav" >/dev/null) ||
  fail "riffdump --export of a small file under a 200,000 KiB cap"
[ -s "$work/small_out.dat" ] || fail "no export written"

# 1,000,000 frames of 16-bit stereo: a 44-byte header, then 4,000,000 bytes of noise.
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
frames=1000000
data=$((frames * 4))
{
  printf 'RIFF'; le32 $((36 + data)); printf 'WAVEfmt '; le32 16
  printf '\x01\x00\x02\x00'; le32 44100; le32 $((44100 * 4)); printf '\x04\x00\x10\x00'
  printf 'data'; le32 "$data"
  head -c "$data" /dev/urandom
} >"$work/million.wav"
[ "$(stat -c %s "$work/million.wav")" -eq $((44 + data)) ] || fail "the test file is not whole"
(ulimit -v 512000 && QT_QPA_PLATFORM=offscreen "$riffscope" --render "$work/million.png" "$work/million.wav") ||
  fail "riffscope --render of 1,000,000 frames under a 500 MiB cap"
[ -s "$work/million.png" ] || fail "no picture written"
