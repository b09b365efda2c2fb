#!/usr/bin/env python3
"""Renju on a real terminal (NO_COLOR), and in a GBK terminal: on black's turn its
forbidden points are marked '#' on the board, and putting the stone down on one is
refused with a line that says why."""
import os
import shutil
import subprocess
import tempfile

import tmuxlib
from tmuxlib import GameTest

P1 = "现在轮到玩家1，请落子："
REFUSED = "禁手：黑棋不能在这里落子"

# (keys, row, column) of each stone: black (O) builds a three along row 9 and one down
# column 11 that meet at (9, 11); white (X) plays far from them.
TURNS = [([" "], 9, 9), (["Up"] * 4 + ["Space"], 5, 9), (["d", " "], 9, 10),
         (["Up"] * 4 + ["Space"], 4, 9), (["d", "s", " "], 10, 11),
         (["Down"] * 4 + ["Space"], 13, 9), (["d", "s", " "], 11, 11),
         (["Down"] * 4 + ["Space"], 14, 9)]


def sign(screen, r, c):
    return screen[r][3 * c + 2]


class Renju(GameTest):
    def test_forbidden_points_are_marked_and_refused(self):
        g = self.start(args=["--rule", "renju"])
        for i, (keys, r, c) in enumerate(TURNS):
            g.send(*keys)
            g.wait(lambda s: sign(s, r, c) == "OX"[i % 2] and "现在轮到玩家%d" % (2 - i % 2) in s[27])
        screen = g.settle()
        self.assertEqual(sign(screen, 9, 11), "#", "\n".join(screen[:20]))
        self.assertEqual(sign(screen, 9, 12), "*")
        g.send("d", "Space")  # the stone hops over (9, 10) onto the forbidden point
        screen = g.wait(lambda s: s[28].startswith(REFUSED))
        self.assertEqual(sign(screen, 9, 11), "O")
        g.send("w", "Space")  # one step up is allowed: the turn ends there
        screen = g.wait(lambda s: sign(s, 8, 11) == "O" and "现在轮到玩家2" in s[27])
        self.assertEqual(sign(screen, 9, 11), "*")  # no marks on white's turn

    def test_marks_and_refusal_in_a_gbk_terminal(self):
        loc = tempfile.mkdtemp(prefix="gomoku-loc-")
        self.addCleanup(shutil.rmtree, loc)
        made = subprocess.run(["localedef", "-i", "zh_CN", "-f", "GBK", os.path.join(loc, "zh_CN.GBK")],
                              capture_output=True)
        if made.returncode not in (0, 1) or not os.path.isdir(os.path.join(loc, "zh_CN.GBK")):
            self.skipTest("cannot build a GBK locale")
        env = dict(os.environ, LOCPATH=loc, LANG="zh_CN.GBK", LC_ALL="zh_CN.GBK")
        arrows = {"Up": "\x1b[A", "Down": "\x1b[B", "Space": " "}
        keys = "y\n" + "".join(arrows.get(k, k) for keys, _, _ in TURNS for k in keys)
        for extra, check in (("", lambda s: sign(s, 9, 11) == "#"),
                             ("d ", lambda s: s[28].startswith(REFUSED) and sign(s, 9, 11) == "O")):
            p = subprocess.run([tmuxlib.BINARY, "--rule", "renju"], input=(keys + extra).encode(),
                               capture_output=True, cwd=loc, env=env, timeout=10)
            screen = tmuxlib.Terminal(80, 32, "gbk")
            screen.feed(p.stdout)
            self.assertTrue(check(screen.lines()), "\n".join(screen.lines()))


if __name__ == "__main__":
    tmuxlib.main()
