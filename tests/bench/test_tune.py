#!/usr/bin/env python3
"""The evaluation tuner's input and its check: match logs become games with black's
result, and the tuner starts from the engine's own weights (it stops otherwise).

    test_tune.py TUNE_EVAL    (the built tune-eval)"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import tune_data  # noqa: E402

TUNE_EVAL = None
MOVES = ["H8", "J9", "G9", "J7", "J8", "K8", "G8", "F8", "G7", "G10", "H9", "F7", "G6"]


def pair(rule, size, games):
    """One log line: a game pair of `rule` and `size`, games as (new's colour, its points,
    how it ended)."""
    return json.dumps({"pair": 0, "rule": rule, "size": size,
                       "games": [{"new": c, "points": p, "reason": r, "moves": MOVES}
                                 for c, p, r in games]})


class Games(unittest.TestCase):
    def test_results_for_black(self):
        lines = [pair("freestyle", 15, [("black", 1.0, "five"), ("white", 1.0, "five"),
                                        ("white", 0.5, "board full"),
                                        ("black", 1.0, "timeout"), ("white", 0.0, "crash")]),
                 pair("renju", 15, [("black", 0.0, "five")]),
                 pair("freestyle", 20, [("black", 0.0, "five")])]
        with tempfile.NamedTemporaryFile("w", suffix=".jsonl", delete=False) as f:
            f.write("\n".join(lines) + "\nnot json\n")
        try:
            for rule, size, expected in (("freestyle", 15, [1.0, 0.0, 0.5]),
                                         ("renju", 15, [0.0]), ("freestyle", 20, [0.0]),
                                         ("caro", 15, [])):
                with self.subTest(rule=rule, size=size):
                    got = list(tune_data.games(f.name, rule, size))
                    self.assertEqual([p for p, _ in got], expected)
                    self.assertTrue(all(m == MOVES for _, m in got))
        finally:
            os.unlink(f.name)


@unittest.skipIf(TUNE_EVAL is None and len(sys.argv) < 2, "no tune-eval given")
class Tuner(unittest.TestCase):
    def test_starts_from_the_engines_weights(self):
        # Every position is checked against the board's own sums: a weight changed in the
        # engine and not in the tuner ends the run with status 2.
        games = "15 1.0 " + " ".join(MOVES) + "\n15 0.0 " + " ".join(reversed(MOVES)) + "\n"
        run = subprocess.run([TUNE_EVAL, "0"], input=games, capture_output=True, text=True,
                             timeout=60)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertRegex(run.stdout, r"positions 1[0-9] ")


if __name__ == "__main__":
    if len(sys.argv) > 1:
        TUNE_EVAL = sys.argv.pop(1)
    unittest.main()
