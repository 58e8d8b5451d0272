#!/usr/bin/env bash
# OrvoxSubmit under Wine through the capture printer, from an installation
# folder of its own (with TIFF conversion on):
#   - print with an XML ticket, with a settings-file ticket, with a printer
#     that is not there (19), with a ticket that does not parse (39 and its
#     line), with a file the library refuses (a colour TIFF, 34), with a
#     question answered No (23) and, with --yes, Yes; exit codes and JSON records;
#   - a hot folder that receives ten files, one written slowly in parts: each
#     arrives at the printer exactly once and whole;
#   - hot folders with a bad ticket and with a missing printer;
#   - a watcher killed while a job is in Processing, then started again; the
#     same in the middle of a print run over many files;
#   - Ctrl+C while a job prints: the job finishes, the next file stays;
#   - one start of the library serves two jobs with different tickets: the
#     second job reaches the printer exactly as it does from a start of its own;
#   - files whose names have letters beyond ASCII, in a hot folder and on the
#     command line: printed like any other;
#   - a file that vanishes before it is taken, and a hot folder on a full disk:
#     nothing is lost and the watcher goes on;
#   - many files in one print run whose queue refuses jobs half-way: what is
#     in Done reached the printer once, what is in Failed did not;
#   - a question declined in the middle of a shared run to an IPP printer:
#     each file meets it for itself (under tools/ipp-env.sh; skipped without).
#   submit_e2e.sh BIN_FOLDER      (needs ORVOX_QUEUE and ORVOX_CAPTURE_DIR: tools/e2e-env.sh)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bin=$(cd "${1:?usage: $0 BIN_FOLDER}" && pwd)
queue=${ORVOX_QUEUE:?ORVOX_QUEUE is not set (run through tools/e2e-env.sh)}
capture=${ORVOX_CAPTURE_DIR:?ORVOX_CAPTURE_DIR is not set}

