#!/usr/bin/env python3
"""Self-play match of two builds of pbrain-gomoku, stopped by a sequential test (SPRT).

The engine under test ("new": the working tree's build/pbrain-gomoku, built first) plays
a baseline ("base": pbrain-gomoku built from any git revision, main by default). Each
opening of a balanced set is played twice with colours swapped (a game pair), several
pairs at a time in worker processes, each game judged by the shared match referee
(../shared/referee/referee.py). After every pair the pentanomial SPRT (bench/sprt_stats.py)
decides whether to go on; with --no-sprt exactly --games games are played.

  bench/sprt.py --base main --nodes 20000                 # this change against main
  bench/sprt.py --base HEAD~1 --nodes 20000 --base-nodes 10000 --elo1 50
  bench/sprt.py --base main --turn-ms 100 --no-sprt --games 400 --rule renju

Node-limited games (--nodes N: positions per move) do not depend on the machine's load
and are the default kind for testing a change; both engines then get the same budget
scaled by a factor drawn for each pair from [1 - jitter, 1 + jitter], so that an opening
met again gives new games. Without --nodes the engines play on the clock (--turn-ms).
The cached baseline builds live in build-bench/<commit>, the game logs in build-bench/.
"""
import argparse
import datetime
import json
import multiprocessing
import os
import random
import signal
import subprocess
import sys
import time

import sprt_stats

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CACHE = os.path.join(ROOT, "build-bench")
OPENINGS = {15: "openings15.txt", 19: "openings19.txt", 20: "openings19.txt"}


def run(cmd, **kw):
    """Runs a command, failing loudly."""
    subprocess.run(cmd, check=True, **kw)


def build_tree(src, build):
    """Builds pbrain-gomoku of the source tree `src` in `build`; returns its path."""
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        run(["cmake", "-S", src, "-B", build, "-DBUILD_TESTING=OFF"], stdout=subprocess.DEVNULL)
    run(["cmake", "--build", build, "-j2", "--target", "pbrain-gomoku"], stdout=subprocess.DEVNULL)
    return os.path.join(build, "pbrain-gomoku")


def build_revision(rev):
    """pbrain-gomoku of git revision `rev`, exported into build-bench/<commit> and built
    there once; returns (its path, the commit)."""
    sha = subprocess.run(["git", "-C", ROOT, "rev-parse", "--verify", rev + "^{commit}"],
                         check=True, capture_output=True, text=True).stdout.strip()
    home = os.path.join(CACHE, sha[:12])
    exe = os.path.join(home, "build", "pbrain-gomoku")
    if not os.path.exists(exe):
        src = os.path.join(home, "src")
        os.makedirs(src, exist_ok=True)
        archive = subprocess.Popen(["git", "-C", ROOT, "archive", sha], stdout=subprocess.PIPE)
        subprocess.run(["tar", "-x", "-C", src], stdin=archive.stdout, check=True)
        if archive.wait() != 0:
            raise SystemExit(f"git archive {sha} failed")
        build_tree(src, os.path.join(home, "build"))
    return exe, sha


def engine_command(exe, nodes):
    """The shell command that starts the engine, with a node budget when nodes > 0."""
    return f"{exe} --nodes {nodes}" if nodes else exe


def preflight(exe, nodes, size):
    """Fails unless the engine starts with these arguments and accepts the board size."""
    try:
        out = subprocess.run(engine_command(exe, nodes).split(), input=f"START {size}\nEND\n",
                             capture_output=True, text=True, timeout=30).stdout
    except OSError as e:
        raise SystemExit(f"{exe}: {e}")
    if "OK" not in out.split():
        raise SystemExit(f"{engine_command(exe, nodes)} does not answer START {size} with OK")


# ---------------------------------------------------------------- worker processes
referee = None


def init_worker(referee_dir):
    """Loads the referee in a worker; Ctrl-C is left to the main process, which ends the
    workers with SIGTERM (the engines are then closed on the way out)."""
    global referee
    signal.signal(signal.SIGINT, signal.SIG_IGN)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.path.insert(0, referee_dir)
    import referee as module
    referee = module


