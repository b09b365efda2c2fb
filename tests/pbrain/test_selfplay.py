#!/usr/bin/env python3
"""The real pbrain-gomoku plays a whole game against itself, one process per side, the
way a tournament manager drives it: every reply a legal point, in time, and the process
ends with status 0 after END (within its memory budget, when not built with sanitizers).

usage: test_selfplay.py PBRAIN plain|sanitized
"""
import subprocess
import sys
import time

SIZE = 15
TURN_MS = 80
# Process scheduling on a busy machine and pipe hand-over; far more under sanitizers.
SLACK_MS = {"plain": 250, "sanitized": 1000}
MAX_MEMORY = 40 << 20


def fail(msg):
    print("FAIL:", msg)
    sys.exit(1)


class Brain:
    def __init__(self, exe):
        self.p = subprocess.Popen([exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

    def send(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()

    def reply(self):
        while True:
            line = self.p.stdout.readline()
            if not line:
                fail("engine exited early")
            line = line.strip()
            if line.startswith("ERROR"):
                fail("engine said " + line)
            if not line.startswith(("MESSAGE", "DEBUG")):
                return line

    def move(self, command):
        t0 = time.monotonic()
        self.send(command)
        line = self.reply()
        ms = (time.monotonic() - t0) * 1000
        try:
            x, y = map(int, line.split(","))
        except ValueError:
            fail(f"{command} -> {line!r}")
        return (x, y), ms

    def peak_rss(self):
        with open(f"/proc/{self.p.pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) * 1024
        return 0


def five(stones, p):
    for dx, dy in ((1, 0), (0, 1), (1, 1), (1, -1)):
        n = 1
        for s in (1, -1):
            q = (p[0] + s * dx, p[1] + s * dy)
            while stones.get(q) == stones[p]:
                n += 1
                q = (q[0] + s * dx, q[1] + s * dy)
        if n >= 5:
            return True
    return False


def main():
    exe, build = sys.argv[1], sys.argv[2]
    brains = [Brain(exe), Brain(exe)]
    for b in brains:
        b.send(f"START {SIZE}")
        if b.reply() != "OK":
            fail("START refused")
        b.send(f"INFO timeout_turn {TURN_MS}")
        b.send("INFO timeout_match 0")
        b.send(f"INFO max_memory {MAX_MEMORY}")
    stones, slowest, side, last, result = {}, 0.0, 0, None, None
    while result is None:
        p, ms = brains[side].move("BEGIN" if last is None else f"TURN {last[0]},{last[1]}")
        slowest = max(slowest, ms)
        if ms > TURN_MS + SLACK_MS[build]:
            fail(f"move {len(stones) + 1} took {ms:.0f} ms with timeout_turn {TURN_MS}")
        if not (0 <= p[0] < SIZE and 0 <= p[1] < SIZE) or p in stones:
            fail(f"move {len(stones) + 1}: illegal point {p}")
        stones[p] = side
        if five(stones, p):
            result = f"player {side + 1} made five"
        elif len(stones) == SIZE * SIZE:
            result = "board full"
        last, side = p, 1 - side
    for b in brains:
        rss = b.peak_rss()
        if build == "plain" and rss > MAX_MEMORY:
            fail(f"peak memory {rss >> 20} MB above max_memory {MAX_MEMORY >> 20} MB")
        b.send("END")
        if b.p.wait(timeout=10) != 0:
            fail("exit status not 0 after END")
    print(f"{result} after {len(stones)} moves; slowest reply {slowest:.0f} ms")


if __name__ == "__main__":
    main()