work=$(mktemp -d /tmp/orvox-submit-e2e.XXXXXX)
watcher_pid=
cleanup() {
  [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null
  # Small disks of the full-disk test, if it stopped half-way.
  for disk in "$work/donedisk" "$work/full"; do mountpoint -q "$disk" 2>/dev/null && umount -l "$disk"; done
  rm -rf "$work"
}
trap cleanup EXIT

inst=$work/install
mkdir -p "$inst"
cp "$bin/Orvox.dll" "$bin/orvoxRes.dll" "$bin/OrvoxSubmit.exe" "$inst/"
cp "$root"/install/* "$inst/"
cp "$bin"/*.chm "$inst/" 2>/dev/null || true
# TIFF files are converted to PDF (and refused when they cannot be).
printf '[BrandingStrings]\r\nTypeFilter=1\r\n' >"$inst/OrvoxBr.ini"

# 77: the program cannot run on this machine (a 32-bit one where no 32-bit
# program runs; wine-run.sh said why): a skip, not a pass.
help_rc=0
(cd "$inst" && "$root/tools/wine-run.sh" ./OrvoxSubmit.exe --help >/dev/null) || help_rc=$?
if ((help_rc == 77)); then echo "submit e2e: skipped"; exit 77; fi

failures=0
pass() { echo "ok: $*"; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
win() { local p=$1; echo "Z:${p//\//\\}"; }

# Runs OrvoxSubmit from the installation folder; stderr goes to $work/last.err.
submit() {
  (cd "$inst" && timeout 300 "$root/tools/wine-run.sh" ./OrvoxSubmit.exe "$@") 2>"$work/last.err"
}

jobs_now() { find "$capture" -maxdepth 1 -name 'job-*.bin' | sort; }
# Waits until the capture folder holds COUNT jobs more than the list in FILE, at most SECONDS.
wait_jobs() {
  local before=$1 count=$2 seconds=${3:-30} n
  for ((i = 0; i < seconds * 10; i++)); do
    n=$(jobs_now | comm -13 "$before" - | wc -l)
    ((n >= count)) && break
    sleep 0.1
  done
  jobs_now | comm -13 "$before" -
}
# True when exactly one job of the list ends with the bytes of FILE.
received_once() {
  python3 - "$1" "$2" <<'PY'
import sys
jobs = [open(p, 'rb').read() for p in open(sys.argv[1]).read().split()]
want = open(sys.argv[2], 'rb').read()
sys.exit(0 if sum(j.endswith(want) for j in jobs) == 1 else 1)
PY
}

# A process and its descendants (the Windows program runs as a child of the wine-run.sh it was started by).
tree_of() {
  local pid=$1 child
  echo "$pid"
  for child in $(pgrep -P "$pid"); do tree_of "$child"; done
}

page() { # NAME: a small PostScript file whose text names it
  printf '%%!PS-Adobe-3.0\n%%%%Title: %s\n/Helvetica findfont 20 scalefont setfont\n72 720 moveto (%s) show showpage\n%%%%EOF\n' "$1" "$1"
}

mkdir -p "$work/files"
page alpha >"$work/files/alpha.ps"
page beta >"$work/files/beta.ps"
printf '<PRINTER_SETTINGS>\n<PRINTER>%s</PRINTER>\n<COLLATE>ON</COLLATE>\n</PRINTER_SETTINGS>\n' "$queue" >"$work/good.xml"
printf '<PRINTER_SETTINGS>\n<PRINTER>NoSuchQueue</PRINTER>\n</PRINTER_SETTINGS>\n' >"$work/missing-printer.xml"
printf '<PRINTER_SETTINGS>\n<COLLATE>ON</COLLATE>\n<COLLATE ON</COLLATE>\n</PRINTER_SETTINGS>\n' >"$work/broken.xml"
# A colour image: the PDF conversion takes bilevel images only.
{ printf 'P6\n16 16\n255\n'; python3 -c "import sys; sys.stdout.buffer.write(bytes([200, 30, 30]) * 256)"; } >"$work/colour.ppm"
ppm2tiff -R 300 "$work/colour.ppm" "$work/files/colour.tif"

echo "== print: XML ticket, two files"
jobs_now >"$work/before"
submit print --ticket "$(win "$work/good.xml")" --json "$(win "$work/print.jsonl")" \
  "$(win "$work/files/alpha.ps")" "$(win "$work/files/beta.ps")"
rc=$?
wait_jobs "$work/before" 2 >"$work/new"
if ((rc == 0)) && received_once "$work/new" "$work/files/alpha.ps" && received_once "$work/new" "$work/files/beta.ps"; then
  pass "exit 0, both files at the printer once"
else
  fail "XML ticket: exit $rc, $(wc -l <"$work/new") new jobs"; cat "$work/last.err"
fi
grep -q '"result":0' "$work/print.jsonl" && grep -q 'alpha.ps' "$work/print.jsonl" &&
  pass "JSON record" || fail "no JSON record: $(cat "$work/print.jsonl" 2>/dev/null)"
grep -q ' result 0 success' "$work/last.err" && pass "result on stderr" || fail "no result line: $(cat "$work/last.err")"

echo "== print: settings-file ticket made by save"
submit save --ticket "$(win "$work/good.xml")" "$(win "$work/good.ovx")"
rc=$?
if ((rc == 0)) && [ -s "$work/good.ovx" ]; then pass "save wrote a settings file"; else fail "save: exit $rc"; cat "$work/last.err"; fi
jobs_now >"$work/before"
submit print --ticket "$(win "$work/good.ovx")" --printer "$queue" "$(win "$work/files/alpha.ps")"
rc=$?
wait_jobs "$work/before" 1 >"$work/new"
if ((rc == 0)) && received_once "$work/new" "$work/files/alpha.ps"; then pass "settings-file ticket printed"
else fail "settings-file ticket: exit $rc"; cat "$work/last.err"; fi

echo "== print: failures and their codes"
jobs_now >"$work/before"
submit print --ticket "$(win "$work/missing-printer.xml")" "$(win "$work/files/alpha.ps")"
rc=$?
((rc == 19)) && grep -qi 'NoSuchQueue' "$work/last.err" && pass "missing printer: 19 and its message" ||
  { fail "missing printer: exit $rc"; cat "$work/last.err"; }
submit print --ticket "$(win "$work/good.ovx")" --printer NoSuchQueue "$(win "$work/files/alpha.ps")"
rc=$?
((rc == 19)) && pass "--printer not there: 19" || fail "--printer not there: exit $rc"
submit print --ticket "$(win "$work/broken.xml")" "$(win "$work/files/alpha.ps")"
rc=$?
((rc == 39)) && grep -q 'line 3' "$work/last.err" && pass "broken ticket: 39 at line 3" ||
  { fail "broken ticket: exit $rc"; cat "$work/last.err"; }
submit print --ticket "$(win "$work/good.xml")" "$(win "$work/files/colour.tif")"
rc=$?
((rc == 34)) && grep -q 'message error' "$work/last.err" && pass "colour TIFF refused: 34 with the library's message" ||
  { fail "colour TIFF: exit $rc"; cat "$work/last.err"; }
submit print --ticket "$(win "$work/good.xml")" "$(win "$work/files/nothere.ps")"
rc=$?
((rc == 17)) && pass "missing print file: 17" || fail "missing print file: exit $rc"
submit print --ticket "$(win "$work/nothere.xml")" "$(win "$work/files/alpha.ps")"
rc=$?
((rc == 17)) && pass "missing ticket: 17" || fail "missing ticket: exit $rc"
submit print "$(win "$work/files/alpha.ps")"
rc=$?
((rc == 64)) && pass "command line without ticket: 64" || fail "command line without ticket: exit $rc"
# A bilevel TIFF with PCL as the printer language: the library asks whether to
# send the converted PDF anyway. The default answer stops the job with 23.
printf '<PRINTER_SETTINGS>\n<PRINTER>%s</PRINTER>\n<PRINTER_LANGUAGE>ID_FILE_TYPE_PCL</PRINTER_LANGUAGE>\n</PRINTER_SETTINGS>\n' \
  "$queue" >"$work/pcl.xml"
cp "$root/tests/fuzz/corpus/tiff_to_pdf/plain.tif" "$work/files/plain.tif"
submit print --ticket "$(win "$work/pcl.xml")" "$(win "$work/files/plain.tif")"
rc=$?
((rc == 23)) && grep -q 'message question (Yes/No) -> No: ' "$work/last.err" && pass "a question is answered No: 23" ||
  { fail "question without --yes: exit $rc"; cat "$work/last.err"; }
sleep 1
n=$(wait_jobs "$work/before" 0 0 | wc -l)
((n == 0)) && pass "no failed job reached the printer" || fail "$n jobs reached the printer from failed runs"
submit print --yes --ticket "$(win "$work/pcl.xml")" "$(win "$work/files/plain.tif")"
rc=$?
n=$(wait_jobs "$work/before" 1 30 | wc -l)
((rc == 0 && n == 1)) && grep -q 'message question (Yes/No) -> Yes: ' "$work/last.err" &&
  pass "with --yes the question is answered Yes and the job printed" || { fail "--yes: exit $rc, $n jobs"; cat "$work/last.err"; }
submit --help >"$work/help.txt"
grep -q "Exit status: the library's result code" "$work/help.txt" && pass "--help names the exit status" || fail "--help"

echo "== watch: ten files, one written slowly"
hot=$work/hot
mkdir -p "$hot"
cp "$work/good.xml" "$hot/_ticket.xml"
jobs_now >"$work/before"
(cd "$inst" && exec timeout 300 "$root/tools/wine-run.sh" ./OrvoxSubmit.exe watch "$(win "$hot")" \
  --stable 1.5 --poll 0.2 --idle-exit 6 --json "$(win "$work/watch.jsonl")") 2>"$work/watch.err" &
watcher_pid=$!
for i in 1 2 3 4 5 6 7 8 9; do page "file $i" >"$work/files/f$i.ps"; cp "$work/files/f$i.ps" "$hot/f$i.ps"; done
# The slow one: six parts, 0.8 s apart, each shorter than the stability wait.
python3 - "$work/files/slow.ps" <<'PY'
import sys
body = b"%!PS-Adobe-3.0\n" + b"".join(b"%% line %d of the slow file\n" % i for i in range(3000)) + b"showpage\n%%EOF\n"
open(sys.argv[1], "wb").write(body)
PY
python3 - "$work/files/slow.ps" "$hot/slow.ps" <<'PY'
import sys, time
data = open(sys.argv[1], "rb").read()
step = len(data) // 6 + 1
with open(sys.argv[2], "wb") as out:
    for at in range(0, len(data), step):
        out.write(data[at:at + step]); out.flush(); time.sleep(0.8)
PY
wait "$watcher_pid"
rc=$?
watcher_pid=
wait_jobs "$work/before" 10 30 >"$work/new"
ok=1
for f in f1 f2 f3 f4 f5 f6 f7 f8 f9 slow; do
  received_once "$work/new" "$work/files/$f.ps" || { ok=0; echo "not received once: $f"; }
  cmp -s "$hot/Done/$f.ps" "$work/files/$f.ps" || { ok=0; echo "not in Done whole: $f"; }
  grep -q '^result: 0 success' "$hot/Done/$f.ps.log" || { ok=0; echo "no log: $f"; }
done
if ((ok)) && (($(wc -l <"$work/new") == 10)) && ((rc == 0)); then pass "ten files, each printed once and whole"
else fail "ten files: exit $rc, $(wc -l <"$work/new") jobs"; cat "$work/watch.err"; fi
(($(grep -c '"result":0' "$work/watch.jsonl") == 10)) && pass "ten JSON records" || fail "JSON records"
[ -z "$(ls "$hot/Processing")" ] && [ "$(ls "$hot")" = "$(printf 'Done\nFailed\nProcessing\n_ticket.xml')" ] &&
  pass "only the ticket stays in the folder" || fail "folder left: $(ls "$hot")"

echo "== watch: two folders, a bad ticket and a missing printer"
bad=$work/bad noprinter=$work/noprinter
mkdir -p "$bad" "$noprinter"
cp "$work/broken.xml" "$bad/_ticket.xml"
cp "$work/good.xml" "$noprinter/_ticket.xml"
cp "$work/files/alpha.ps" "$bad/a.ps"
cp "$work/files/beta.ps" "$noprinter/b.ps"
cp "$work/files/colour.tif" "$noprinter/c.tif"
cp "$work/good.xml" "$noprinter/c.xml"
jobs_now >"$work/before"
submit watch "$(win "$bad")" --printer NoSuchQueue "$(win "$noprinter")" --stable 0.5 --poll 0.2 --once
rc=$?
grep -q '^result: 39 ' "$bad/Failed/a.ps.log" && grep -q 'line 3' "$bad/Failed/a.ps.log" &&
  cmp -s "$bad/Failed/a.ps" "$work/files/alpha.ps" && pass "bad ticket: Failed with 39 and its line" ||
  { fail "bad ticket"; cat "$bad/Failed/a.ps.log" "$work/last.err"; }
grep -q '^result: 19 ' "$noprinter/Failed/b.ps.log" && grep -q 'NoSuchQueue' "$noprinter/Failed/b.ps.log" &&
  pass "missing printer: Failed with 19 and the library's message" || { fail "missing printer"; cat "$noprinter/Failed/b.ps.log"; }
[ -f "$noprinter/Failed/c.xml" ] && pass "own ticket went to Failed with its file" || fail "own ticket not moved"
sleep 1
n=$(wait_jobs "$work/before" 0 0 | wc -l)
((n == 0 && rc == 0)) && pass "nothing printed from the failing folders" || fail "$n jobs printed, exit $rc"

echo "== watch: killed during Processing, then started again"
kill_dir=$work/kill
mkdir -p "$kill_dir"
cp "$work/good.xml" "$kill_dir/_ticket.xml"
# A big file keeps the job in Processing long enough to be seen there.
python3 -c "import sys; sys.stdout.buffer.write(b'%!PS-Adobe-3.0\n' + b'% padding line of the big job ..........\n' * 600000 + b'showpage\n')" >"$kill_dir/big.ps"
cp "$kill_dir/big.ps" "$work/files/big.ps"
(cd "$inst" && exec timeout 300 "$root/tools/wine-run.sh" ./OrvoxSubmit.exe watch "$(win "$kill_dir")" \
  --stable 0.3 --poll 0.1) 2>"$work/kill.err" &
watcher_pid=$!
for ((i = 0; i < 600; i++)); do [ -f "$kill_dir/Processing/big.ps" ] && break; sleep 0.05; done
if [ -f "$kill_dir/Processing/big.ps" ]; then
  # The watcher and what it started, by their ids, all at once, as a crash would end it.
  kill -KILL $(tree_of "$watcher_pid") 2>/dev/null
  wait "$watcher_pid" 2>/dev/null
  watcher_pid=
  pass "killed with big.ps in Processing"
else
  fail "big.ps never reached Processing"; cat "$work/kill.err"
fi
sleep 1
page after >"$kill_dir/after.ps"
cp "$kill_dir/after.ps" "$work/files/after.ps"
jobs_now >"$work/before"
submit watch "$(win "$kill_dir")" --stable 0.3 --poll 0.1 --once
rc=$?
wait_jobs "$work/before" 1 30 >"$work/new"
cmp -s "$kill_dir/Failed/big.ps" "$work/files/big.ps" && grep -q 'not printed again' "$kill_dir/Failed/big.ps.log" &&
  pass "after the restart the interrupted job is in Failed, whole, with its log" || { fail "restart recovery"; ls -R "$kill_dir"; }
[ ! -e "$kill_dir/Processing/big.ps" ] && [ ! -e "$kill_dir/Done/big.ps" ] && pass "not also in Done or Processing" ||
  fail "interrupted job in two places"
received_once "$work/new" "$work/files/after.ps" && [ -f "$kill_dir/Done/after.ps" ] &&
  ! grep -q 'took big.ps' "$work/last.err" && grep -q 'big.ps -> Failed/big.ps (not printed again)' "$work/last.err" &&
  pass "the restarted watcher printed the next file, not the interrupted one" || { fail "after restart"; cat "$work/last.err"; }

echo "== watch: killed in the middle of a print run over many files, then started again"
# The run's journal in Processing tells the restart what the library had done:
# a file it had sent goes to Done, the one in progress to Failed, and the files
# it had not begun go back into the folder and are printed by the new start.
krun=$work/killrun
mkdir -p "$krun" "$work/killfiles"
cp "$work/good.xml" "$krun/_ticket.xml"
for i in $(seq -w 1 12); do
  python3 -c "import sys; sys.stdout.buffer.write(b'%!PS-Adobe-3.0\n% killed run file $i\n' + b'% padding of the killed run ....................\n' * 80000 + b'showpage\n')" >"$work/killfiles/k$i.ps"
  cp "$work/killfiles/k$i.ps" "$krun/k$i.ps"
done
jobs_now >"$work/before"
(cd "$inst" && exec timeout 300 "$root/tools/wine-run.sh" ./OrvoxSubmit.exe watch "$(win "$krun")" \
  --stable 0.3 --poll 0.1) 2>"$work/killrun.err" &
watcher_pid=$!
journal=$krun/Processing/.orvox-run.journal
sent_in_journal() { local n; n=$(grep -c '^status Sent: ' "$journal" 2>/dev/null); echo "${n:-0}"; }
for ((i = 0; i < 1200; i++)); do
  (($(sent_in_journal) >= 2)) && break
  sleep 0.02
done
sent_before_kill=$(sent_in_journal)
kill -KILL $(tree_of "$watcher_pid") 2>/dev/null
wait "$watcher_pid" 2>/dev/null
watcher_pid=
if ((sent_before_kill >= 2)) && [ -n "$(ls "$krun/Processing")" ]; then
  pass "killed after $sent_before_kill files of one run were sent"
else
  fail "the run was not caught in the middle ($sent_before_kill sent)"; cat "$work/killrun.err"
fi
submit watch "$(win "$krun")" --stable 0.3 --poll 0.1 --once
rc=$?
sleep 2
wait_jobs "$work/before" 0 0 >"$work/new"
ok=1 done_n=0 back_n=0
for i in $(seq -w 1 12); do
  f=k$i.ps
  n=$(python3 - "$work/new" "$work/killfiles/$f" <<'PY'
import sys
jobs = [open(p, 'rb').read() for p in open(sys.argv[1]).read().split()]
want = open(sys.argv[2], 'rb').read()
print(sum(j.endswith(want) for j in jobs))
PY
)
  ((n <= 1)) || { ok=0; echo "printed $n times: $f"; }
  if [ -f "$krun/Done/$f" ]; then
    done_n=$((done_n + 1))
    ((n == 1)) || { ok=0; echo "in Done but printed $n times: $f"; }
    grep -q 'took '"$f" "$work/last.err" && back_n=$((back_n + 1))
  elif [ -f "$krun/Failed/$f" ]; then
    grep -q 'may already have reached the printer' "$krun/Failed/$f.log" || { ok=0; echo "in Failed without the reason: $f"; }
  else
    ok=0; echo "neither in Done nor in Failed: $f"
  fi
done
failed_n=$(find "$krun/Failed" -name '*.ps' | wc -l)
if ((ok && rc == 0 && done_n + failed_n == 12 && failed_n <= 1 && back_n >= 1)) && [ -z "$(ls -A "$krun/Processing")" ]; then
  pass "after the restart: $done_n in Done, each printed once ($back_n of them by the new start), $failed_n in Failed"
else
  fail "restart after a killed run: exit $rc, $done_n in Done ($back_n new), $failed_n in Failed"; cat "$work/last.err"; ls -A "$krun" "$krun/Processing"
fi

echo "== watch: Ctrl+C during a job lets it finish"
stop_dir=$work/stop
mkdir -p "$stop_dir"
cp "$work/good.xml" "$stop_dir/_ticket.xml"
(cd "$inst" && exec timeout 300 "$root/tools/wine-run.sh" ./OrvoxSubmit.exe watch "$(win "$stop_dir")" \
  --stable 0.3 --poll 0.1) 2>"$work/stop.err" &
watcher_pid=$!
jobs_now >"$work/before"
# Not the same bytes as the killed job's, which may still reach the printer from the spooler.
{ cat "$work/files/big.ps"; echo "% the job stopped with Ctrl+C"; } >"$work/files/big-stop.ps"
cp "$work/files/big-stop.ps" "$stop_dir/big.ps"
cp "$work/files/alpha.ps" "$stop_dir/later.ps"
for ((i = 0; i < 600; i++)); do [ -f "$stop_dir/Processing/big.ps" ] && break; sleep 0.05; done
# Wine turns SIGINT into the console's Ctrl+C for the Windows program (the child of timeout).
program=$(pgrep -P "$watcher_pid" | head -n 1)
[ -n "$program" ] && kill -INT "$program"
for ((i = 0; i < 1200; i++)); do kill -0 "$watcher_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$watcher_pid" 2>/dev/null; then
  fail "the watcher did not end after Ctrl+C"; kill -KILL $(tree_of "$watcher_pid") 2>/dev/null
fi
wait "$watcher_pid"
rc=$?
watcher_pid=
wait_jobs "$work/before" 1 30 >"$work/new"
((rc == 0)) && tr -d '\r' <"$work/stop.err" | grep -q ' stopped$' && cmp -s "$stop_dir/Done/big.ps" "$work/files/big-stop.ps" &&
  received_once "$work/new" "$work/files/big-stop.ps" && pass "the job in progress finished and reached the printer whole" ||
  { fail "Ctrl+C: exit $rc"; cat "$work/stop.err"; ls -R "$stop_dir"; }
[ -f "$stop_dir/later.ps" ] && [ -z "$(ls "$stop_dir/Processing")" ] &&
  pass "the next file was left in the folder, Processing is empty" || fail "after Ctrl+C: $(ls -R "$stop_dir")"

echo "== watch: one start of the library serves jobs with different tickets"
reuse=$work/reuse
mkdir -p "$reuse" "$work/reuse-alone"
# Ticket A finishes its job; ticket B asks for nothing beyond the printer;
# ticket C is a settings file (collated).
printf '<PRINTER_SETTINGS>\n<PRINTER>%s</PRINTER>\n<PRINTING_MODE>ID_TWO_SIDED_FLIP_LONG</PRINTING_MODE>\n<STAPLING>ID_STAPLE_MODE_TOP</STAPLING>\n<COLLATE>ON</COLLATE>\n<CHAPTER_PAGES>3</CHAPTER_PAGES>\n</PRINTER_SETTINGS>\n' \
  "$queue" >"$work/ticket-a.xml"
printf '<PRINTER_SETTINGS>\n<PRINTER>%s</PRINTER>\n</PRINTER_SETTINGS>\n' "$queue" >"$work/ticket-b.xml"
page "job a" >"$work/files/ja.ps"
page "job b" >"$work/files/jb.ps"
page "job c" >"$work/files/jc.ps"
# serve_reuse NAME...: drops each NAME.ps with its ticket and serves the folder once.
serve_reuse() {
  local name
  for name in "$@"; do
    cp "$work/files/$name.ps" "$reuse/$name.ps"
    case $name in
      ja) cp "$work/ticket-a.xml" "$reuse/ja.xml" ;;
      jb) cp "$work/ticket-b.xml" "$reuse/jb.xml" ;;
      jc) cp "$work/good.ovx" "$reuse/jc.ovx" ;;
    esac
  done
  jobs_now >"$work/before"
  submit watch --printer "$queue" "$(win "$reuse")" --stable 0.3 --poll 0.1 --once
  reuse_rc=$?
  wait_jobs "$work/before" $# 30 >"$work/new"
  # Done is emptied for the next round: the same names go through Processing again.
  mv "$reuse/Done" "$work/reuse-alone/Done-$1"
}
# First b and c each alone, from a start of its own: what each must look like at the printer.
serve_reuse jb
alone_b=$(head -n 1 "$work/new")
serve_reuse jc
alone_c=$(head -n 1 "$work/new")
# Then a, b and c in one watcher: one start serves all three, in name order.
serve_reuse ja jb jc
cp "$work/last.err" "$work/reuse.err"
n=$(wc -l <"$work/new")
first=$(sed -n 1p "$work/new") second=$(sed -n 2p "$work/new") third=$(sed -n 3p "$work/new")
starts=$(grep -c ' library started in ' "$work/reuse.err")
if ((reuse_rc == 0 && n == 3 && starts == 1)) && [ -n "$alone_b" ] && [ -n "$alone_c" ]; then
  pass "three jobs, one start of the library"
else
  fail "reuse: exit $reuse_rc, $n jobs, $starts starts"; cat "$work/reuse.err"
fi
# b and c after a: the same bytes as each from a start of its own (header and
# file), so nothing of a's ticket or file went with them; a's own job differs.
for pair in "b $second $alone_b" "c $third $alone_c"; do
  set -- $pair
  if [ -n "${2:-}" ] && cmp -s "$2" "$3" && tail -c "$(stat -c %s "$work/files/j$1.ps")" "$2" | cmp -s - "$work/files/j$1.ps"; then
    pass "job $1 after job a carries only its own file and settings"
  else
    fail "job $1 after job a differs from the same job alone"; diff <(strings "$3") <(strings "${2:-/dev/null}") | head -20
  fi
done
if [ -n "$first" ] && ! cmp -s "$first" "$second" && received_once "$work/new" "$work/files/ja.ps"; then
  pass "the first job carries its ticket's settings"
else
  fail "the first job"
fi

echo "== watch: one print run for many files, its queue refusing jobs half-way"
# A queue of its own on the capture printer's device, which starts refusing
# jobs once three files of the run have arrived: every file in Done must have
# reached the printer exactly once, every file in Failed not at all.
batch=$work/batch
mkdir -p "$batch" "$work/batchfiles"
bqueue=${queue}_batch
device=$(lpstat -v "$queue" | sed -n 's/^.*: //p' | head -n 1)
if [ -n "$device" ] && lpadmin -p "$bqueue" -E -v "$device" -o printer-error-policy=abort-job && cupsenable "$bqueue" && cupsaccept "$bqueue"; then
  printf '<PRINTER_SETTINGS>\n<PRINTER>%s</PRINTER>\n</PRINTER_SETTINGS>\n' "$bqueue" >"$batch/_ticket.xml"
  for i in $(seq -w 1 12); do
    # About 2 MB each: the run is still going when the queue starts refusing.
    python3 -c "import sys; sys.stdout.buffer.write(b'%!PS-Adobe-3.0\n% batch file $i\n' + b'% padding of the batch file .....................\n' * 40000 + b'showpage\n')" >"$work/batchfiles/b$i.ps"
    cp "$work/batchfiles/b$i.ps" "$batch/b$i.ps"
  done
  jobs_now >"$work/before"
  (for ((i = 0; i < 1200; i++)); do
     (($(jobs_now | comm -13 "$work/before" - | wc -l) >= 3)) && break
     sleep 0.05
   done
   cupsreject "$bqueue") &
  rejecter=$!
  submit watch "$(win "$batch")" --stable 0.3 --poll 0.1 --batch 50 --once
  rc=$?
  wait "$rejecter"
  sleep 2
  wait_jobs "$work/before" 0 0 >"$work/new"
  lpadmin -x "$bqueue"
  done_n=0 failed_n=0 ok=1
  for i in $(seq -w 1 12); do
    f=b$i.ps
    if [ -f "$batch/Done/$f" ]; then
      done_n=$((done_n + 1))
      received_once "$work/new" "$work/batchfiles/$f" || { ok=0; echo "in Done but not printed once: $f"; }
    elif [ -f "$batch/Failed/$f" ]; then
      failed_n=$((failed_n + 1))
      grep -q '^result: 31 ' "$batch/Failed/$f.log" || { ok=0; echo "in Failed without 31: $f"; cat "$batch/Failed/$f.log"; }
      python3 - "$work/new" "$work/batchfiles/$f" <<'PY' || { ok=0; echo "in Failed but printed: $f"; }
import sys
jobs = [open(p, 'rb').read() for p in open(sys.argv[1]).read().split()]
want = open(sys.argv[2], 'rb').read()
sys.exit(1 if any(j.endswith(want) for j in jobs) else 0)
PY
    else
      ok=0; echo "neither in Done nor in Failed: $f"
    fi
    cmp -s "$batch/"*"/$f" "$work/batchfiles/$f" || { ok=0; echo "not whole: $f"; }
  done
  runs=$(grep -c ' took ' "$work/last.err")
  if ((ok && rc == 0 && done_n >= 3 && failed_n >= 1 && done_n + failed_n == 12)) && [ -z "$(ls "$batch/Processing")" ]; then
    pass "one run, $done_n files printed once and in Done, $failed_n refused and in Failed with 31"
  else
    fail "run split: exit $rc, $done_n in Done, $failed_n in Failed"; cat "$work/last.err"
  fi
  (($(grep -c ' library started in ' "$work/last.err") == 1)) && pass "the twelve files went through one start" ||
    fail "more than one start for the batch"
else
  fail "a second queue on the capture printer could not be made"
fi

echo "== watch and print: names with letters beyond ASCII"
# Latin-1 letters are in the ANSI code page the library takes names in: such
# files are printed like any other, alone and in a shared run, and the
# watcher does not wait for them for ever.
accents=$work/accents
mkdir -p "$accents" "$work/accentfiles"
cp "$work/good.xml" "$accents/_ticket.xml"
for name in "café.ps" "naïve résumé.ps" "plain.ps"; do
  page "$name" >"$work/accentfiles/$name"
  cp "$work/accentfiles/$name" "$accents/$name"
done
jobs_now >"$work/before"
submit watch "$(win "$accents")" --stable 0.3 --poll 0.1 --once --json "$(win "$work/accents.jsonl")"
rc=$?
wait_jobs "$work/before" 3 30 >"$work/new"
ok=1
for name in "café.ps" "naïve résumé.ps" "plain.ps"; do
  received_once "$work/new" "$work/accentfiles/$name" && cmp -s "$accents/Done/$name" "$work/accentfiles/$name" &&
    grep -q '^result: 0 success' "$accents/Done/$name.log" || { ok=0; echo "not printed once into Done: $name"; }
done
((ok && rc == 0)) && [ -z "$(ls "$accents/Processing")" ] && (($(grep -c '"result":0' "$work/accents.jsonl") == 3)) &&
  pass "each printed once, in Done with its log and record" || { fail "names beyond ASCII: exit $rc"; cat "$work/last.err"; ls -R "$accents"; }
jobs_now >"$work/before"
submit print --ticket "$(win "$work/good.xml")" "$(win "$work/accentfiles/café.ps")"
rc=$?
wait_jobs "$work/before" 1 30 >"$work/new"
((rc == 0)) && received_once "$work/new" "$work/accentfiles/café.ps" && pass "print takes such a name from the command line" ||
  { fail "print café.ps: exit $rc"; cat "$work/last.err"; }

echo "== watch: a question asked in the middle of a shared run (an IPP printer that cannot staple)"
# The library asks about the finishing the printer lacks when a file's job
# begins. Declined, the run stops at that file; the files after it go into new
# runs, so each meets the question for itself and ends in Failed with it. With
# --yes the answer holds for the run, and every file is printed.
if [ -n "${ORVOX_IPP_PLAIN_URI:-}" ] && [ -z "${ORVOX_IPP_SKIP:-}" ] && [ -d "${ORVOX_IPP_PLAIN_CAPTURE_DIR:-}" ]; then
  ipp_inst=$work/ipp-install
  cp -r "$inst" "$ipp_inst"
  printf '\r\n[IppPrinters]\r\nDesk printer=%s\r\n' "$ORVOX_IPP_PLAIN_URI" >>"$ipp_inst/Orvox.ini"
  ippq=$work/ippq
  mkdir -p "$ippq"
  printf '<PRINTER_SETTINGS>\n<PRINTER>Desk printer</PRINTER>\n<DOCUMENT_EXIT>ID_OUTPUT_DEVICE_STAPLER</DOCUMENT_EXIT>\n<STAPLING>ID_STAPLE_MODE_TOP</STAPLING>\n</PRINTER_SETTINGS>\n' \
    >"$ippq/_ticket.xml"
  ipp_jobs() { find "$ORVOX_IPP_PLAIN_CAPTURE_DIR" -maxdepth 1 -name '*.env' | wc -l; }
  before_ipp=$(ipp_jobs)
  for i in 1 2 3; do page "ipp question $i" >"$work/files/q$i.ps"; cp "$work/files/q$i.ps" "$ippq/"; done
  (cd "$ipp_inst" && timeout 300 "$root/tools/wine-run.sh" ./OrvoxSubmit.exe watch "$(win "$ippq")" --stable 0.3 --poll 0.1 --once) \
    2>"$work/ippq.err"
  rc=$?
  sleep 2
  ok=1
  for i in 1 2 3; do
    log=$ippq/Failed/q$i.ps.log
    grep -q '^result: 23 ' "$log" 2>/dev/null && grep -q '^message: question (OK/Cancel) -> Cancel: .*staple top left' "$log" ||
      { ok=0; echo "q$i: not in Failed with 23 and the question"; cat "$log" 2>/dev/null; }
  done
  runs=$(grep -c 'it goes into the next print run' "$work/ippq.err")
  if ((ok && rc == 0 && $(ipp_jobs) == before_ipp && runs == 3)); then
    pass "declined: each file asked for itself, in Failed with 23, nothing sent"
  else
    fail "declined question in a shared run: exit $rc, $(($(ipp_jobs) - before_ipp)) jobs sent, $runs files run again"
    cat "$work/ippq.err"
  fi
  for i in 4 5 6; do page "ipp question $i" >"$work/files/q$i.ps"; cp "$work/files/q$i.ps" "$ippq/"; done
  (cd "$ipp_inst" && timeout 300 "$root/tools/wine-run.sh" ./OrvoxSubmit.exe watch "$(win "$ippq")" --stable 0.3 --poll 0.1 --once --yes) \
    2>"$work/ippq.err"
  rc=$?
  for ((i = 0; i < 100; i++)); do (($(ipp_jobs) >= before_ipp + 3)) && break; sleep 0.1; done
  asked=$(grep -c '^message: question' "$ippq"/Done/q[456].ps.log 2>/dev/null | awk -F: '{ s += $2 } END { print s + 0 }')
  if ((rc == 0 && $(ipp_jobs) == before_ipp + 3 && asked == 1)) && [ -f "$ippq/Done/q4.ps" ] && [ -f "$ippq/Done/q5.ps" ] &&
    [ -f "$ippq/Done/q6.ps" ] && (($(grep -c 'library started in' "$work/ippq.err") == 1)); then
    pass "with --yes: one question for the run, in the first file's log, and all three printed"
  else
    fail "--yes in a shared run: exit $rc, $(($(ipp_jobs) - before_ipp)) jobs, $asked questions"; cat "$work/ippq.err"
  fi
else
  echo "skipped: no IPP printers here (${ORVOX_IPP_SKIP:-not run under tools/ipp-env.sh})"
fi

echo "== watch: a file that vanishes before it is taken"
vanish=$work/vanish
mkdir -p "$vanish" "$work/elsewhere"
cp "$work/good.xml" "$vanish/_ticket.xml"
(cd "$inst" && exec timeout 300 "$root/tools/wine-run.sh" ./OrvoxSubmit.exe watch "$(win "$vanish")" \
  --stable 3 --poll 0.1 --idle-exit 15) 2>"$work/vanish.err" &
watcher_pid=$!
# The watcher is ready once its start of the library is made.
for ((i = 0; i < 600; i++)); do grep -q ' library started in ' "$work/vanish.err" && break; sleep 0.1; done
page "gone" >"$work/files/gone.ps"
cp "$work/files/gone.ps" "$vanish/gone.ps"
sleep 1
# Its writer takes it away again, well within the stability wait.
mv "$vanish/gone.ps" "$work/elsewhere/gone.ps"
page "after the vanished one" >"$work/files/next.ps"
jobs_now >"$work/before"
cp "$work/files/next.ps" "$vanish/next.ps"
wait "$watcher_pid"
rc=$?
watcher_pid=
wait_jobs "$work/before" 1 30 >"$work/new"
grep -q '^result: 17 ' "$vanish/Failed/gone.ps.log" 2>/dev/null && grep -q 'vanished before it was taken' "$vanish/Failed/gone.ps.log" &&
  cmp -s "$work/elsewhere/gone.ps" "$work/files/gone.ps" && pass "the vanished file left a log in Failed, its copy untouched" ||
  { fail "vanished file"; ls -R "$vanish"; cat "$work/vanish.err"; }
((rc == 0)) && received_once "$work/new" "$work/files/next.ps" && [ -f "$vanish/Done/next.ps" ] && (($(wc -l <"$work/new") == 1)) &&
  pass "the watcher went on with the next file" || { fail "after the vanished file: exit $rc"; cat "$work/vanish.err"; }

echo "== watch: a hot folder on a full disk"
full=$work/full
mkdir -p "$full"
if mount -t tmpfs -o size=64k tmpfs "$full" 2>/dev/null; then
  cp "$work/good.xml" "$full/_ticket.xml"
  mkdir -p "$full/Processing" "$full/Done" "$full/Failed"
  page "on a full disk" >"$work/files/full.ps"
  cp "$work/files/full.ps" "$full/full.ps"
  # The rest of the disk is taken by a file whose name the watcher leaves alone.
  dd if=/dev/zero of="$full/.filler" bs=4k 2>/dev/null
  jobs_now >"$work/before"
  submit watch "$(win "$full")" --stable 0.3 --poll 0.1 --once
  rc=$?
  wait_jobs "$work/before" 1 30 >"$work/new"
  cp "$work/last.err" "$work/full.err"
  # Printed once; neither Done nor Failed could take its log: it waits in Processing, whole.
  ((rc == 0)) && received_once "$work/new" "$work/files/full.ps" && cmp -s "$full/Processing/full.ps" "$work/files/full.ps" &&
    [ -z "$(find "$full/Done" "$full/Failed" -mindepth 1)" ] && grep -q 'stays in Processing' "$work/full.err" &&
    pass "printed once, kept whole in Processing when no log can be written" ||
    { fail "full disk: exit $rc"; ls -laR "$full"; cat "$work/full.err"; }
  # Room again: the next start moves it to Failed with its log and does not print it again.
  rm -f "$full/.filler"
  jobs_now >"$work/before"
  submit watch "$(win "$full")" --stable 0.3 --poll 0.1 --once
  sleep 1
  n=$(wait_jobs "$work/before" 0 0 | wc -l)
  cmp -s "$full/Failed/full.ps" "$work/files/full.ps" && grep -q 'not printed again' "$full/Failed/full.ps.log" && ((n == 0)) &&
    [ -z "$(ls "$full/Processing")" ] && pass "with room again it went to Failed, not printed twice" ||
    { fail "after the full disk: $n jobs"; ls -laR "$full"; cat "$work/last.err"; }
  # Done alone on a full disk of its own: the printed file goes to Failed with a log that says so.
  mkdir -p "$work/donedisk"
  rm -rf "$full/Done"
  if mount -t tmpfs -o size=64k tmpfs "$work/donedisk"; then
    dd if=/dev/zero of="$work/donedisk/.filler" bs=4k 2>/dev/null
    ln -s "$work/donedisk" "$full/Done"
    page "done is full" >"$work/files/donefull.ps"
    cp "$work/files/donefull.ps" "$full/donefull.ps"
    jobs_now >"$work/before"
    submit watch "$(win "$full")" --stable 0.3 --poll 0.1 --once
    rc=$?
    wait_jobs "$work/before" 1 30 >"$work/new"
    ((rc == 0)) && received_once "$work/new" "$work/files/donefull.ps" && cmp -s "$full/Failed/donefull.ps" "$work/files/donefull.ps" &&
      grep -q '^result: 0 ' "$full/Failed/donefull.ps.log" && grep -q 'could not be placed in Done' "$full/Failed/donefull.ps.log" &&
      [ -z "$(ls "$full/Processing")" ] && pass "Done full: printed once, in Failed whole with a log that says so" ||
      { fail "Done full: exit $rc"; ls -laR "$full" "$work/donedisk"; cat "$work/last.err"; }
    rm -f "$full/Done"
    umount -l "$work/donedisk"
  else
    fail "a second small disk could not be mounted"
  fi
  umount -l "$full"
else
  echo "skipped: a small filesystem cannot be mounted here (the test needs root)"
fi

echo "submit e2e: $failures failure(s)"
((failures == 0))