def play_pair(job):
    """Plays the job's opening twice, the new engine black first; returns the job with
    both games' records."""

    class Engine(referee.Pbrain):
        # pbrain-gomoku reads every command it is sent, however soon: no pause needed
        # between its reply and the next command.
        SETTLE_S = job["settle_s"]

        def __init__(self, cmd, size, turn_ms, name, rule, threads):
            super().__init__(cmd, size, turn_ms, name, rule)
            self.threads = threads

        def new_game(self, me, opening):
            super().new_game(me, opening)
            if self.threads > 1:
                self._send(f"INFO thread_num {self.threads}")

    size, rule = job["size"], job["rule"]
    new = Engine(engine_command(job["new"], job["new_nodes"]), size, job["turn_ms"], "new", rule,
                 job["new_threads"])
    base = Engine(engine_command(job["base"], job["base_nodes"]), size, job["turn_ms"], "base",
                  rule, job["base_threads"])
    opening = [referee.from_str(t, size) for t in job["opening"].split()]
    games = []
    try:
        for new_black in (True, False):
            black, white = (new, base) if new_black else (base, new)
            winner, why, moves, times = referee.play_game(black, white, opening, job["max_ms"],
                                                          size, rule)
            games.append(game_record(new_black, winner, why, moves, times))
    finally:
        new.close(), base.close()
    return dict(job, games=games)


def game_record(new_black, winner, why, moves, times):
    """One game as logged: the new engine's colour and points, how it ended, the moves
    and the slowest move of each engine."""
    points = 0.5 if winner is None else float((winner == 0) == new_black)
    slowest = {c: max((t for s, t in times if s == c), default=0.0) for c in (0, 1)}
    return {"new": "black" if new_black else "white", "points": points, "reason": why,
            "moves": [referee.to_str(m) for m in moves],
            "slowest_ms": {"new": round(1000 * slowest[0 if new_black else 1]),
                           "base": round(1000 * slowest[1 if new_black else 0])}}


