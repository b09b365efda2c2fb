#!/usr/bin/env python3
"""The real program sends each frame in one write(): counted with strace over the
benchmark's scripted game. (The bytes each frame may take are held by the unit test
tests/console/framecost_test.cpp, which sees every frame the renderer makes.)"""
import os
import shutil
import sys
import tempfile
import unittest

import tmuxlib

sys.path.insert(0, os.path.join(tmuxlib.HERE, "../../bench"))
import framecost  # noqa: E402


class FrameCost(unittest.TestCase):
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
