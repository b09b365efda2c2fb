#!/usr/bin/env python3
"""The ladder of strength levels: each level of build/pbrain-gomoku against the level two
below it, and levels 1, 5 and 9 against BSD gomoku (Debian's bsdgames), on 19x19 under
freestyle. Prints a table: games, wins of the stronger side (the level above; the level
against BSD gomoku), draws, losses, and the mean time each side took per move.

Games are played by the shared match referee (../shared/referee/referee.py beside the
repository, or --referee DIR) in pairs, colours swapped, over its openings. Every game
starts the engines afresh with a seed of its own (`--level L --seed S`), so the pairs
differ even where the openings repeat, and the whole ladder plays the same games again
on another run: levels 1 to 8 look ahead by node counts, and the clock (--turn-ms) only
stops them when the machine is too slow for those. Level 9 thinks for --turn-ms.

A game against BSD gomoku still going after --bsd-game-s seconds (it sometimes thinks for
many minutes about one move) is given up and counted apart.

usage: nice -n 10 bench/levels.py [--pairs N] [--bsd-pairs N] [--turn-ms MS] [--jobs N]
                                  [--only 3-1,9-bsd,...] [--bsd-game-s S] [--engine PATH]
                                  [--referee DIR] [--log FILE]
"""
import argparse
import concurrent.futures
import json
import os
import sys
import threading

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LADDER = [(n, n - 2) for n in range(3, 10)] + [(1, "bsd"), (5, "bsd"), (9, "bsd")]


def name(side):
    """A side of a match as the table shows it."""
    return "BSD gomoku" if side == "bsd" else f"level {side}"


def player(referee, engine, side, seed, turn_ms):
    """The referee's player for one side of one game."""
    if side == "bsd":
        return referee.BSD()
    return referee.Pbrain(f"{engine} --level {side} --seed {seed}", size=19,
                          timeout_turn_ms=turn_ms, name=name(side))


def game(args, match, pair, swapped):
    """Plays one game of `match` (upper, lower); the upper side's result, 1, 0.5 or 0,
    the reason, the stones and each side's mean seconds per move."""
    sys.path.insert(0, os.path.abspath(args.referee))
    import referee

    openings = referee.read_openings(args.openings, 19)
    upper, lower = (player(referee, args.engine, side, 1000 * k + pair, args.turn_ms)
                    for k, side in enumerate(match, start=1))
    black, white = (lower, upper) if swapped else (upper, lower)
    # BSD gomoku has no clock, and now and then thinks for many minutes about one move:
    # past --bsd-game-s its game is given up and left out of the count.
    bsd = [p for p in (upper, lower) if isinstance(p, referee.BSD)]
    cut = threading.Event()

    def giveup():
        cut.set()
        if bsd[0].proc:
            bsd[0].proc.kill()

    timer = threading.Timer(args.bsd_game_s, giveup) if bsd else None
    if timer:
        timer.start()
    try:
        winner, why, moves, times = referee.play_game(
            black, white, openings[pair % len(openings)], None, 19, "freestyle")
    finally:
        if timer:
            timer.cancel()
        upper.close(), lower.close()
    if cut.is_set():
        return None, f"given up after {args.bsd_game_s} s", [referee.to_str(m) for m in moves], 0, 0
    mine = 1 if swapped else 0
    per = {c: [t for s, t in times if s == c] for c in (0, 1)}
    mean = {c: sum(v) / len(v) if v else 0.0 for c, v in per.items()}
    points = 0.5 if winner is None else 1.0 if winner == mine else 0.0
    return points, why, [referee.to_str(m) for m in moves], mean[mine], mean[1 - mine]


def matches(args):
    """The matches to play, as (upper, lower) sides."""
    if not args.only:
        return LADDER
    picked = []
    for item in args.only.split(","):
        a, b = item.split("-")
        picked.append((int(a), b if b == "bsd" else int(b)))
    return picked


def row(match, everything):
    """One line of the table for a match's results."""
    results = [r for r in everything if r[0] is not None]
    n = max(len(results), 1)
    wins = sum(1 for r in results if r[0] == 1.0)
    draws = sum(1 for r in results if r[0] == 0.5)
    upper_s = sum(r[3] for r in results) / n
    lower_s = sum(r[4] for r in results) / n
    stones = sum(len(r[2]) for r in results) / n
    return (f"| {name(match[0])} | {name(match[1])} | {len(results)} | {wins} | {draws} "
            f"| {len(results) - wins - draws} | {100 * wins / n:.0f} % | {stones:.0f} "
            f"| {upper_s:.3f} | {lower_s:.3f} | {len(everything) - len(results)} |")


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--pairs", type=int, default=10, help="game pairs between levels")
    ap.add_argument("--bsd-pairs", type=int, default=10, help="game pairs against BSD gomoku")
    ap.add_argument("--turn-ms", type=int, default=1000, help="timeout_turn of the engines")
    ap.add_argument("--jobs", type=int, default=1, help="games played at once")
    ap.add_argument("--bsd-game-s", type=float, default=1200,
                    help="a game against BSD gomoku still going after this long is given up")
    ap.add_argument("--only", help="matches to play, e.g. 3-1,9-bsd (default: the ladder)")
    ap.add_argument("--engine", default=os.path.join(ROOT, "build", "pbrain-gomoku"))
    ap.add_argument("--referee", default=os.path.join(ROOT, "..", "shared", "referee"))
    ap.add_argument("--openings")
    ap.add_argument("--log", default=os.path.join(ROOT, "build-bench", "levels.jsonl"),
                    help="one JSON line per game (default: build-bench/levels.jsonl)")
    args = ap.parse_args()
    args.openings = args.openings or os.path.join(args.referee, "openings.txt")

    plan = [(m, p, s) for m in matches(args)
            for p in range(args.bsd_pairs if m[1] == "bsd" else args.pairs) for s in (0, 1)]
    results = {m: [] for m in matches(args)}
    os.makedirs(os.path.dirname(os.path.abspath(args.log)), exist_ok=True)
    with concurrent.futures.ProcessPoolExecutor(args.jobs) as pool, open(args.log, "a") as log:
        futures = {pool.submit(game, args, *item): item for item in plan}
        for f in concurrent.futures.as_completed(futures):
            match, pair, swapped = futures[f]
            r = f.result()
            results[match].append(r)
            log.write(json.dumps({"upper": name(match[0]), "lower": name(match[1]), "pair": pair,
                                  "upper_black": not swapped, "points": r[0], "reason": r[1],
                                  "moves": r[2]}) + "\n")
            log.flush()
            print(f"{name(match[0])} vs {name(match[1])}, pair {pair}, "
                  f"{'white' if swapped else 'black'}: {r[0]} by {r[1]} after {len(r[2])} stones",
                  file=sys.stderr, flush=True)
    print("| level | against | games | wins | draws | losses | wins % | stones | "
          "s/move | s/move against | given up |")
    print("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for m in matches(args):
        print(row(m, results[m]))


if __name__ == "__main__":
    main()
