#!/usr/bin/env python3
"""Runs the benchmarks beside their peers on data made here, and prints each
figure with its peer's. Usage (from the checkout's root, as root on Debian 12):

    python3 bench/run.py [--rounds N] [--quick] [--no-build] [SECTION ...]

SECTION is any of tiff, memory, header, xml, ipp, spool, import (default: all).
Whole processes are timed (wall clock) and their peak resident memory read
from the kernel; runs of a program and its peer alternate, and medians are
printed. The Windows sections start Wine, Xvfb and the capture printer through
tools/e2e-env.sh with the queue ORVOX_QUEUE (default Orvox_bench).
"""
import argparse
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BENCH_BIN = os.path.join(ROOT, "build", "bench", "bench")
WIN_BIN = os.path.join(ROOT, "build", "win", "bin")
DATA = os.path.join(ROOT, "build", "bench-data")
RES_FILE = os.path.join(ROOT, "build", "bench", "orvoxRes.res")
INSTALL = os.path.join(ROOT, "install")
SECTIONS = ["tiff", "memory", "header", "xml", "ipp", "spool", "import"]


def sh(cmd, **kw):
    return subprocess.run(cmd, check=True, **kw)


def measure(cmd, env=None):
    """Runs cmd once; (seconds, peak RSS in MB, exit status, output).

    GNU time reads the peak resident memory of the program alone: a child of
    this script would start counting from the interpreter's own pages."""
    with tempfile.TemporaryFile() as out, tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        status = subprocess.call(["/usr/bin/time", "-f", "%M", "-o", peak.name] + cmd, stdout=out,
                                 stderr=subprocess.STDOUT, env=env)
        seconds = time.perf_counter() - start
        out.seek(0)
        text = out.read().decode(errors="replace")
        words = peak.read().split()
    kilobytes = int(words[-1]) if words and words[-1].isdigit() else 0
    return seconds, kilobytes / 1024.0, status, text


def compare(variants, rounds, before_each=None):
    """variants: [(name, cmd)], run interleaved; {name: (median s, median MB, last output)}."""
    times = {name: [] for name, _ in variants}
    rss = {name: [] for name, _ in variants}
    last = {}
    for _ in range(rounds):
        for name, cmd in variants:
            if before_each:
                before_each()
            seconds, mb, status, text = measure(cmd)
            if status != 0:
                sys.exit("%s failed (%d): %s\n%s" % (name, status, " ".join(cmd), text))
            times[name].append(seconds)
            rss[name].append(mb)
            last[name] = text
    return {n: (statistics.median(times[n]), statistics.median(rss[n]), last[n]) for n in times}


def field(text, key):
    for word in text.split():
        if word.startswith(key + "="):
            return word.split("=", 1)[1]
    return "?"


def load_note():
    with open("/proc/loadavg") as f:
        return "load average %s, %d cores" % (" ".join(f.read().split()[:3]), os.cpu_count())


# ---------------------------------------------------------------- data

def page_ps(path, width_in, length_in, pages=1):
    """A PostScript job: ruled lines every inch and a text line every 14 points."""
    w, h = width_in * 72, length_in * 72
    with open(path, "w") as f:
        f.write("%%!PS\n<< /PageSize [%g %g] >> setpagedevice\n" % (w, h))
        f.write("/Courier findfont 10 scalefont setfont 0.6 setlinewidth\n")
        f.write("1 1 %d { /p exch def\n" % pages)
        f.write("0 72 %g { /y exch def 36 y moveto %g y lineto stroke } for\n" % (h, w - 36))
        f.write("36 14 %g { /y exch def 40 y 3 add moveto (Page ) show p 8 string cvs show"
                " ( line ) show y 20 string cvs show } for\n" % (h - 14))
        f.write("showpage } for\n")


def g4_tiff(name, width_in, length_in, pages=1):
    """Ghostscript's G4 device at 600 dpi; the result is one strip per page."""
    out = os.path.join(DATA, name)
    if not os.path.exists(out):
        ps = out + ".ps"
        page_ps(ps, width_in, length_in, pages)
        sh(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=tiffg4", "-r600",
            "-sOutputFile=" + out, ps])
        os.remove(ps)
    return out


