#!/usr/bin/env python3
"""A network printer that keeps what it is sent.

Listens on 127.0.0.1 like a raw socket printer: the spooler's socket backend
connects, sends the job's bytes and closes its side. Each connection becomes one
file job-NNNN.bin in the capture folder. The bytes go to a hidden temporary
name first and are renamed only when the sender has closed, so whoever watches
the folder only ever sees whole jobs.

    capture-printer.py --dir CAPTURE_DIR [--port N] [--port-file FILE] [--drop-after N]

--port 0 (the default) lets the system choose a free port; the chosen one is
written to --port-file (atomically) once the listener accepts connections.
Numbering continues after the highest job already in the folder, so a restart
never overwrites an earlier job. SIGTERM or SIGINT ends it; jobs still arriving
then are discarded.

--drop-after N makes a printer that breaks down in the middle of a job: it
closes each connection once it has received N bytes, and keeps what it got as
dropped-NNNN.bin (never as a job).
"""

import argparse
import os
import re
import signal
import socket
import struct
import sys
import threading

JOB_NAME = re.compile(r"^job-(\d+)\.bin$")


class Stop(Exception):
    pass


class CaptureFolder:
    def __init__(self, path):
        self.path = path
        os.makedirs(path, exist_ok=True)
        self._lock = threading.Lock()
        self._next = 1 + max(
            (int(m.group(1)) for m in map(JOB_NAME.match, os.listdir(path)) if m),
            default=0,
        )
        self.partial = set()

    def begin(self):
        with self._lock:
            number = self._next
            self._next += 1
            tmp = os.path.join(self.path, ".job-%04d.part" % number)
            self.partial.add(tmp)
        return number, tmp

    def finish(self, number, tmp):
        final = os.path.join(self.path, "job-%04d.bin" % number)
        os.replace(tmp, final)
        with self._lock:
            self.partial.discard(tmp)
        return final

    def discard(self, tmp):
        with self._lock:
            self.partial.discard(tmp)
        try:
            os.unlink(tmp)
        except FileNotFoundError:
            pass


def receive(conn, folder, drop_after=None):
    number, tmp = folder.begin()
    size = 0
    try:
        with conn, open(tmp, "wb") as out:
            while True:
                want = 65536 if drop_after is None else min(65536, drop_after - size)
                chunk = conn.recv(want)
                if not chunk:
                    break
                out.write(chunk)
                size += len(chunk)
                if drop_after is not None and size >= drop_after:
                    # A reset, as a printer that fails mid-job gives, rather
                    # than an orderly close the sender might take for the end.
                    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                    break
        if drop_after is not None:
            final = os.path.join(folder.path, "dropped-%04d.bin" % number)
            os.replace(tmp, final)
            with folder._lock:
                folder.partial.discard(tmp)
            print("capture-printer: dropped the connection after %d bytes (%s)" % (size, os.path.basename(final)),
                  file=sys.stderr, flush=True)
            return
        final = folder.finish(number, tmp)
        print("capture-printer: %s (%d bytes)" % (os.path.basename(final), size),
              file=sys.stderr, flush=True)
    except OSError as e:
        # A sender that broke off did not deliver a job.
        folder.discard(tmp)
        print("capture-printer: job %d lost: %s" % (number, e), file=sys.stderr, flush=True)


def write_port_file(path, port):
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        f.write("%d\n" % port)
    os.replace(tmp, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dir", required=True, help="capture folder")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--drop-after", type=int, help="close each connection after this many bytes")
    args = parser.parse_args()

    folder = CaptureFolder(os.path.abspath(args.dir))

    def on_signal(signum, frame):
        raise Stop()

    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)

    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", args.port))
    server.listen(16)
    port = server.getsockname()[1]
    if args.port_file:
        write_port_file(args.port_file, port)
    print("capture-printer: listening on 127.0.0.1:%d, jobs to %s" % (port, folder.path),
          file=sys.stderr, flush=True)

    try:
        while True:
            conn, _ = server.accept()
            threading.Thread(target=receive, args=(conn, folder, args.drop_after), daemon=True).start()
    except Stop:
        pass
    finally:
        server.close()
        for tmp in list(folder.partial):
            folder.discard(tmp)
        if args.port_file:
            try:
                os.unlink(args.port_file)
            except FileNotFoundError:
                pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
