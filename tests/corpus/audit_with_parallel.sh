#!/usr/bin/env bash
# An audit spread with GNU parallel the way it is spread over many machines, here over job slots
# of this machine (the sshlogin ':'): the list of names is cut into blocks of two, each block goes
# to its own riffdump on standard input, and -k puts the outputs back in the order of the blocks.
# The result must be byte for byte what one riffdump writes for the whole list.
# Usage: audit_with_parallel.sh RIFFDUMP MAKE_DEMO_WAV
set -uo pipefail
riffdump="$1"
make_demo="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
  echo "audit_with_parallel: FAILED: $*" >&2
  echo "0 passed, 1 failed"
  exit 1
}

# A small collection: good files (one with a space in its name), and files that do not read.
cd "$work" || fail "cannot enter $work"
"$make_demo" good1.wav || fail "make_demo_wav failed"
cp good1.wav "good 2.wav" && cp good1.wav good3.wav && cp good1.wav good4.wav
: >empty.wav
echo "not a wave file" >text.wav
head -c 30 good1.wav >cut.wav
names=(good1.wav empty.wav "good 2.wav" text.wav good3.wav cut.wav missing.wav good4.wav)
printf '%s\n' "${names[@]}" >list

"$riffdump" --json --files-from - <list >plain.jsonl 2>plain.err
[ $? -eq 1 ] || fail "riffdump over the whole list did not end with status 1 (some files are bad)"

parallel --will-cite -S 2/: --pipe -N 2 -k --joblog jobs \
  "$riffdump" --json --files-from - <list >spread.jsonl 2>spread.err
status=$?
# parallel's status is the number of jobs that failed: here every block holds a bad file.
[ $status -eq 4 ] || fail "parallel ended with status $status, not 4 (one per block with a bad file)"

# Four blocks of two names each, so four jobs.
jobs=$(($(wc -l <jobs) - 1))
[ $jobs -eq 4 ] || fail "parallel ran $jobs jobs, not 4"

# One line per name, in the order of the names, and the spread run gives the same bytes.
[ "$(wc -l <plain.jsonl)" -eq ${#names[@]} ] || fail "the plain run wrote $(wc -l <plain.jsonl) lines for ${#names[@]} names"
for i in "${!names[@]}"; do
  line="$(sed -n "$((i + 1))p" plain.jsonl)"
  case "$line" in
  "{\"file\":\"${names[$i]}\",\"status\":\"wsOk\""*) ok=yes ;;
  "{\"file\":\"${names[$i]}\",\"status\":\""*) ok=no ;;
  *) fail "line $((i + 1)) is not about ${names[$i]}: $line" ;;
  esac
  case "${names[$i]}" in
  good*) [ $ok = yes ] || fail "${names[$i]} did not read wsOk: $line" ;;
  *) [ $ok = no ] || fail "${names[$i]} read wsOk: $line" ;;
  esac
done
cmp -s plain.jsonl spread.jsonl || fail "parallel's output differs from one riffdump's:
$(diff plain.jsonl spread.jsonl)"
cmp -s plain.err spread.err || fail "parallel's standard error differs from one riffdump's:
$(diff plain.err spread.err)"
echo "1 passed, 0 failed"
