#!/usr/bin/env bash
# The long fuzzing campaign: every fuzz target (or the ones named) runs for a
# fixed time with AddressSanitizer and UBSan, one after the other, starting
# from its seed corpus in tests/fuzz/corpus/<target>.
#   fuzz.sh [TARGET...]          e.g. fuzz.sh header_cut page_list
# Settings (environment):
#   ORVOX_FUZZ_SECONDS  time per target, default 600 (ten minutes)
#   ORVOX_FUZZ_NICE     priority of the runs, default 15
#   ORVOX_FUZZ_BUILD    0 to skip building the fuzzing tree first
#   ORVOX_FUZZ_TMPDIR   folder for the targets' scratch files, default /dev/shm
# What it leaves in build/fuzz/campaign/:
#   <target>.log        libFuzzer's output
#   work/<target>/      the corpus grown by the run (the seed folder is only read)
#   findings/<target>/  inputs that crashed, leaked or timed out
#   report.txt          one line per target: runs, executions per second,
#                       coverage (edges), features, corpus size, findings
# Exits 1 when any target found something, 0 otherwise.
# CI keeps its short fixed runs (tools/test.sh); this is the campaign.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${ORVOX_FUZZ_SECONDS:-600}
niceness=${ORVOX_FUZZ_NICE:-15}

# The settings-file and catalog targets save what they read, and a save is
# flushed to the disk (fsync of the file and its folder): on a disk that is
# most of each run's time (settings_file 56 against 173 runs a second,
# paper_catalog 71 against 670, measured). Their scratch files go to a memory
# file system when there is one; ORVOX_FUZZ_TMPDIR chooses another folder.
scratch=${ORVOX_FUZZ_TMPDIR:-}
if [ -z "$scratch" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  scratch=/dev/shm
fi
if [ -n "$scratch" ]; then
  export TMPDIR=$scratch
fi

if [ "${ORVOX_FUZZ_BUILD:-1}" != 0 ]; then
  tools/build.sh fuzz
fi

out=build/fuzz/campaign
mkdir -p "$out/work" "$out/findings"
if (($# > 0)); then
  targets=("$@")
else
  targets=()
  for f in build/fuzz/fuzz_*; do
    [ -x "$f" ] && targets+=("${f#build/fuzz/fuzz_}")
  done
fi
if ((${#targets[@]} == 0)); then
  echo "fuzz.sh: no fuzz targets in build/fuzz" >&2
  exit 2
fi

report=$out/report.txt
printf '%-16s %10s %8s %7s %7s %7s %s\n' target runs exec/s cov ft corpus findings >"$report"
status=0
for name in "${targets[@]}"; do
  exe=build/fuzz/fuzz_$name
  if [ ! -x "$exe" ]; then
    echo "fuzz.sh: no target $name" >&2
    status=1
    continue
  fi
  work=$out/work/$name
  findings=$out/findings/$name
  mkdir -p "$work" "$findings"
  seeds=()
  [ -d "tests/fuzz/corpus/$name" ] && seeds=("tests/fuzz/corpus/$name")
  dict=()
  [ -f "tests/fuzz/$name.dict" ] && dict=("-dict=tests/fuzz/$name.dict")
  echo "== $name: $seconds s" >&2
  # New inputs go to the first folder, so the seed folder stays as checked in.
  # Leaks count as findings; a single input may take at most 10 s.
  rc=0
  nice -n "$niceness" "$exe" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" "${dict[@]}" "$work" "${seeds[@]}" >"$out/$name.log" 2>&1 || rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$name.log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$out/$name.log" | tail -n 1)
  # The last status line of libFuzzer carries the coverage figures.
  last=$(grep -E '^#[0-9]+' "$out/$name.log" | tail -n 1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  found=$(find "$findings" -type f | wc -l)
  if ((rc != 0 || found > 0)); then
    status=1
    what="$found input(s) in $findings (exit $rc)"
  else
    what=none
  fi
  printf '%-16s %10s %8s %7s %7s %7s %s\n' "$name" "${runs:-?}" "${speed:-?}" "${cov:-?}" "${ft:-?}" \
    "${corp:-?}" "$what" >>"$report"
done
cat "$report"
exit "$status"
