#!/usr/bin/env python3
"""What each key press sends to the terminal.

Plays a scripted game of the real program on a pseudo-terminal and reports, per key
press: the bytes the terminal receives, the write() calls that carried them (counted
with strace in a second, identical run) and the CPU time the program spent on the
frame (from /proc/PID/schedstat). Also the first board screen and a full repaint
after a resize.

Usage: bench/framecost.py [--colour] [--markdown] [PROGRAM]
"""
import faulthandler
import argparse
import fcntl
import os
import pty
import re
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import termios
import time

HERE = os.path.dirname(os.path.abspath(__file__))

# (label, bytes typed): the start menu, then a game in which player 1 wins.
SCRIPT = [("answer y (echoed)", b"y"), ("Enter (first board screen)", b"\n")]
for i, (p1, p2) in enumerate([("w", "P"), ("d", "K"), ("w", "P"), ("d", "K")]):
    SCRIPT += [("p1 %s (first step of the turn)" % p1, p1.encode()),
               ("p1 %s (one-stone move)" % p1, p1.encode()),
               ("p1 Space (placement)", b" "),
               ("p2 arrow (first step of the turn)", b"\x1b[" + {"P": b"B", "K": b"D"}[p2]),
               ("p2 arrow (one-stone move)", b"\x1b[" + {"P": b"B", "K": b"D"}[p2]),
               ("p2 Space (placement)", b" ")]
RESIZE = "resize 80x32 -> 81x32 (full repaint)"


def setsize(fd, cols, rows):
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))


def cputime(pid):
    """Nanoseconds the process has run on a CPU."""
    with open("/proc/%d/schedstat" % pid) as f:
        return int(f.read().split()[0])


def drain(fd, first=30.0, quiet=0.15):
    """Reads from `fd`: waits up to `first` seconds for output (a busy machine may be slow
    to answer), then reads until it has been quiet for `quiet` seconds (every key press of
    the script changes the screen, in one write)."""
    data = b""
    while True:
        r, _, _ = select.select([fd], [], [], quiet if data else first)
        if not r:
            return data
        try:
            chunk = os.read(fd, 65536)
        except OSError:
            return data
        if not chunk:
            return data
        data += chunk


def play(program, env, strace_log=None):
    """Runs the script; returns [(label, bytes, cpu_ns)]."""
    argv = [program]
    if strace_log:
        argv = ["strace", "-o", strace_log, "-e", "trace=read,write", program]
    pid, fd = pty.fork()
    if pid == 0:
        os.chdir(tempfile.mkdtemp(prefix="gomoku-bench-"))
        os.execvpe(argv[0], argv, env)
    setsize(fd, 80, 32)
    drain(fd)  # the start menu prompt
    target = pid
    while strace_log and target == pid:  # measure the game, not strace
        out = subprocess.run(["pgrep", "-P", str(pid)], capture_output=True, text=True).stdout
        target = int(out.split()[0]) if out.split() else pid
        time.sleep(0.01)
    rows = []
    steps = [(label, keys) for label, keys in SCRIPT] + [(RESIZE, None)]
    for label, keys in steps:
        before = cputime(target)
        if keys is None:
            setsize(fd, 81, 32)
        else:
            os.write(fd, keys)
        data = drain(fd)
        rows.append((label, len(data), cputime(target) - before))
    os.kill(target, 15)
    os.waitpid(pid, 0)
    os.close(fd)
    return rows


def writecounts(log):
    """write() calls to standard output after each read of keys or of a wake-up event,
    from the game's first output on (the loader reads files before that)."""
    counts, started = [], False
    with open(log) as f:
        for line in f:
            if line.startswith("--- SIGTERM"):
                break  # the benchmark ends the game here
            if line.startswith("write(1,"):
                if started and counts:
                    counts[-1] += 1
                started = True
            elif started and line.startswith("read(") and "EAGAIN" not in line:
                counts.append(0)  # keys, or the event pipe's wake-up
    return counts


def main():
    faulthandler.dump_traceback_later(300, exit=True)
    ap = argparse.ArgumentParser()
    ap.add_argument("program", nargs="?", default=os.path.join(HERE, "../build/gomoku"))
    ap.add_argument("--colour", action="store_true", help="with colour (NO_COLOR unset)")
    ap.add_argument("--markdown", action="store_true")
    args = ap.parse_args()
    env = dict(os.environ, LANG="C.UTF-8", TERM="xterm-256color")
    env.pop("NO_COLOR", None)
    if not args.colour:
        env["NO_COLOR"] = "1"
    program = os.path.abspath(args.program)
    rows = play(program, env)
    writes = None
    if shutil.which("strace"):
        log = tempfile.mktemp(prefix="gomoku-bench-strace-")
        play(program, env, log)
        counts = writecounts(log)
        os.unlink(log)
        writes = counts + [0] * len(rows)  # key i's writes follow the i-th read
    sep = " | " if args.markdown else "  "
    print(("| " if args.markdown else "") + sep.join(
        ["key press", "bytes", "write() calls", "CPU µs"]) + (" |" if args.markdown else ""))
    if args.markdown:
        print("|---|---:|---:|---:|")
    for i, (label, n, cpu) in enumerate(rows):
        w = "-" if writes is None else str(writes[i])
        cells = [label, str(n), w, "%.1f" % (cpu / 1000)]
        if args.markdown:
            print("| " + " | ".join(cells) + " |")
        else:
            print("%-42s %6s %6s %8s" % tuple(cells))
    moves = [n for label, n, _ in rows if "one-stone move" in label]
    cpus = [c for _, _, c in rows]
    print()
    print("one-stone moves: %d to %d bytes; first board screen: %d bytes; full repaint: %d bytes;"
          " CPU per frame: at most %.0f µs" % (min(moves), max(moves), rows[1][1], rows[-1][1],
                                              max(cpus) / 1000))
    if writes is not None:
        print("write() calls per key press: at most %d" % max(writes[: len(rows)]))


if __name__ == "__main__":
    main()
