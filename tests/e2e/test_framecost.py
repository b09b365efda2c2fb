#!/usr/bin/env python3
"""Holds the frame cost goals on the real program: one write() per frame, and the bytes a
key press sends (exact counts from the benchmark's scripted game, not timings)."""
import os
import shutil
import sys
import tempfile
import unittest

import tmuxlib

sys.path.insert(0, os.path.join(tmuxlib.HERE, "../../bench"))
import framecost  # noqa: E402

with open(os.path.join(tmuxlib.HERE, "../../bench/goals.txt")) as _goals:
    GOALS = {k: int(v) for k, v in (line.split() for line in _goals
                                    if line.strip() and not line.startswith("#"))}
MOVE_PLAIN, MOVE_COLOUR, SCREEN = GOALS["move_plain"], GOALS["move_colour"], GOALS["screen"]


class FrameCost(unittest.TestCase):
    def measure(self, colour):
        env = dict(os.environ, LANG="C.UTF-8", TERM="xterm-256color")
        env.pop("NO_COLOR", None)
        if not colour:
            env["NO_COLOR"] = "1"
        return framecost.play(tmuxlib.BINARY, env)

    def test_bytes_per_key_press(self):
        for colour, limit in [(False, MOVE_PLAIN), (True, MOVE_COLOUR)]:
            with self.subTest(colour=colour):
                rows = self.measure(colour)
                moves = [n for label, n, _ in rows if "one-stone move" in label]
                self.assertEqual(len(moves), 8)
                self.assertLessEqual(max(moves), limit)
                self.assertGreater(min(moves), 0)
                self.assertEqual(rows[1][0], "Enter (first board screen)")
                self.assertLessEqual(rows[1][1], SCREEN)
                self.assertGreater(rows[1][1], 1200)
                self.assertEqual(rows[-1][0], framecost.RESIZE)
                self.assertLessEqual(rows[-1][1], SCREEN)
                self.assertGreater(rows[-1][1], 1200)

    @unittest.skipUnless(shutil.which("strace"), "strace is not installed")
    def test_one_write_per_frame(self):
        log = tempfile.mktemp(prefix="gomoku-fc-")
        env = dict(os.environ, LANG="C.UTF-8", NO_COLOR="1")
        rows = framecost.play(tmuxlib.BINARY, env, log)
        counts = framecost.writecounts(log)
        with open(log) as f:
            trace = "".join(line[:100] for line in f if "ELF" not in line)
        os.unlink(log)
        # One count per read of keys (or of a resize event); every read that led to a
        # frame led to exactly one write.
        self.assertGreaterEqual(len(counts), len(rows) - 2)
        self.assertEqual(max(counts), 1, "%s\n%s" % (counts, trace))
        self.assertGreaterEqual(sum(counts), len(rows) - 2)


if __name__ == "__main__":
    tmuxlib.main()
