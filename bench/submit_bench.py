#!/usr/bin/env python3
"""OrvoxSubmit's speed under Wine through the capture printer. Run it under
tools/e2e-env.sh (Xvfb, CUPS, the capture printer; ORVOX_QUEUE and
ORVOX_CAPTURE_DIR set), from the checkout's root, after tools/build.sh win:

    tools/e2e-env.sh python3 bench/submit_bench.py [--files N] [--latency-runs N] [--stable S]

latency:    a hot folder is watched; one small PDF at a time is written into
            it, and the time from its last write to its job at the capture
            printer is taken; the stability wait is subtracted.
throughput: N small PDF files dropped into a hot folder at once, served with
            `watch --once` (the folder's ticket: they share print runs of up
            to --batch files), against the same N files printed by one
            `OrvoxSubmit print` (one Orvo_Print over all of them, in one
            process).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WIN_BIN = os.path.join(ROOT, "build", "win", "bin")


def small_pdf(text):
    """A one-page PDF with valid cross-reference offsets."""
    stream = f"BT /F1 24 Tf 72 720 Td ({text}) Tj ET".encode()
    objects = [b"<< /Type /Catalog /Pages 2 0 R >>",
               b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
               b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
               b"/Resources << /Font << /F1 5 0 R >> >> >>",
               b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream",
               b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
    out = bytearray(b"%PDF-1.4\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return bytes(out)


def win(path):
    return "Z:" + path.replace("/", "\\")


def jobs(capture):
    return {n for n in os.listdir(capture) if n.startswith("job-") and n.endswith(".bin")}


def wait_jobs(capture, before, count, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if len(jobs(capture) - before) >= count:
            return True
        time.sleep(0.01)
    return False


def submit(install, args, cwd=None, **kw):
    return subprocess.Popen([os.path.join(ROOT, "tools", "wine-run.sh"), os.path.join(install, "OrvoxSubmit.exe")]
                            + args, cwd=cwd or install, stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, **kw)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--files", type=int, default=1000)
    parser.add_argument("--latency-runs", type=int, default=5)
    parser.add_argument("--stable", type=float, default=1.0)
    a = parser.parse_args()
    queue, capture = os.environ["ORVOX_QUEUE"], os.environ["ORVOX_CAPTURE_DIR"]
    work = tempfile.mkdtemp(prefix="orvox-submit-bench.")
    try:
        install = os.path.join(work, "install")
        os.makedirs(install)
        for name in ("Orvox.dll", "orvoxRes.dll", "OrvoxSubmit.exe"):
            shutil.copy(os.path.join(WIN_BIN, name), install)
        for name in os.listdir(os.path.join(ROOT, "install")):
            shutil.copy(os.path.join(ROOT, "install", name), install)
        ticket = os.path.join(work, "ticket.xml")
        with open(ticket, "w") as out:
            out.write(f"<PRINTER_SETTINGS>\n<PRINTER>{queue}</PRINTER>\n"
                      "<PRINTER_LANGUAGE>ID_FILE_TYPE_PDF</PRINTER_LANGUAGE>\n</PRINTER_SETTINGS>\n")

        # Latency: the watcher runs; files come one at a time, well apart.
        hot = os.path.join(work, "latency")
        os.makedirs(hot)
        shutil.copy(ticket, os.path.join(hot, "_ticket.xml"))
        watcher = submit(install, ["watch", win(hot), "--stable", str(a.stable), "--poll", "0.1"])
        time.sleep(15)  # the watcher starts the library ahead of the first file
        latencies = []
        for i in range(a.latency_runs):
            before = jobs(capture)
            path = os.path.join(hot, f"late{i}.pdf")
            with open(path, "wb") as out:
                out.write(small_pdf(f"latency {i}"))
            written = time.monotonic()
            if not wait_jobs(capture, before, 1, 120):
                print(f"latency run {i}: no job within 120 s", file=sys.stderr)
                continue
            latencies.append(time.monotonic() - written - a.stable)
            time.sleep(8)  # the next start ahead of time is ready again
        watcher.kill()
        watcher.wait()
        if latencies:
            print(f"latency beyond the {a.stable:g} s stability wait: median {statistics.median(latencies):.2f} s, "
                  f"min {min(latencies):.2f} s, max {max(latencies):.2f} s over {len(latencies)} files")

        # Throughput: the same N files through one print run, then through a hot folder.
        files = os.path.join(work, "files")
        hot = os.path.join(work, "burst")
        os.makedirs(files)
        os.makedirs(hot)
        shutil.copy(ticket, os.path.join(hot, "_ticket.xml"))
        names = [f"p{i:04d}.pdf" for i in range(a.files)]
        for name in names:
            with open(os.path.join(files, name), "wb") as out:
                out.write(small_pdf(name))
        before = jobs(capture)
        start = time.monotonic()
        # The files by their names, from their folder: a Windows command line
        # holds 32767 characters, too few for a thousand full paths.
        one = submit(install, ["print", "--ticket", win(ticket)] + names, cwd=files)
        one.communicate()
        ok = wait_jobs(capture, before, a.files, 600)
        one_run = time.monotonic() - start
        print(f"{a.files} files, one Orvo_Print in one process: {one_run:.1f} s (exit {one.returncode}, "
              f"{'all' if ok else 'not all'} jobs at the printer)")

        for name in names:
            shutil.copy(os.path.join(files, name), hot)
        before = jobs(capture)
        start = time.monotonic()
        folder = submit(install, ["watch", win(hot), "--stable", str(a.stable), "--poll", "0.1", "--once"])
        folder.communicate()
        ok = wait_jobs(capture, before, a.files, 600)
        burst = time.monotonic() - start
        print(f"{a.files} files dropped into a hot folder: {burst:.1f} s (exit {folder.returncode}, "
              f"{'all' if ok else 'not all'} jobs at the printer); ratio {burst / one_run:.1f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