def recoded(source, compression, name, rows=None):
    out = os.path.join(DATA, name)
    if not os.path.exists(out):
        cmd = ["tiffcp", "-m", "0", "-c", compression]
        if rows:
            cmd += ["-r", str(rows)]
        sh(cmd + [source, out])
    return out


# ---------------------------------------------------------------- native sections

def tiff_cmd(src, out):
    return [os.path.join(BENCH_BIN, "orvox_bench_tiff"), src, out, out + ".scratch"]


def section_tiff(rounds, quick):
    print("\n== TIFF to PDF, time (whole processes, medians of %d interleaved runs)" % rounds)
    pages = 20 if quick else 200
    letter = g4_tiff("g4_letter_%dp.tif" % pages, 8.5, 11, pages)
    tabloid = g4_tiff("g4_11x17.tif", 11, 17)
    print("%-34s %10s %10s %10s %8s %8s" % ("input", "orvox s", "tiff2pdf s", "tiffcp s", "/t2p", "/tcp"))
    cases = [("G4 pass-through, %d letter pages" % pages, letter)]
    for comp, label in [("lzw", "LZW"), ("packbits", "PackBits"), ("none", "uncompressed"), ("g3:2d", "G3 2-D")]:
        cases.append(("%s 11x17 re-encoded" % label, recoded(tabloid, comp, "%s_11x17.tif" % comp.split(":")[0])))
    cases.append(("G4 in 256-row strips, re-encoded", recoded(tabloid, "g4", "g4strips_11x17.tif", 256)))
    for label, src in cases:
        out = os.path.join(DATA, "out")
        r = compare([("orvox", tiff_cmd(src, out + "_o.pdf")),
                     ("tiff2pdf", ["tiff2pdf", "-o", out + "_t.pdf", src]),
                     ("tiffcp", ["tiffcp", "-c", "g4", src, out + "_c.tif"])], rounds)
        o, t, c = r["orvox"][0], r["tiff2pdf"][0], r["tiffcp"][0]
        print("%-34s %10.3f %10.3f %10.3f %8.2f %8.2f" % (label, o, t, c, o / t, o / c))


def section_memory(rounds, quick):
    print("\n== TIFF to PDF, peak memory by page size (600 dpi)")
    sizes = [(11, 17), (17, 44), (17, 88)] + ([] if quick else [(17, 667)])
    print("%-8s %-14s %11s %10s %12s %12s %8s" % ("page", "path", "heap MB", "RSS MB", "tiff2pdf MB",
                                                 "tiffcp MB", "orvox s"))
    for w, h in sizes:
        g4 = g4_tiff("g4_%dx%d.tif" % (w, h), w, h)
        lzw = recoded(g4, "lzw", "lzw_%dx%d.tif" % (w, h))
        for path, src in [("pass-through", g4), ("re-encoded", lzw)]:
            out = os.path.join(DATA, "mem")
            # The peers' own allocation limits would refuse the longest page.
            r = compare([("orvox", tiff_cmd(src, out + "_o.pdf")),
                         ("tiff2pdf", ["tiff2pdf", "-m", "0", "-o", out + "_t.pdf", src]),
                         ("tiffcp", ["tiffcp", "-m", "0", "-c", "g4", src, out + "_c.tif"])],
                        1 if h > 100 else rounds)
            heap = int(field(r["orvox"][2], "heap_peak")) / 1e6
            if field(r["orvox"][2], "result") != "0":
                heap = float("nan")
            print("%-8s %-14s %11.2f %10.1f %12.1f %12.1f %8.2f" % (
                "%dx%d" % (w, h), path, heap, r["orvox"][1], r["tiff2pdf"][1], r["tiffcp"][1], r["orvox"][0]))


def section_header(rounds, quick):
    print("\n== Job header build by number of paper substitutions (in-process, medians)")
    scratch = os.path.join(DATA, "header")
    out = subprocess.run([os.path.join(BENCH_BIN, "orvox_bench_header"), INSTALL, scratch,
                          str(max(rounds * 8, 41))], check=True, capture_output=True, text=True).stdout
    print(out.rstrip())


