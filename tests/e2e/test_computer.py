#!/usr/bin/env python3
"""The computer opponent on a real terminal: its stone steps from the centre one frame at a
time, keys typed while it thinks or moves are dropped, and the game goes on."""
import signal
import time

import tmuxlib
from tmuxlib import GameTest, modeflags

THINKING = "电脑正在思考. . ."
PROMPT1 = "cur = 2现在轮到玩家1，请落子："
CENTRE = (9, 9)


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
