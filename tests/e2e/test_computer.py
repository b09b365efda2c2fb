#!/usr/bin/env python3
"""The computer opponent on a real terminal: its stone steps from the centre one frame at a
time, keys typed while it thinks or moves are dropped, and the game goes on; the person
takes back, asks for a hint and steers with either key set."""
import re
import signal
import time

import tmuxlib
from tmuxlib import GameTest, modeflags

THINKING = "电脑正在思考. . ."
PROMPT1 = "cur = 2现在轮到玩家1，请落子："
CENTRE = (9, 9)
SIDE1 = "你执O，u 悔棋，h 提示        +"


def stones(screen, sign):
    """The points where the board on `screen` shows `sign`."""
    return {(r, c) for r in range(1, 20) for c in range(1, 20) if screen[r][3 * c + 2] == sign}


def steps(occupied, point):
    """The points one step of the stone cursor leads to from `point`: it hops over up to
    four stones and never lands on one or off the board."""
    out = set()
    for dr, dc in ((0, 1), (0, -1), (1, 0), (-1, 0)):
        k = 1
        while k < 5 and (point[0] + k * dr, point[1] + k * dc) in occupied:
            k += 1
        r, c = point[0] + k * dr, point[1] + k * dc
        if 1 <= r <= 19 and 1 <= c <= 19 and (r, c) not in occupied:
            out.add((r, c))
    return out


class Computer(GameTest):
    def computer_turn(self, g, o, x):
        """Watches the computer's turn (X) after the person's Space, with O's stones `o` and
        X's `x`, typing keys while it thinks and steps; returns where its stone landed."""
        g.wait(lambda s: s[28].startswith(THINKING))
        g.type("sdsd ")  # dropped: the person's stone must not move or be put down
        seen, end = [], time.time() + 10
        while time.time() < end:
            screen = g.screen()
            if screen[27] == PROMPT1:
                break
            cursor = stones(screen, "X") - x  # none, or two in a frame half drawn
            if len(cursor) == 1 and not (seen and seen[-1] in cursor):
                seen += cursor
                if len(seen) == 1:
                    g.type("asas ")  # dropped as well, while the stone steps
        screen = g.settle(quiet=0.4)
        self.assertEqual((screen[27], stones(screen, "O")), (PROMPT1, o))
        self.assertGreaterEqual(len(seen), 3, "steps seen: %s" % seen)
        self.assertEqual(stones(screen, "X") - x, {seen[-1]})
        at = CENTRE  # each step seen is one cursor step on from the one before
        for point in seen:
            self.assertIn(point, steps((o | x) - {CENTRE}, at), seen)
            at = point
        return at

    def test_computer_steps_its_stone_and_the_game_goes_on(self):
        g = self.start(args=["--computer", "2", "--time", "200"])
        g.type("wwwwwaaaaa ")  # the person's stone to row 4, column 4
        x = {self.computer_turn(g, {(4, 4)}, set())}
        g.type(" ")  # the person takes the centre; the computer answers
        self.computer_turn(g, {(4, 4), CENTRE}, x)

    def test_terminal_lives_while_the_computer_thinks(self):
        g = self.game(args=["-c", "1", "--time", "3000"])
        g.waitline(0, tmuxlib.PROMPT)
        g.type("y")
        g.send("Enter")
        g.wait(lambda s: s[27].startswith("cur = 1现在轮到玩家2"))  # its opening is at once
        g.type("H ")
        g.wait(lambda s: s[28].startswith(THINKING))
        started = time.time()
        g.tmux("resize-window", "-t", "0", "-x", "59", "-y", "30")
        g.waitline(0, "Terminal too small: need 60x30, have 59x30.", timeout=1.0)
        g.tmux("resize-window", "-t", "0", "-x", "80", "-y", "32")
        g.wait(lambda s: s[28].startswith(THINKING) and len(stones(s, "O")) == 1, timeout=1.0)
        self.assertLess(time.time() - started, 2.5)  # all while it thinks
        g.send("C-c")
        self.assertEqual(g.status(), -signal.SIGINT)
        flags = modeflags(g.stty())
        self.assertTrue(flags["icanon"] and flags["echo"])

    def test_take_back_hint_and_either_key_set(self):
        g = self.start(args=["--computer", "2", "--time", "200"])
        g.waitline(28, SIDE1)

        def reply(o, xs):
            """Waits for the computer's reply to O's stones `o`; checks that the line under
            the board says where it went; returns X's stones."""
            screen = g.wait(lambda s: s[27] == PROMPT1 and s[28] == SIDE1 and
                            len(stones(s, "X")) == len(xs) + 1)
            said = re.match(r"电脑落子：第(\d+)行第(\d+)列", screen[29])
            self.assertTrue(said, screen[29])
            self.assertEqual(stones(screen, "X") - xs, {(int(said[1]), int(said[2]))})
            self.assertEqual(stones(screen, "O"), o)
            return stones(screen, "X")

        g.type(" ")
        x1 = reply({CENTRE}, set())
        g.type("h")  # the centre is taken: the hint steers the stone away, not down
        g.wait(lambda s: s[28].startswith(THINKING))
        g.wait(lambda s: s[28].startswith("提示"))
        screen = g.settle(quiet=0.5)
        (hinted,) = stones(screen, "O")  # the stone lifted the centre stone as it left it
        self.assertNotEqual(hinted, CENTRE)
        self.assertEqual(screen[28].split()[0], "提示：第%d行第%d列" % hinted)
        self.assertEqual(stones(screen, "X"), x1)
        g.type(" ")
        reply({CENTRE, hinted}, x1)
        g.type("u")  # back to the board after the first reply
        screen = g.wait(lambda s: stones(s, "X") == x1)
        self.assertEqual(stones(screen, "O"), {CENTRE})
        self.assertEqual(screen[27:29], ["现在轮到玩家1，请落子：      +", SIDE1])
        g.type("u")  # back to the empty board
        board = tmuxlib.empty_board()
        screen = g.wait(lambda s: s[:27] == board[:27])
        self.assertEqual(screen[28:30], [SIDE1, board[29]])
        g.send("Up")  # O steers with the arrow keys as well
        g.wait(lambda s: stones(s, "O") == {(8, 9)})

    def test_no_memory_to_think_ends_the_game_with_a_line_and_status_1(self):
        binary = tmuxlib.BINARY
        self.addCleanup(setattr, tmuxlib, "BINARY", binary)
        tmuxlib.BINARY = "/bin/sh"  # the game with 20 MB of address space: no room to think
        g = self.game(args=["-c", 'ulimit -v 20000 && exec "$0" -c 1', binary])
        g.waitline(0, tmuxlib.PROMPT)
        g.type("y")
        g.send("Enter")
        self.assertEqual(g.status(), 1)
        said = [line for line in g.screen() if line.startswith("gomoku: ")]
        self.assertEqual(len(said), 1, said)
        self.assertTrue(said[0].startswith("gomoku: the computer cannot think: "), said)
        flags = modeflags(g.stty())
        self.assertTrue(flags["icanon"] and flags["echo"])
        self.assertIsNone(g.file())


if __name__ == "__main__":
    tmuxlib.main()
