#!/usr/bin/env python3
"""Generates a set of balanced openings for self-play matches (bench/sprt.py).

Candidates are drawn at random: 3 or 5 stones, black first, colours alternating, each
stone within two points of one already down, all inside the 7x7 square around the
centre; positions that are the same up to a turn, a reflection or a shift are drawn
once. Each candidate is then checked:
  - under renju no black stone lands on a forbidden point and the position leaves black
    none (judged by the match referee's own rules code);
  - on every board size asked for, neither side has a win by continuous fours or by
    threes and fours, and a short search scores the position for the side to move
    within --max-score of even (build/opening-check, which links the engine).
The first --count candidates that pass are written, one opening a line, centred on the
first size's centre point (K10 for 19 and 20, H8 for 15).

usage: bench/make_openings.py --sizes 15 [--count N] [--seed S] [--nodes N]
           [--max-score S] [--check PATH] [--referee PATH] [--jobs J] > bench/openings15.txt
"""
import argparse
import os
import random
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LETTERS = "ABCDEFGHJKLMNOPQRSTU"
RADIUS = 3                      # stones stay within this many points of the centre
SYMMETRIES = [lambda x, y: (x, y), lambda x, y: (-x, y), lambda x, y: (x, -y),
              lambda x, y: (-x, -y), lambda x, y: (y, x), lambda x, y: (-y, x),
              lambda x, y: (y, -x), lambda x, y: (-y, -x)]


def candidate(rng):
    """A random opening as a list of (dx, dy) from the centre, black first."""
    stones = [(rng.randint(-1, 1), rng.randint(-1, 1))]
    # White is to move after an odd number of stones: with an even number, black's first
    # move gives it the edge (a short search scores every 4-stone candidate at 240 or more).
    for _ in range(rng.choice((3, 5)) - 1):
        while True:
            near = rng.choice(stones)
            p = (near[0] + rng.randint(-2, 2), near[1] + rng.randint(-2, 2))
            if p not in stones and max(abs(p[0]), abs(p[1])) <= RADIUS:
                stones.append(p)
                break
    return stones


def shape(stones):
    """The position's shape: the same for openings equal up to symmetry and shift."""
    forms = []
    for f in SYMMETRIES:
        pts = [(i % 2,) + f(*p) for i, p in enumerate(stones)]
        x0, y0 = min(p[1] for p in pts), min(p[2] for p in pts)
        forms.append(tuple(sorted((c, x - x0, y - y0) for c, x, y in pts)))
    return min(forms)


def notation(stones, centre):
    """'H8 J9 G9' for stones given from the centre point (col, row) of the board."""
    return " ".join(f"{LETTERS[centre + x]}{centre + y + 1}" for x, y in stones)


def renju_clean(stones, centre, size, referee):
    """True when under renju no black stone lands on a forbidden point and the opening
    leaves black no forbidden point."""
    black, white = [], []
    for i, (x, y) in enumerate(stones):
        p = (centre + x, centre + y)
        if i % 2 == 0:
            if referee.forbidden_reason(black, white, p, size):
                return False
            black.append(p)
        else:
            white.append(p)
    return not referee.forbidden_points(black, white, size)


def balanced(report, max_score):
    """True when opening-check's report line shows no forced win and a near-even score."""
    fields = report.split("|", 1)[1].split()
    if len(fields) < 12 or fields[0] != "vcf":
        return False
    wins = fields[1:3] + fields[4:6]
    score = fields[7]
    return wins == ["0"] * 4 and score.lstrip("-").isdigit() and abs(int(score)) <= max_score


def check(lines, check_path, size, nodes, jobs):
    """opening-check's report for each line, run as `jobs` processes under nice."""
    chunks = [lines[k::jobs] for k in range(jobs)]
    procs = [subprocess.Popen(["nice", "-n", "10", check_path, str(size), str(nodes)],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
             for _ in chunks]
    for p, chunk in zip(procs, chunks):
        p.stdin.write("".join(line + "\n" for line in chunk))
        p.stdin.close()
    outs = [p.stdout.read().splitlines() for p in procs]
    for p in procs:
        if p.wait() != 0:
            raise SystemExit(f"{check_path} failed")
    reports = {}
    for chunk, out in zip(chunks, outs):
        if len(out) != len(chunk):
            raise SystemExit(f"{check_path}: {len(out)} reports for {len(chunk)} openings")
        reports.update(zip(chunk, out))
    return [reports[line] for line in lines]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--sizes", default="15", help="board sizes to check, e.g. 15 or 19,20")
    ap.add_argument("--count", type=int, default=200)
    ap.add_argument("--candidates", type=int, default=0, help="default: 4 x count")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--nodes", type=int, default=300000, help="budget of each check")
    ap.add_argument("--max-score", type=int, default=150)
    ap.add_argument("--check", default=os.path.join(ROOT, "build", "opening-check"))
    ap.add_argument("--referee", default=os.path.join(ROOT, "..", "shared", "referee"))
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--verbose", action="store_true", help="reports on standard error")
    args = ap.parse_args()
    sizes = [int(s) for s in args.sizes.split(",")]
    sys.path.insert(0, os.path.dirname(os.path.abspath(args.referee))
                    if args.referee.endswith(".py") else args.referee)
    import referee

    rng, seen, cands = random.Random(args.seed), set(), []
    centre = (sizes[0] - 1) // 2
    while len(cands) < (args.candidates or 4 * args.count):
        stones = candidate(rng)
        if shape(stones) not in seen:
            seen.add(shape(stones))
            if all(renju_clean(stones, centre, s, referee) for s in sizes):
                cands.append(notation(stones, centre))
    keep = cands
    for size in sizes:
        reports = check(keep, args.check, size, args.nodes, args.jobs)
        if args.verbose:
            print("\n".join(f"{size}: {r}" for r in reports), file=sys.stderr)
        keep = [c for c, r in zip(keep, reports) if balanced(r, args.max_score)]
    print(f"{len(keep)} of {len(cands)} candidates balanced on {args.sizes}", file=sys.stderr)
    if len(keep) < args.count:
        raise SystemExit(f"only {len(keep)} balanced openings: ask for more --candidates")
    print("\n".join(keep[:args.count]))


if __name__ == "__main__":
    main()
