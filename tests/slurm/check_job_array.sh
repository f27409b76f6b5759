#!/usr/bin/env bash
# check_job_array.sh MWBATCH OBJECTS SBATCH_SCRIPT: the job array script on a
# one-node cluster of its own gives the files and manifests of one run of the
# same seeds; a task cancelled while it runs, submitted again, gives them too;
# a rerun of the whole array replaces the files and leaves no temporaries.
set -u
here=$(cd "$(dirname "$0")" && pwd)
[ -n "${MW_SLURM_CLUSTER:-}" ] || MW_SLURM_CLUSTER=1 exec "$here/with_slurm.sh" "$0" "$@"
[ $# -eq 3 ] || { echo "usage: check_job_array.sh MWBATCH OBJECTS SBATCH_SCRIPT" >&2; exit 2; }
mwbatch=$1 objects=$2 script=$3

work=$(mktemp -d /tmp/mw-array.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
# No user's mw.cfg: the pictures take the built-in colours, as the reference's.
export XDG_CONFIG_HOME=$work/no-config MWBATCH=$mwbatch OBJECTS=$objects
export FORMATS=mwp,png,mask,depth,keypoints
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# sha256 of every figure file of one folder or of the task folders under it.
hashes() { (cd "$1" && find . -name 'figure-*' -exec sha256sum {} + |
  sed -E 's| \./(task-[0-9]+/)?| |' | sort -k 2); }
# The task folders' manifests, put one after the other in task order.
manifests() { cat "$1"/task-*/manifest.jsonl; }
reference() {  # reference DIR SEED COUNT: one run of those seeds
  "$mwbatch" random --objects "$objects" --formats "$FORMATS" --seed "$2" --count "$3" \
    --out "$1" --quiet || fail "the one run of seeds $2.. exited with $?"
}
compare() {  # compare WHAT ARRAY_DIR REFERENCE_DIR
  cmp -s <(hashes "$2") <(hashes "$3") || fail "$1: the files differ from one run's:
$(diff <(hashes "$2") <(hashes "$3") | head -n 5)"
  [ "$(hashes "$2" | wc -l)" -gt 0 ] || fail "$1: no files written"
  cmp -s <(manifests "$2") "$3/manifest.jsonl" || fail "$1: the task manifests differ from one run's"
  [ -z "$(find "$2" -name '*.tmp*')" ] || fail "$1: temporaries left: $(find "$2" -name '*.tmp*' | head -n 3)"
}
submit() {  # submit ARRAY OUT COUNT [sbatch options...]: exit status of sbatch
  local array=$1 out=$2 count=$3; shift 3
  OUT=$out COUNT=$count timeout 120 sbatch --array="$array" --cpus-per-task=1 \
    --output="$work/log-%A_%a.txt" "$@" "$script"
}
logs() { tail -n 5 "$work"/log-*.txt >&2 2>/dev/null; }

# Four tasks of ten figures against one run of the forty seeds.
reference ref 0 40
submit 0-3 array 10 --wait --quiet || { fail "the array exited with $?"; logs; }
compare "array 0-3" array ref
[ "$(ls -d array/task-* | wc -l)" -eq 4 ] || fail "not four task folders: $(ls array)"

# Task 1 of a slower array (one core, 200 figures), cancelled once it wrote
# figures, then submitted again alone.
reference ref-slow 200 200
job=$(submit 1 slow 200 --parsable) || fail "sbatch of the slow task exited with $?"
timeout 60 bash -c "until ls slow/task-00001/figure-*.mwp >/dev/null 2>&1; do sleep 0.2; done" ||
  fail "the slow task wrote nothing within 60 s"
scancel "${job}_1"
timeout 60 bash -c "while [ -n \"\$(squeue -h -j $job 2>/dev/null)\" ]; do sleep 0.5; done" ||
  fail "the cancelled task did not end within 60 s"
written=$(ls slow/task-00001/figure-*.mwp | wc -l)
[ "$written" -lt 200 ] || fail "the slow task finished before it was cancelled"
echo "cancelled after $written of 200 figures"
submit 1 slow 200 --wait --quiet || { fail "the rerun of task 1 exited with $?"; logs; }
compare "task 1 cancelled and run again" slow ref-slow

# The whole array again over its own files: replaced, and the temporary a
# task killed outright would leave is removed.
touch -d '2000-01-01' array/task-*/figure-*
echo partial > array/task-00001/figure-12.png.tmp-Xy12Ab
submit 0-3 array 10 --wait --quiet || { fail "the second array exited with $?"; logs; }
compare "array 0-3 run again" array ref
[ -z "$(find array -name 'figure-*' ! -newermt '2001-01-01')" ] || fail "the rerun left old files in place"

[ $status -eq 0 ] && echo "job array: same files as one run, also after a cancelled task and a rerun"
exit $status
