#!/usr/bin/env python3
"""Runs the shared match referee (../shared/referee/referee.py) with its win judge
following --rule and --size.

The referee tells the engines the rule and the board size, but its main loop calls
play_game() without them, so every game would be judged as freestyle on 19x19. This
wrapper passes them on and otherwise runs the referee unchanged, with the same
arguments:

    bench/rules_match.py pbrain:build/pbrain-gomoku pbrain:OTHER --rule renju --size 15 \\
        --pairs 10 --turn-ms 500 --max-ms 1500 --openings ../shared/referee/openings15.txt

--referee DIR (first argument) names another referee directory.
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    args = sys.argv[1:]
    folder = os.path.join(HERE, "..", "..", "shared", "referee")
    if args[:1] == ["--referee"]:
        folder, args = args[1], args[2:]
    sys.path.insert(0, os.path.abspath(folder))
    import referee

    ap = argparse.ArgumentParser(add_help=False)
    ap.add_argument("--rule", default="freestyle")
    ap.add_argument("--size", type=int, default=referee.N)
    known, _ = ap.parse_known_args(args)
    play = referee.play_game

    def judged(black, white, opening, max_ms=None, size=None, rule=None):
        return play(black, white, opening, max_ms, size or known.size, rule or known.rule)

    referee.play_game = judged
    sys.argv = [os.path.join(folder, "referee.py")] + args
    referee.main()


if __name__ == "__main__":
    main()
