#!/usr/bin/env python3
"""Game records with the real program: a game killed at any moment leaves a whole record
of every move it had played; a recorded game replayed in tmux."""
import os
import random
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

import tmuxlib
from tmuxlib import GameTest, empty_board, place

EIGHT = " H d H d H d H "  # eight moves along row 9 and column 9, no five yet
ROW9 = "(;GM[4];B[ii];W[ih];B[ji];W[ig];B[ki];W[if];B[li];W[ie];B[mi])"
NODE = re.compile(r";[BW]\[([a-s]{2})\]")


def recorded(path):
    """The moves of the record at `path` as SGF points; fails unless it is one whole game."""
    with open(path) as f:
        text = f.read()
    assert re.fullmatch(r"\(;FF\[4\]GM\[4\][^;]*(\n?;[BW]\[[a-s]{2}\])*\)\n", text), text
    return NODE.findall(text)


class Killed(unittest.TestCase):
    def start(self, keys):
        """The game recording to g.sgf in a fresh directory, `keys` on its input, which
        stays open."""
        d = tempfile.mkdtemp(prefix="gomoku-rec-")
        self.addCleanup(shutil.rmtree, d)
        env = dict(os.environ, LANG="C.UTF-8")
        p = subprocess.Popen([tmuxlib.BINARY, "--record", "g.sgf"], stdin=subprocess.PIPE,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, cwd=d, env=env)
        self.addCleanup(p.stdin.close)
        self.addCleanup(lambda: p.poll() is None and (p.kill(), p.wait()))
        p.stdin.write(b"y\n" + keys)
        p.stdin.flush()
        return p, os.path.join(d, "g.sgf")

    def test_killed_after_n_moves_the_file_holds_the_n_moves(self):
        for way in ("SIGKILL", "SIGINT", "SIGTERM", "SIGHUP", "end of input"):
            with self.subTest(way):
                p, path = self.start(EIGHT.encode())
                end = time.time() + 10
                while not (os.path.exists(path) and len(recorded(path)) == 8):
                    self.assertLess(time.time(), end, "the eighth move was never recorded")
                    time.sleep(0.02)
                if way == "end of input":
                    p.stdin.close()
                else:
                    p.send_signal(getattr(signal, way))
                code = p.wait(timeout=10)
                self.assertEqual(code, 1 if way == "end of input" else -getattr(signal, way))
                self.assertEqual(recorded(path), ["ii", "ih", "ji", "ig", "ki", "if", "li", "ie"])
                self.assertEqual(os.listdir(os.path.dirname(path)), ["g.sgf"])

    def test_killed_at_any_moment_the_file_is_whole(self):
        # Random steering for both players, a stone every few keys; a run to the end of
        # input gives the whole game, runs killed at moments spread over its length a part
        # from its start. (A kill in the middle of a write may leave the temporary file
        # beside the record; the record itself is whole.)
        rng = random.Random(5)
        steps = "wasdHPKM"
        keys = "".join("".join(rng.choice(steps) for _ in range(rng.randint(0, 8))) + " "
                       for _ in range(400))
        began = time.time()
        p, path = self.start(keys.encode())
        p.stdin.close()
        p.wait(timeout=60)
        took, game = time.time() - began, recorded(path)
        self.assertGreater(len(game), 30)
        cut = []
        for part in (0.2, 0.35, 0.5, 0.65, 0.8):
            p, path = self.start(keys.encode())
            time.sleep(took * part)
            p.kill()
            p.wait()
            moves = recorded(path) if os.path.exists(path) else []
            self.assertEqual(moves, game[:len(moves)])
            cut.append(len(moves))
        self.assertTrue(any(0 < n < len(game) for n in cut), cut)


class Replay(GameTest):
    def test_replay_steps_through_the_game(self):
        d = tempfile.mkdtemp(prefix="gomoku-e2e-")
        with open(os.path.join(d, "g.sgf"), "w") as f:
            f.write(ROW9)
        g = self.game(cwd=d, args=["--replay", "g.sgf"])
        self.addCleanup(shutil.rmtree, d)
        board = empty_board()
        legend = ["d →  下一手", "a ←  上一手", "w ↑  第一手之前", "s ↓  最后一手     q 退出"]
        for i, text in enumerate(legend):
            board[21 + i] = tmuxlib.overlay(board[21 + i], 3, text)
        result = "结果:玩家1获胜"
        steps = [([], "第0/9手", []),
                 (["Right"], "第1/9手 玩家1 O 9行9列", [(9, 9, "O")]),
                 (["d"], "第2/9手 玩家2 X 8行9列", [(9, 9, "O"), (8, 9, "X")]),
                 (["Left"], "第1/9手 玩家1 O 9行9列", [(9, 9, "O")]),
                 (["Down"], "第9/9手 玩家1 O 9行13列",
                  [(9, c, "O") for c in range(9, 14)] + [(r, 9, "X") for r in range(5, 9)]),
                 (["a", "w"], "第0/9手", [])]
        for keys, line, stones in steps:
            if keys:
                g.send(*keys)
            expect = list(board)
            for r, c, sign in stones:
                place(expect, r, c, sign)
            expect[27] = tmuxlib.overlay(expect[27], 0, line)
            expect[28] = tmuxlib.overlay(expect[28], 0, result)
            g.wait(lambda s: s[:30] == expect)
        g.send("q")
        self.assertEqual(g.status(), 0)


if __name__ == "__main__":
    tmuxlib.main()
