#!/usr/bin/env python3
"""Score entry, the score file, the continue key and the help screen, on a real terminal."""
import os
import tempfile
import time

import tmuxlib
from tmuxlib import PAUSE, PROMPT, GameTest, empty_board

UP = ["Up", "Space"]
# Player 1 (moving first) wins along row 9 while player 2 builds a column above it.
P1_FIRST_WINS = [[" "], UP, ["d", " "], UP, ["d", " "], UP, ["d", " "], UP, ["d", " "]]
# Player 2 (moving first) wins along row 9 while player 1 builds a column above it.
P2_FIRST_WINS = [[" "], ["w", " "], ["Right", " "], ["w", " "], ["Right", " "], ["w", " "],
                 ["Right", " "], ["w", " "], ["Right", " "]]


class Scores(GameTest):
    def win(self, g, turns, winner):
        for keys in turns:
            g.send(*keys)
        g.wait(lambda s: s[27].startswith("cur = %d玩家%d获胜" % (winner, winner))
               and s[28].startswith(PAUSE))

    def enter_scores(self, g, first, second):
        g.waitline(0, "玩家一得分:")
        g.type(first)
        g.send("Enter")
        g.waitline(2, "玩家二得分:")
        g.type(second)
        g.send("Enter")
        g.wait(lambda s: all(line == "" for line in s))

    def test_result_stays_until_a_key(self):
        g = self.start()
        self.win(g, P1_FIRST_WINS, 1)
        time.sleep(0.5)
        screen = g.screen()
        self.assertTrue(screen[27].startswith("cur = 1玩家1获胜"))
        self.assertEqual(screen[9], "  9  *  *  *  *  *  *  *  *  O  O  O  O  O  *  *  *  *  *  *")
        g.send("x")
        g.waitline(0, "玩家一得分:")

    def test_two_games_in_a_row(self):
        g = self.start()
        self.win(g, P1_FIRST_WINS, 1)
        g.send("k")
        self.enter_scores(g, "12", "-3")
        self.assertEqual(g.file(), "12\n-3\n")
        g.send("s")
        g.waitline(0, "现在轮到玩家2，请落子：")
        g.send(" ")
        board = empty_board(12, -3)
        tmuxlib.place(board, 9, 9, "X")
        board[27] = "cur = 2现在轮到玩家1，请落子："
        g.wait(lambda s: s[:30] == board)
        self.win(g, P2_FIRST_WINS[1:], 2)
        g.send("k")
        self.enter_scores(g, "0", "7 8")
        self.assertEqual(g.file(), "12\n-3\n0\n7\n")
        g.send("q")
        self.assertEqual(g.status(), 0)

    def test_bad_score_is_asked_again(self):
        g = self.start()
        self.win(g, P1_FIRST_WINS, 1)
        g.send("k")
        g.waitline(0, "玩家一得分:")
        g.type("12abc")
        g.send("Enter")
        g.waitline(2, "请输入整数")
        g.type("5")
        g.send("Enter")
        g.waitline(4, "玩家二得分:")
        g.type("6")
        g.send("Enter", "S")
        self.assertEqual(g.status(), 0)
        self.assertEqual(g.file(), "5\n6\n")

    def test_score_entry_on_the_smallest_terminal(self):
        # On 60x30: after many refused lines the line being typed is still on the screen; a
        # long line wraps at the terminal's edge and Backspace erases back across the wrap;
        # a long paste is drawn once, not once per byte.
        g = self.start(cols=60, rows=30)
        self.win(g, P1_FIRST_WINS, 1)
        g.send("k")
        g.waitline(0, "玩家一得分:")
        for _ in range(16):
            g.type("x")
            g.send("Enter")
        g.wait(lambda s: s[28] == "请输入整数" and g.cursor() == (0, 29))
        g.type("1" * 70)
        g.wait(lambda s: s[28:] == ["1" * 60, "1" * 10] and g.cursor() == (10, 29))
        g.send(*["BSpace"] * 12)
        g.wait(lambda s: s[29] == "1" * 58 and g.cursor() == (58, 29))
        with open("/proc/%d/io" % g.pid()) as f:
            writes = int(f.read().split("syscw:")[1].split()[0])
        paste = tempfile.NamedTemporaryFile("w", suffix=".txt")
        self.addCleanup(paste.close)
        paste.write("2" * 100000)
        paste.flush()
        g.tmux("load-buffer", paste.name)
        g.tmux("paste-buffer", "-t", "0")
        g.wait(lambda s: s[29] == "2" * 38 and g.cursor() == (38, 29))
        with open("/proc/%d/io" % g.pid()) as f:
            writes = int(f.read().split("syscw:")[1].split()[0]) - writes
        self.assertLess(writes, 1000)

    def test_help_then_board(self):
        g = self.game()
        g.waitline(0, PROMPT)
        g.type("Z")
        g.send("Enter")
        screen = g.waitline(15, PAUSE)
        self.assertEqual(screen[4], "  +              1  w  a  s  d              +")
        self.assertEqual(screen[5], "  +              2  ↑  ←  ↓  →              +")
        self.assertEqual(screen[14], "  +" * 15)
        g.send("x")
        g.wait(lambda s: s[:27] == empty_board()[:27])

    def test_unwritable_score_file_is_an_error(self):
        g = self.game()
        os.mkdir(os.path.join(g.dir, "xsxx.txt"))
        g.waitline(0, PROMPT)
        g.type("y")
        g.send("Enter")
        self.win(g, P1_FIRST_WINS, 1)
        g.send("k")
        self.assertEqual(g.status(), 1)
        self.assertEqual(g.screen()[0], "Error")


if __name__ == "__main__":
    tmuxlib.main()
