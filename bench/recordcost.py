#!/usr/bin/env python3
"""What recording a game costs per move (--record): the time of each record write.

Plays a scripted game (random steering, 40 moves) with --record, keys from a pipe, under
strace, RUNS times, and reports per run the writes and the time each took from the start
of its temporary file to the flush of the directory (mkstemp, write, fsync, close, rename,
fsync of the directory), then the median and the largest over all writes.

Usage: bench/recordcost.py [--runs N] [--dir DIR] [PROGRAM]   (DIR: where the record goes)
"""
import argparse
import os
import random
import re
import shutil
import statistics
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
LINE = re.compile(r"^\d+ +(\d+\.\d+) (\w+)\((.*)<(\d+\.\d+)>$")


def keys():
    """Random steering for both players, a stone every few keys (40 moves, then a win)."""
    rng = random.Random(5)
    steps = "".join("".join(rng.choice("wasdHPKM") for _ in range(rng.randint(0, 8))) + " "
                    for _ in range(400))
    return ("y\n" + steps).encode()


def writes(trace):
    """The durations in ms of each record write in an strace -ttt -T trace: from the
    openat of the temporary file to the end of the directory's fsync."""
    out, start, dirsync = [], None, False
    for line in trace.splitlines():
        m = LINE.match(line)
        if not m:
            continue
        at, call, args, took = float(m.group(1)), m.group(2), m.group(3), float(m.group(4))
        if call == "openat" and "g.sgf." in args:
            start = at
        elif call == "openat" and "O_DIRECTORY" in args and start is not None:
            dirsync = True
        elif call == "fsync" and dirsync:
            out.append((at + took - start) * 1000)
            start, dirsync = None, False
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--dir", default=None)
    ap.add_argument("program", nargs="?", default=os.path.join(HERE, "../build/gomoku"))
    a = ap.parse_args()
    program = os.path.abspath(a.program)
    every = []
    for run in range(a.runs):
        d = tempfile.mkdtemp(prefix="gomoku-recordcost-", dir=a.dir)
        try:
            tracefile = os.path.join(d, "trace")
            subprocess.run(["strace", "-f", "-ttt", "-T", "-o", tracefile, "-e",
                            "trace=openat,fsync", program, "--record", "g.sgf"], input=keys(),
                           cwd=d, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            with open(tracefile) as f:
                ms = writes(f.read())
            every += ms
            print("run %d: %d writes, median %.1f ms, largest %.1f ms"
                  % (run + 1, len(ms), statistics.median(ms), max(ms)))
        finally:
            shutil.rmtree(d)
    print("all: %d writes, median %.1f ms, largest %.1f ms"
          % (len(every), statistics.median(every), max(every)))


if __name__ == "__main__":
    main()