# ---------------------------------------------------------------- the match
def jobs(args, openings, new_exe, base_exe):
    """The game pairs to play, in order: the openings shuffled, again on every pass."""
    rng, order = random.Random(args.seed), []
    for k in range((args.games + 1) // 2):
        if not order:
            order = list(range(len(openings)))
            rng.shuffle(order)
        f = 1.0 + args.jitter * rng.uniform(-1.0, 1.0)
        yield {"pair": k, "opening": openings[order.pop()], "size": args.size,
               "rule": args.rule, "turn_ms": args.turn_ms, "max_ms": args.max_ms,
               "settle_s": args.settle_ms / 1000.0, "new": new_exe, "base": base_exe,
               "new_nodes": round(args.new_nodes * f), "base_nodes": round(args.base_nodes * f),
               "new_threads": args.new_threads, "base_threads": args.base_threads}


class Tally:
    """The match so far: pair counts, games by result and colour, how games ended."""

    def __init__(self):
        self.pairs = [0] * 5
        self.wdl = {"black": [0, 0, 0], "white": [0, 0, 0]}
        self.endings = {}

    def add(self, games):
        """Counts one finished pair."""
        self.pairs[round(2 * sum(g["points"] for g in games))] += 1
        for g in games:
            self.wdl[g["new"]][{1.0: 0, 0.5: 1, 0.0: 2}[g["points"]]] += 1
            kind = g["reason"].split(":")[0]
            self.endings[kind] = self.endings.get(kind, 0) + 1

    def games(self):
        return 2 * sum(self.pairs)

    def line(self, args):
        """One line: games, W-D-L, score, Elo with its 95 % interval, LLR."""
        w, d, l = (a + b for a, b in zip(self.wdl["black"], self.wdl["white"]))
        elo, lo, hi = sprt_stats.elo_interval(self.pairs)
        score = 100 * (w + d / 2) / (w + d + l)
        text = (f"games {self.games()}  W-D-L {w}-{d}-{l}  score {score:.1f} %"
                f"  Elo {elo:+.1f} ± {(hi - lo) / 2:.1f}")
        if args.sprt:
            lower, upper = sprt_stats.bounds(args.alpha, args.beta)
            text += (f"  LLR {sprt_stats.llr(self.pairs, args.elo0, args.elo1):.2f}"
                     f" ({lower:.2f}, {upper:.2f})")
        return text

    def verdict(self, args):
        """The SPRT's verdict so far, or None (always None with --no-sprt)."""
        if not args.sprt:
            return None
        value = sprt_stats.llr(self.pairs, args.elo0, args.elo1)
        return sprt_stats.verdict(value, args.alpha, args.beta)


def report(tally, args, verdict):
    """The closing summary."""
    b, w = tally.wdl["black"], tally.wdl["white"]
    elo, lo, hi = sprt_stats.elo_interval(tally.pairs)
    print("\n" + tally.line(args))
    print(f"new as black W-D-L {b[0]}-{b[1]}-{b[2]}, as white {w[0]}-{w[1]}-{w[2]}")
    print("pairs scoring 0, 0.5, 1, 1.5, 2 points: " + " ".join(map(str, tally.pairs)))
    print(f"Elo {elo:+.1f}, 95 % interval [{lo:+.1f}, {hi:+.1f}]")
    if args.sprt:
        print(f"SPRT elo0 {args.elo0:g} elo1 {args.elo1:g} alpha {args.alpha:g} "
              f"beta {args.beta:g}: {verdict or f'no verdict after {tally.games()} games'}")
    print("endings: " + ", ".join(f"{k} {v}" for k, v in sorted(tally.endings.items())))


def play_match(args, openings, new_exe, base_exe, log):
    """Plays pairs on args.concurrency workers until the SPRT decides or the games are
    all played; returns the tally and the verdict."""
    tally, verdict = Tally(), None
    pool = multiprocessing.Pool(args.concurrency, init_worker, (args.referee,))
    try:
        for done in pool.imap_unordered(play_pair, jobs(args, openings, new_exe, base_exe)):
            tally.add(done["games"])
            log.write(json.dumps({k: v for k, v in done.items() if k not in ("new", "base")})
                      + "\n")
            log.flush()
            verdict = tally.verdict(args)
            if verdict or sum(tally.pairs) % args.report == 0:
                print(tally.line(args), flush=True)
            if verdict:
                break
    except KeyboardInterrupt:
        print("\ninterrupted", flush=True)
    finally:
        pool.terminate()
        pool.join()
    return tally, verdict


def options():
    """The command line."""
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0],
                                 formatter_class=argparse.RawDescriptionHelpFormatter,
                                 epilog=__doc__.split("\n", 2)[2])
    ap.add_argument("--base", default="main", help="git revision of the baseline (main)")
    ap.add_argument("--base-engine", help="a pbrain-gomoku to use as the baseline instead")
    ap.add_argument("--new", help="the engine under test (default: build/pbrain-gomoku, built)")
    ap.add_argument("--nodes", type=int, default=0, help="positions per move for both engines")
    ap.add_argument("--base-nodes", type=int, help="... for the baseline only")
    ap.add_argument("--new-nodes", type=int, help="... for the new engine only")
    ap.add_argument("--new-threads", type=int, default=1,
                    help="INFO thread_num for the new engine (1: none sent)")
    ap.add_argument("--base-threads", type=int, default=1, help="... for the baseline")
    ap.add_argument("--jitter", type=float, default=0.1, help="node budget spread per pair")
    ap.add_argument("--turn-ms", type=int, default=100, help="timeout_turn (default 100)")
    ap.add_argument("--max-ms", type=float, help="a slower move loses the game")
    ap.add_argument("--rule", default="freestyle",
                    choices=("freestyle", "standard", "renju", "caro"))
    ap.add_argument("--size", type=int, default=15)
    ap.add_argument("--openings", help="default: bench/openings15.txt or openings19.txt")
    ap.add_argument("--games", type=int, default=20000, help="most games (default 20000)")
    ap.add_argument("--no-sprt", dest="sprt", action="store_false", help="play all --games")
    ap.add_argument("--elo0", type=float, default=0.0)
    ap.add_argument("--elo1", type=float, default=10.0)
    ap.add_argument("--alpha", type=float, default=0.05)
    ap.add_argument("--beta", type=float, default=0.05)
    ap.add_argument("--concurrency", type=int, default=2, help="game pairs at once (2)")
    ap.add_argument("--seed", type=int, default=1, help="opening order and node spread")
    ap.add_argument("--settle-ms", type=float, default=0.0,
                    help="pause before each command to an engine (the referee's is 50)")
    ap.add_argument("--referee", default=os.path.join(ROOT, "..", "shared", "referee"),
                    help="the match referee's directory or referee.py")
    ap.add_argument("--log", help="game log, JSON lines (default: build-bench/sprt-TIME.jsonl)")
    ap.add_argument("--report", type=int, default=10, help="a line every N pairs")
    ap.add_argument("--no-build", dest="build", action="store_false",
                    help="use build/pbrain-gomoku as it is")
    args = ap.parse_args()
    args.base_nodes = args.nodes if args.base_nodes is None else args.base_nodes
    args.new_nodes = args.nodes if args.new_nodes is None else args.new_nodes
    if (args.base_nodes == 0) != (args.new_nodes == 0):
        ap.error("give both engines a node budget, or neither")
    if args.referee.endswith(".py"):
        args.referee = os.path.dirname(os.path.abspath(args.referee))
    if not os.path.exists(os.path.join(args.referee, "referee.py")):
        ap.error(f"no referee.py in {args.referee}: give --referee PATH")
    if args.openings is None and args.size not in OPENINGS:
        ap.error(f"no openings of ours for --size {args.size}: give --openings FILE")
    args.openings = args.openings or os.path.join(ROOT, "bench", OPENINGS[args.size])
    return args