def section_xml(rounds, quick):
    print("\n== XML settings import by size (whole processes; xmllint parses the same text)")
    print("%-8s %8s %10s %12s %12s %8s" % ("size", "files", "import ms", "orvox s", "xmllint s", "ratio"))
    program = os.path.join(BENCH_BIN, "orvox_bench_xml")
    for size in [10_000, 100_000, 1_000_000]:
        xml = os.path.join(DATA, "job_%d.xml" % size)
        sh([program, "make", str(size), xml])
        r = compare([("orvox", [program, "import", xml, INSTALL, os.path.join(DATA, "xml")]),
                     ("xmllint", ["xmllint", "--noout", xml])], rounds)
        o, x = r["orvox"][0], r["xmllint"][0]
        inside = float(field(r["orvox"][2], "seconds")) * 1e3
        print("%-8s %8s %10.2f %12.4f %12.4f %8.2f" % (
            "%d KB" % (size // 1000), field(r["orvox"][2], "files"), inside, o, x, o / x))


# ---------------------------------------------------------------- Windows sections

IPP_PORT = int(os.environ.get("ORVOX_IPP_BENCH_PORT", "8633"))
IPP_JOB = """\x1b%-12345X@PJL
@PJL COMMENT orvox-ticket=1
@PJL SET QTY=2
@PJL COMMENT staple=saddle
@PJL COMMENT fold=saddle
@PJL SET DUPLEX=ON
@PJL SET BINDING=LONGEDGE
@PJL COMMENT collate=on
@PJL SET JOBOFFSET=ON
@PJL COMMENT media=(Paper%202) 842 1191 120 (Blue) (Plain)
@PJL COMMENT operator-message=(Bench%20job)
@PJL COMMENT data-format=pdf
@PJL COMMENT exit=finisher
"""


def big_pdf(path, megabytes):
    """A PDF-headed file of the given size (the printer's job command does not read it as PDF)."""
    if os.path.exists(path) and os.path.getsize(path) >= megabytes << 20:
        return path
    block = os.urandom(1 << 20)
    with open(path, "wb") as f:
        f.write(b"%PDF-1.4\n")
        for _ in range(megabytes):
            f.write(block)
        f.write(b"\n%%EOF\n")
    return path


def section_ipp(rounds, quick):
    print("\n== A PDF to an IPP printer (whole processes: query and Print-Job; ipptool's print-job.test is the peer)")
    program = shutil.which("ippeveprinter") or ("/usr/sbin/ippeveprinter" if os.path.exists("/usr/sbin/ippeveprinter") else None)
    if not program or not shutil.which("ipptool"):
        print("skipped: ippeveprinter and ipptool (cups-ipp-utils) are needed")
        return
    if not os.path.exists("/run/avahi-daemon/socket"):
        print("skipped: the test printer needs a running avahi-daemon")
        return
    work = os.path.join(DATA, "ipp")
    spool = os.path.join(work, "spool")
    shutil.rmtree(spool, ignore_errors=True)
    os.makedirs(spool)
    job = os.path.join(work, "job.hdr")
    with open(job, "w", newline="\n") as f:
        f.write(IPP_JOB)
    env = dict(os.environ)
    env.pop("ORVOX_IPP_CAPTURE", None)  # the job command discards the document
    log = open(os.path.join(work, "printer.log"), "w")
    printer = subprocess.Popen(["timeout", "3600", program, "-p", str(IPP_PORT), "-d", spool,
                                "-a", os.path.join(ROOT, "tests", "data", "ipp", "production.conf"),
                                "-c", os.path.join(ROOT, "tests", "data", "ipp", "capture-job.sh"), "OrvoxBench"],
                               stdout=subprocess.DEVNULL, stderr=log, env=env)
    uri = "ipp://127.0.0.1:%d/ipp/print" % IPP_PORT
    try:
        deadline = time.time() + 15
        while True:
            try:
                socket.create_connection(("127.0.0.1", IPP_PORT), timeout=1).close()
                break
            except OSError:
                if time.time() > deadline or printer.poll() is not None:
                    print("skipped: the test printer did not start (see %s)" % log.name)
                    return
                time.sleep(0.05)

        def drained():
            # Every job so far has been processed (the printer logs each one's
            # processing time); its spooled documents are then removed.
            end = time.time() + 60
            while time.time() < end:
                jobs = len([n for n in os.listdir(spool) if n.endswith(".pdf")])
                with open(log.name) as f:
                    done = f.read().count("Processing time was")
                if done >= jobs:
                    break
                time.sleep(0.05)
            for name in os.listdir(spool):
                os.remove(os.path.join(spool, name))

        print("%-8s %9s %10s %7s %10s %12s" % ("size", "orvox s", "ipptool s", "ratio", "orvox MB", "ipptool MB"))
        for megabytes in ([5, 20] if quick else [50, 200]):
            pdf = big_pdf(os.path.join(work, "doc-%d.pdf" % megabytes), megabytes)
            r = compare([("orvox", [os.path.join(BENCH_BIN, "orvox_bench_ipp"), uri, job, pdf,
                                    os.path.join(work, "scratch")]),
                         ("ipptool", ["ipptool", "-f", pdf, uri, "print-job.test"])], rounds, drained)
            print("%-8s %9.3f %10.3f %7.2f %10.1f %12.1f" % (
                "%d MB" % megabytes, r["orvox"][0], r["ipptool"][0], r["orvox"][0] / r["ipptool"][0],
                r["orvox"][1], r["ipptool"][1]))
    finally:
        printer.terminate()
        printer.wait()
        log.close()


def in_wine_env(args):
    """Runs this script's Windows part under tools/e2e-env.sh (Xvfb, CUPS, capture printer)."""
    env = dict(os.environ)
    env.setdefault("ORVOX_QUEUE", "Orvox_bench")
    env.setdefault("ORVOX_RUN_DIR", os.path.join(ROOT, "build", "bench-run"))
    cmd = [os.path.join(ROOT, "tools", "e2e-env.sh"), sys.executable, os.path.abspath(__file__),
           "--inside-wine-env", "--no-build", "--rounds", str(args.rounds)] + (["--quick"] if args.quick else [])
    cmd += [s for s in args.sections if s in ("spool", "import")]
    return subprocess.call(cmd, env=env)


def wine_env():
    env = dict(os.environ)
    env["WINEPREFIX"] = env.get("ORVOX_WINEPREFIX", os.path.join(ROOT, "build", "wineprefix"))
    env["WINEDEBUG"] = "-all"
    env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    # The benchmark programs are 64-bit: the 64-bit loader runs them also where
    # Debian's "wine" would pick a 32-bit loader that the kernel cannot run.
    env["WINELOADER"] = WINE64
    return env


WINE64 = os.environ.get("ORVOX_WINE64", "/usr/lib/wine/wine64")


def wine(program, *args):
    return [WINE64, os.path.join(WIN_BIN, program)] + list(args)


def drain_queue(queue, capture):
    """Waits until CUPS has passed every job to the capture printer, then drops the captures."""
    deadline = time.time() + 300
    while time.time() < deadline:
        jobs = subprocess.run(["lpstat", "-o", queue], capture_output=True, text=True).stdout.strip()
        if not jobs:
            break
        time.sleep(0.2)
    time.sleep(0.5)
    for name in os.listdir(capture):
        path = os.path.join(capture, name)
        if os.path.isfile(path):
            os.remove(path)


def section_spool(rounds, quick):
    queue, capture = os.environ["ORVOX_QUEUE"], os.environ["ORVOX_CAPTURE_DIR"]
    size_mb = 20 if quick else 200
    data = os.path.join(DATA, "spool_%dmb.prn" % size_mb)
    if not os.path.exists(data) or os.path.getsize(data) != size_mb << 20:
        block = bytes((i * 7919) & 0xFF for i in range(1 << 20))
        with open(data, "wb") as f:
            f.write(b"%!PS\n")
            for i in range(size_mb):
                f.write(block[: (1 << 20) - (5 if i == 0 else 0)])
    job = os.path.join(DATA, "spool_job.hdr")
    with open(job, "wb") as f:
        f.write(b"\x1b%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE = POSTSCRIPT\r\n")
    windows = lambda p: "Z:" + p.replace("/", "\\")
    os.environ.update(wine_env())
    subprocess.run(["wineserver", "-p"], check=False)
    print("\n== Spooling a %d MB print file to the CUPS queue %s (whole processes, medians of %d)"
          % (size_mb, queue, rounds))
    r = compare([("orvox", wine("orvox_bench_spool.exe", "orvox", queue, windows(data), windows(job))),
                 ("bare", wine("orvox_bench_spool.exe", "bare", queue, windows(data))),
                 ("bare2k", wine("orvox_bench_spool.exe", "bare2k", queue, windows(data))),
                 ("lp", ["lp", "-d", queue, "-o", "raw", data])],
                rounds, before_each=lambda: drain_queue(queue, capture))
    o, b, b2, l = r["orvox"][0], r["bare"][0], r["bare2k"][0], r["lp"][0]
    print("%-16s %10s %12s %14s %12s" % ("", "orvox s", "winspool s", "winspool 2K s", "lp -o raw s"))
    print("%-16s %10.2f %12.2f %14.2f %12.2f" % ("whole process", o, b, b2, l))
    print("orvox / bare winspool writer: %.2f   orvox / bare in 2048-byte writes: %.2f   orvox / lp -o raw: %.2f"
          "   bare / lp: %.2f" % (o / b, o / b2, o / l, b / l))


def section_import(rounds, quick):
    os.environ.update(wine_env())
    subprocess.run(["wineserver", "-p"], check=False)
    counts = ["10", "100"] if quick else ["10", "100", "250", "500", "1000"]
    print("\n== XML import naming N files through Orvox.dll under Wine (in-process, medians of %d)" % rounds)
    # Output through a file: Wine's helper processes keep a pipe open after the program ends.
    with tempfile.TemporaryFile() as out:
        status = subprocess.call(wine("orvox_bench_import.exe", str(rounds), *counts), cwd=WIN_BIN,
                                 stdout=out, stderr=subprocess.STDOUT)
        out.seek(0)
        text = out.read().decode(errors="replace")
    print("\n".join(line for line in text.splitlines() if not line.startswith("message:")))
    if status != 0:
        sys.exit("orvox_bench_import failed:\n" + text)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("sections", nargs="*", metavar="SECTION")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--quick", action="store_true", help="small data and sizes (a smoke run)")
    parser.add_argument("--no-build", action="store_true")
    parser.add_argument("--inside-wine-env", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    args.sections = args.sections or SECTIONS
    unknown = [s for s in args.sections if s not in SECTIONS]
    if unknown:
        parser.error("unknown section %s; sections: %s" % (", ".join(unknown), " ".join(SECTIONS)))
    os.makedirs(DATA, exist_ok=True)
    if args.inside_wine_env:
        try:
            for name in args.sections:
                globals()["section_" + name](args.rounds, args.quick)
        finally:
            # The persistent wineserver of this prefix (started for the runs) goes too.
            subprocess.run(["wineserver", "-k"], env=wine_env(), check=False)
        return 0
    if not args.no_build:
        sh(["bash", os.path.join(ROOT, "tools", "setup.sh")])
        sh([os.path.join(ROOT, "tools", "build.sh"), "bench"], env=dict(os.environ, ORVOX_JOBS="2"))
    os.environ["ORVOX_RES_FILE"] = RES_FILE
    print("Orvox benchmarks; %s; %s" % (load_note(), time.strftime("%Y-%m-%d %H:%M")))
    for name in args.sections:
        if name in ("spool", "import"):
            continue
        globals()["section_" + name](args.rounds, args.quick)
    if any(s in ("spool", "import") for s in args.sections):
        status = in_wine_env(args)
        if status != 0:
            return status
    print("\nafter the run: %s" % load_note())
    return 0


if __name__ == "__main__":
    sys.exit(main())
