#!/usr/bin/env python3
"""How often pbrain-gomoku's replies overrun timeout_turn, optionally on a machine kept
busy by CPU-bound loops beside it.

The engine plays itself (one process per side) on 15x15, games after games from a
random first stone, until REPLIES replies have been timed the way a tournament manager
times them: from writing the command to reading the move. Prints the count of replies
later than timeout_turn, the worst, the 98th percentile and the median (how much of the
turn the engine used).

usage: bench/turn_overruns.py [--engine PATH] [--turn-ms 200] [--replies 60]
                              [--busy N] [--seed S]
  --busy N   start N busy loops (nice 0) for the length of the run
"""
import argparse
import os
import random
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SIZE = 15


class Brain:
    def __init__(self, exe, turn_ms):
        self.p = subprocess.Popen([exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.send(f"START {SIZE}")
        assert self.reply() == "OK"
        self.send(f"INFO timeout_turn {turn_ms}")
        self.send("INFO timeout_match 0")

    def send(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()

    def reply(self):
        while True:
            line = self.p.stdout.readline()
            if not line:
                sys.exit("engine exited")
            if not line.startswith(("MESSAGE", "DEBUG")):
                return line.strip()

    def move(self, command):
        t0 = time.monotonic()
        self.send(command)
        line = self.reply()
        ms = (time.monotonic() - t0) * 1000
        x, y = map(int, line.split(","))
        return (x, y), ms

    def close(self):
        self.send("END")
        self.p.wait(timeout=10)


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


def game(exe, turn_ms, rng, times, want):
    """One game from a random first stone; appends each reply's time to `times`."""
    brains = [Brain(exe, turn_ms), Brain(exe, turn_ms)]
    first = (rng.randrange(5, 10), rng.randrange(5, 10))
    stones, side, last = {first: 1}, 0, first
    while len(times) < want:
        if len(stones) <= 2:  # each engine's first move: the whole board
            lines = [f"{x},{y},{1 if s == side else 2}" for (x, y), s in stones.items()]
            command = "\n".join(["BOARD"] + lines + ["DONE"])
        else:
            command = f"TURN {last[0]},{last[1]}"
        p, ms = brains[side].move(command)
        times.append(ms)
        stones[p], last = side, p
        if five(stones, p) or len(stones) == SIZE * SIZE:
            break
        side = 1 - side
    for b in brains:
        b.close()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--engine", default=os.path.join(ROOT, "build", "pbrain-gomoku"))
    ap.add_argument("--turn-ms", type=int, default=200)
    ap.add_argument("--replies", type=int, default=60)
    ap.add_argument("--busy", type=int, default=0)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    busy = [subprocess.Popen(["nice", "-n", "0", "sh", "-c", "while :; do :; done"])
            for _ in range(args.busy)]
    try:
        rng, times = random.Random(args.seed), []
        while len(times) < args.replies:
            game(args.engine, args.turn_ms, rng, times, args.replies)
    finally:
        for b in busy:
            b.kill()
            b.wait()
    late = [t for t in times if t > args.turn_ms]
    ranked = sorted(times)
    print(f"{len(times)} replies at timeout_turn {args.turn_ms} with {args.busy} busy loops: "
          f"{len(late)} over, worst {ranked[-1]:.0f} ms, "
          f"98th percentile {ranked[int(len(ranked) * 0.98) - 1]:.0f} ms, "
          f"median {ranked[len(ranked) // 2]:.0f} ms")


if __name__ == "__main__":
    main()
