#!/usr/bin/env bash
# with_slurm.sh COMMAND [ARG...]: runs COMMAND against a one-node Slurm
# cluster of its own (munged, slurmctld and slurmd with every file in a
# temporary folder and free ports), with SLURM_CONF and MUNGE_SOCKET exported,
# then stops the daemons it started and exits with COMMAND's status. Exits 77
# when Slurm cannot be started here, after printing the daemon's last log lines.
set -u
[ $# -ge 1 ] || { echo "usage: with_slurm.sh COMMAND [ARG...]" >&2; exit 2; }
for tool in munged slurmctld slurmd sbatch sinfo python3; do
  command -v "$tool" >/dev/null || { echo "with_slurm.sh: $tool not installed, skipping" >&2; exit 77; }
done

dir=$(mktemp -d /tmp/mw-slurm.XXXXXX)
chmod 700 "$dir"
pids=()
stop() {
  # Only the daemons started here, by their pids; slurmd first so that it
  # does not wait on a controller that is gone.
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  for pid in "${pids[@]}"; do
    timeout 10 tail --pid="$pid" -f /dev/null || kill -9 "$pid" 2>/dev/null
  done
  rm -rf "$dir"
}
trap stop EXIT
trap 'exit 143' TERM INT

fail() {  # fail MESSAGE LOG: the daemon's last words, then skip
  echo "with_slurm.sh: $1; the last lines of $2:" >&2
  tail -n 20 "$2" >&2 2>/dev/null
  exit 77
}

host=$(hostname -s)
cpus=$(nproc)
user=$(id -un)
[ "$(id -u)" -eq 0 ] || echo "with_slurm.sh: not root, the daemons run as $user" >&2
read -r ctldPort slurmdPort < <(python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("", 0))
print(*[x.getsockname()[1] for x in s])')

mkdir -p "$dir/state" "$dir/spool" "$dir/munge"
chmod 700 "$dir/munge"
dd if=/dev/urandom of="$dir/munge/munge.key" bs=1024 count=1 status=none
chmod 400 "$dir/munge/munge.key"
export MUNGE_SOCKET="$dir/munge/munge.socket"
munged --foreground --force --socket="$MUNGE_SOCKET" --key-file="$dir/munge/munge.key" \
  --pid-file="$dir/munge/munged.pid" --log-file="$dir/munged.log" \
  --seed-file="$dir/munge/munged.seed" >>"$dir/munged.log" 2>&1 &
pids+=($!)
timeout 10 bash -c "until [ -S '$MUNGE_SOCKET' ]; do sleep 0.1; done" ||
  fail "munged did not start" "$dir/munged.log"

export SLURM_CONF="$dir/slurm.conf"
cat > "$SLURM_CONF" <<CONF
ClusterName=mw$$
SlurmctldHost=$host
SlurmctldPort=$ctldPort
SlurmdPort=$slurmdPort
SlurmUser=$user
SlurmdUser=$user
AuthType=auth/munge
AuthInfo=socket=$MUNGE_SOCKET
CredType=cred/munge
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
SwitchType=switch/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
ReturnToService=2
KillWait=2
MailProg=/bin/true
MinJobAge=30
NodeName=$host CPUs=$cpus State=UNKNOWN
PartitionName=mw Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF

slurmctld -D -f "$SLURM_CONF" >>"$dir/slurmctld.log" 2>&1 &
pids+=($!)
slurmd -D -f "$SLURM_CONF" >>"$dir/slurmd.log" 2>&1 &
pids+=($!)
deadline=$((SECONDS + 30))
until timeout 5 sinfo -h -N -o %t 2>/dev/null | grep -qx idle; do
  kill -0 "${pids[1]}" 2>/dev/null || fail "slurmctld exited" "$dir/slurmctld.log"
  kill -0 "${pids[2]}" 2>/dev/null || fail "slurmd exited" "$dir/slurmd.log"
  if [ $SECONDS -ge $deadline ]; then
    tail -n 20 "$dir/slurmctld.log" >&2
    fail "the node did not become idle within 30 s" "$dir/slurmd.log"
  fi
  sleep 0.5
done

"$@"