def stop_on_signal(signum, frame):
    """SIGTERM or SIGINT ends the match as Ctrl-C does: the workers and their engines
    are stopped and the summary of the pairs played so far printed."""
    raise KeyboardInterrupt


def main():
    args = options()
    os.nice(max(0, 10 - os.nice(0)))  # the builds and games give way to other work
    for sig in (signal.SIGINT, signal.SIGTERM):  # also when started with SIGINT ignored
        signal.signal(sig, stop_on_signal)
    sys.path.insert(0, args.referee)
    import referee as ref
    if not 5 <= args.size <= ref.MAX_SIZE:
        raise SystemExit(f"--size must be 5..{ref.MAX_SIZE}")
    openings = [" ".join(ref.to_str(p) for p in op)
                for op in ref.read_openings(args.openings, args.size)]
    new_exe = args.new or os.path.join(ROOT, "build", "pbrain-gomoku")
    if args.new is None and args.build:
        new_exe = build_tree(ROOT, os.path.join(ROOT, "build"))
    base_exe, base_what = args.base_engine, args.base_engine
    if base_exe is None:
        base_exe, sha = build_revision(args.base)
        base_what = f"{args.base} ({sha[:12]})"
    for exe, nodes in ((new_exe, args.new_nodes), (base_exe, args.base_nodes)):
        preflight(exe, nodes, args.size)
    os.makedirs(CACHE, exist_ok=True)
    stamp = datetime.datetime.now().strftime("%Y%m%d-%H%M%S")
    args.log = args.log or os.path.join(CACHE, f"sprt-{stamp}.jsonl")
    budget = (f"{args.new_nodes} / {args.base_nodes} nodes a move (± {100 * args.jitter:g} % "
              "a pair)" if args.new_nodes else f"{args.turn_ms} ms a move")
    print(f"new {new_exe}\nbase {base_what}\n{args.rule}, {args.size}x{args.size}, {budget}, "
          f"{len(openings)} openings from {args.openings}, {args.concurrency} at once\n"
          f"log {args.log}", flush=True)
    start = time.monotonic()
    with open(args.log, "w") as log:
        tally, verdict = play_match(args, openings, new_exe, base_exe, log)
    if tally.games():
        report(tally, args, verdict)
    print(f"time {time.monotonic() - start:.0f} s")


if __name__ == "__main__":
    main()
