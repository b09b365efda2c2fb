#!/usr/bin/env python3
"""Games of match logs (bench/sprt.py's JSON lines) as bench/tune_eval.cpp reads them.

    bench/tune_data.py [--rule freestyle] [--size 15] LOG... > games.txt

One game a line: "SIZE RESULT MOVE MOVE ...", RESULT black's points. Games that ended
by anything but a five or a full board (a timeout, a crash) are left out.
"""
import argparse
import json


def games(path, rule, size):
    """Yields (black's points, moves) of the log's games of that rule and size."""
    with open(path) as f:
        for line in f:
            try:
                pair = json.loads(line)
            except ValueError:
                continue
            if pair.get("rule") != rule or pair.get("size") != size:
                continue
            for g in pair.get("games", []):
                if g.get("reason") not in ("five", "board full"):
                    continue
                points = g["points"] if g["new"] == "black" else 1 - g["points"]
                yield points, g["moves"]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--rule", default="freestyle")
    ap.add_argument("--size", type=int, default=15)
    ap.add_argument("logs", nargs="+")
    args = ap.parse_args()
    for path in args.logs:
        for points, moves in games(path, args.rule, args.size):
            print(args.size, points, " ".join(moves))


if __name__ == "__main__":
    main()
