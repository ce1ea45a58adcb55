#!/usr/bin/env bash
# An audit run as a Slurm array job on a one-node cluster started here: one task is killed
# part-way, so the first run fails and says so; the same command run again finishes with
# --resume (the killed task's finished files are not read again), and the merged database is
# what one riffdump over the whole list writes.
# Usage: slurm_audit.sh SLURM_AUDIT RIFFDUMP MAKE_DEMO_WAV
# Exits 77 (skipped) only where a cluster cannot be started: not root, or Slurm, munge or
# sqlite3 not installed (scripts/setup installs them).
set -euo pipefail
slurm_audit="$1"
riffdump="$2"
make_demo="$3"
skip() {
  echo "slurm_audit: SKIPPED: $*" >&2
  exit 77
}
fail() {
  echo "slurm_audit: FAILED: $*" >&2
  exit 1
}

[ "$(id -u)" -eq 0 ] || skip "the cluster's daemons need root"
for tool in munged mungekey slurmctld slurmd sbatch squeue scancel sqlite3; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup installs it)"
done

work="$(mktemp -d)"
feeder=""
# munged checks that every folder above its socket lets others through.
chmod 711 "$work"
cleanup() {
  set +e
  [ -n "$feeder" ] && kill "$feeder" 2>/dev/null
  if [ -f "$work/slurmctld.pid" ]; then
    scancel --quiet --full --signal=KILL --partition=audit 2>/dev/null
    sleep 1
  fi
  for daemon in slurmd slurmctld munge/munged; do
    if [ -f "$work/$daemon.pid" ]; then
      pid="$(cat "$work/$daemon.pid")"
      kill "$pid" 2>/dev/null
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$pid" 2>/dev/null
    fi
  done
  rm -rf "$work"
}
trap cleanup EXIT
show_logs() {
  for log in "$work"/log/*; do echo "--- $log" >&2; tail -n 20 "$log" >&2; done
}

# Two free TCP ports in a row on localhost, for the controller and the node.
port=""
for _ in $(seq 50); do
  candidate=$((20000 + RANDOM % 20000))
  if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null &&
    ! (exec 3<>"/dev/tcp/127.0.0.1/$((candidate + 1))") 2>/dev/null; then
    port=$candidate
    break
  fi
done
[ -n "$port" ] || fail "no free ports on localhost"

# munge with its own key and socket.
mkdir -p "$work/munge" "$work/state" "$work/spool" "$work/log"
chmod 711 "$work/munge"
mungekey --create --keyfile="$work/munge/munge.key"
chmod 400 "$work/munge/munge.key"
munged --key-file="$work/munge/munge.key" --socket="$work/munge/munge.socket.2" \
  --pid-file="$work/munge/munged.pid" --log-file="$work/log/munged.log" \
  --seed-file="$work/munge/munged.seed" || { show_logs; fail "munged did not start"; }

# The node as slurmd sees it: this host's name, CPUs and memory.
node="$(hostname -s)"
hardware="$(slurmd -C | head -n 1)"
cpus="$(sed -n 's/.* CPUs=\([0-9]*\).*/\1/p' <<<"$hardware")"
memory="$(sed -n 's/.* RealMemory=\([0-9]*\).*/\1/p' <<<"$hardware")"
[ -n "$cpus" ] && [ -n "$memory" ] || fail "slurmd -C gave no CPUs or memory: $hardware"
cat >"$work/slurm.conf" <<EOF
ClusterName=riffscope-test
SlurmctldHost=$node(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$work/munge/munge.socket.2
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/log/slurmctld.log
SlurmdLogFile=$work/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
MpiDefault=none
ReturnToService=2
NodeName=$node NodeAddr=127.0.0.1 CPUs=$cpus RealMemory=$memory State=UNKNOWN
PartitionName=audit Nodes=$node Default=YES MaxTime=INFINITE State=UP
EOF
# Nothing of an enclosing Slurm job or cluster may leak in.
unset "${!SLURM_@}"
export SLURM_CONF="$work/slurm.conf"
slurmctld || { show_logs; fail "slurmctld did not start"; }
slurmd || { show_logs; fail "slurmd did not start"; }
for _ in $(seq 100); do
  [ "$(sinfo -h -n "$node" -o %t 2>/dev/null)" = idle ] && break
  sleep 0.2
done
[ "$(sinfo -h -n "$node" -o %t 2>/dev/null)" = idle ] || { show_logs; fail "the node did not come up idle"; }

# A collection in a folder with a space in its name: good files that differ in their audio,
# cut, empty and foreign files, and one FIFO last in the list that holds its task while a
# feeder trickles a file into it.
audit="$work/an audit"
mkdir -p "$audit/wav"
"$make_demo" "$audit/demo.wav"
: >"$audit/list"
for i in $(seq 1 240); do
  name="$audit/wav/take $i.wav"
  cp "$audit/demo.wav" "$name"
  printf '%04x' "$i" | dd of="$name" bs=1 seek=$((1000 + i)) conv=notrunc status=none
  echo "$name" >>"$audit/list"
done
for i in $(seq 1 30); do
  head -c $((100 + 5000 * i)) "$audit/demo.wav" >"$audit/wav/cut $i.wav"
  echo "$audit/wav/cut $i.wav" >>"$audit/list"
done
: >"$audit/wav/empty.wav"
echo "not a wave file" >"$audit/wav/text.wav"
printf '%s\n' "$audit/wav/empty.wav" "$audit/wav/text.wav" >>"$audit/list"
fifo="$audit/wav/stream.wav"
mkfifo "$fifo"
echo "$fifo" >>"$audit/list"
names=$(wc -l <"$audit/list")
# Writes demo.wav into the FIFO, a block every DELAY seconds (riffdump waits 3 s for a byte).
feed() {
  local delay="$1"
  for ((k = 0; k * 4096 < $(stat -c %s "$audit/demo.wav"); k++)); do
    dd if="$audit/demo.wav" bs=4096 skip=$k count=1 status=none || return 0
    sleep "$delay"
  done >"$fifo"
}
out="$audit/result.db"
export RIFFDUMP="$riffdump" RIFFSCOPE_AUDIT_POLL=1

# First run: wait until the FIFO's task is the one left, its part holding rows, then kill it.
feed 1 &
feeder=$!
start=$SECONDS
timeout 150 "$slurm_audit" "$audit/list" "$out" 4 --partition=audit --time=5 >"$work/run1.out" 2>"$work/run1.err" &
run=$!
killed=""
for _ in $(seq 600); do
  tasks="$(squeue -h -n riffdump-audit -o '%i %T' 2>/dev/null || true)"
  if [ "$(wc -l <<<"$tasks")" -eq 1 ] && [[ "$tasks" == *_*" RUNNING" ]]; then
    task="${tasks%% *}"
    part="$out.part-${task#*_}-of-4"
    if [ -f "$part" ] && [ "$(sqlite3 "$part" 'SELECT count(*) FROM files')" -gt 0 ]; then
      scancel --full --signal=KILL "$task"
      killed="$task"
      break
    fi
  fi
  sleep 0.2
done
[ -n "$killed" ] || { cat "$work/run1.out" "$work/run1.err" >&2; show_logs; fail "no task was left holding the FIFO"; }
status=0
wait "$run" || status=$?
kill "$feeder" 2>/dev/null || true
wait "$feeder" 2>/dev/null || true
feeder=""
echo "slurm_audit: first run ended with status $status after $((SECONDS - start)) s"
sed 's/^/  /' "$work/run1.err"
[ $status -eq 1 ] || { cat "$work/run1.out" "$work/run1.err" >&2; fail "the run with a killed task ended with status $status, not 1"; }
[ ! -e "$out" ] || fail "the run with a killed task left $out"
grep -q "task ${killed#*_} (job $killed) ended" "$work/run1.err" ||
  { cat "$work/run1.err" >&2; fail "the failure does not name the killed task $killed"; }
grep -q "run the same command again" "$work/run1.err" || fail "the failure does not say how to go on"

# Second run: the same command finishes; no file already in a part is read again.
feed 0 &
feeder=$!
start=$SECONDS
timeout 150 "$slurm_audit" "$audit/list" "$out" 4 --partition=audit --time=5 >"$work/run2.out" 2>"$work/run2.err" ||
  { cat "$work/run2.out" "$work/run2.err" >&2; show_logs; fail "the second run failed"; }
wait "$feeder" || true
feeder=""
echo "slurm_audit: second run took $((SECONDS - start)) s"
[ -f "$out" ] || fail "the second run ended 0 without $out"
ls "$out".part-* 2>/dev/null && fail "the parts were left after the merge"
array="$(sed -n 's/^slurm-audit: array job \([0-9]*\) .*/\1/p' "$work/run2.out")"
read_again="$(cat "$out.logs/${array}"_*.log | sed -n 's/: ws[A-Za-z]*$//p' | sort)"
[ "$read_again" = "$fifo" ] || fail "the second run read more than the FIFO the killed task held:
$read_again"

# The merged database is what one riffdump over the whole list writes.
feed 0 &
feeder=$!
status=0
"$riffdump" --report --db "$audit/single.db" --files-from "$audit/list" >/dev/null 2>&1 || status=$?
wait "$feeder" || true
feeder=""
[ $status -le 2 ] || fail "the single riffdump ended with status $status"
[ "$(sqlite3 "$out" 'SELECT count(*) FROM files')" -eq "$names" ] ||
  fail "$out holds $(sqlite3 "$out" 'SELECT count(*) FROM files') files, not $names"
diff <(sqlite3 "$audit/single.db" .dump) <(sqlite3 "$out" .dump) >"$work/diff" ||
  { head -n 20 "$work/diff" >&2; fail "the merged database differs from one riffdump's"; }
echo "1 passed, 0 failed"
