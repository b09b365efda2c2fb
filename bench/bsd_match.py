#!/usr/bin/env python3
"""Match of build/pbrain-gomoku against BSD gomoku (Debian package bsdgames) on 19x19,
five or more in a row wins, each opening played twice with colours swapped.

The games are run by the shared match referee (../shared/referee/referee.py next to the
repository, or --referee PATH), which drives BSD gomoku in batch mode and the engine on
its protocol; this script picks the settings, then sums up the log.

usage: bench/bsd_match.py [--pairs N] [--turn-ms MS] [--openings FILE] [--engine PATH]
                          [--referee PATH] [--log FILE]
"""
import argparse
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def summary(log, engine_name):
    """Points, wins by colour and slowest engine move, from the referee's JSON lines."""
    games = [json.loads(line) for line in open(log) if line.strip()]
    points, lines, slowest = 0.0, [], 0.0
    won = {"black": 0, "white": 0}
    played = {"black": 0, "white": 0}
    for g in games:
        colour = "black" if g["black"].endswith("(A)") else "white"
        played[colour] += 1
        winner = {"1-0": "black", "0-1": "white"}.get(g["result"])
        if winner is None:
            points += 0.5
        elif winner == colour:
            points += 1
            won[colour] += 1
        else:
            lines.append(f"  lost as {colour} by {g['reason']}: {' '.join(g['moves'])}")
        for name, v in g["avg_max_s_per_move"].items():
            if name.endswith("(A)") and v:
                slowest = max(slowest, v[1])
    n = len(games)
    print(f"{engine_name}: {points:g} of {n} points ({100 * points / max(n, 1):.1f} %); "
          f"won {won['black']}/{played['black']} as black, {won['white']}/{played['white']} "
          f"as white; slowest move {slowest * 1000:.0f} ms")
    print("\n".join(lines))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--pairs", type=int, default=24)
    ap.add_argument("--turn-ms", type=int, default=500)
    ap.add_argument("--openings", default=os.path.join(ROOT, "bench", "openings.txt"))
    ap.add_argument("--engine", default=os.path.join(ROOT, "build", "pbrain-gomoku"))
    ap.add_argument("--referee",
                    default=os.path.join(ROOT, "..", "shared", "referee", "referee.py"))
    ap.add_argument("--log", default="bsd_match.jsonl")
    args = ap.parse_args()
    for path, what in ((args.referee, "the match referee"), ("/usr/games/gomoku",
                       "BSD gomoku (apt-get install bsdgames)"), (args.engine, "the engine")):
        if not os.path.exists(path):
            sys.exit(f"missing {what}: {path}")
    if os.path.exists(args.log):
        os.remove(args.log)
    subprocess.run([sys.executable, args.referee, "pbrain:" + args.engine, "bsd",
                    "--pairs", str(args.pairs), "--turn-ms", str(args.turn_ms),
                    "--max-ms", str(args.turn_ms), "--openings", args.openings,
                    "--log", args.log], check=True)
    summary(args.log, os.path.basename(args.engine))


if __name__ == "__main__":
    main()
