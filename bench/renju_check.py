#!/usr/bin/env python3
"""Compares the engine's renju forbidden points with the match referee's judge on random
positions, and reports the cost of the engine's query.

    bench/renju_check.py [--positions N] [--seed S] [--size 15] [--referee PATH]
                         [--bench build/engine-bench]

Positions are random stones of both colours crowded around the centre, dense enough
that double threes, double fours, overlines and threes made fake by a forbidden point
(at one level and deeper) all occur. Exits 1 on the first disagreement, printing it.
"""
import argparse
import os
import random
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def randomposition(rng, size):
    """Black's and white's stones: a few dozen in a square around the centre."""
    span = rng.randint(5, min(size, 11))
    lo = (size - span) // 2
    cells = [(x, y) for x in range(lo, lo + span) for y in range(lo, lo + span)]
    rng.shuffle(cells)
    nblack = rng.randint(4, max(5, len(cells) * 2 // 5))
    nwhite = rng.randint(0, nblack)
    return cells[:nblack], cells[nblack:nblack + nwhite]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--positions", type=int, default=2000)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--size", type=int, default=15)
    ap.add_argument("--referee", default=os.path.join(HERE, "..", "..", "shared", "referee"))
    ap.add_argument("--bench", default=os.path.join(HERE, "..", "build", "engine-bench"))
    args = ap.parse_args()
    sys.path.insert(0, os.path.abspath(args.referee))
    from referee import forbidden_points  # the referee's judge, the oracle

    rng = random.Random(args.seed)
    positions = [randomposition(rng, args.size) for _ in range(args.positions)]
    text = "".join(" ".join(f"{x},{y}" for x, y in b) + " | " +
                   " ".join(f"{x},{y}" for x, y in w) + "\n" for b, w in positions)
    run = subprocess.run([args.bench, "forbid", str(args.size)], input=text,
                         capture_output=True, text=True, check=True)
    lines = run.stdout.splitlines()
    counts = {}
    for (black, white), line in zip(positions, lines):
        ours = {tuple(map(int, p.split(","))) for p in line.split()}
        theirs = forbidden_points(black, white, args.size)
        for why in theirs.values():
            counts[why] = counts.get(why, 0) + 1
        if ours != set(theirs):
            print("disagreement on black", black, "white", white)
            print("  engine only:", sorted(ours - set(theirs)))
            print("  referee only:", {p: theirs[p] for p in set(theirs) - ours})
            return 1
    print(f"{len(lines)} positions agree; forbidden points by reason: {counts}")
    print(run.stderr.strip())
    return 0


if __name__ == "__main__":
    sys.exit(main())
