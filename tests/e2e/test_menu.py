#!/usr/bin/env python3
"""The start menu and the first board screen, on a real terminal."""
import signal

import tmuxlib
from tmuxlib import PROMPT, GameTest, empty_board, modeflags


class StartMenu(GameTest):
    def test_declining_answers_end_at_once_drawing_nothing(self):
        for answer in ["n", "N", "q", ""]:
            with self.subTest(answer=answer):
                g = self.game()
                g.waitline(0, PROMPT)
                if answer:
                    g.type(answer)
                g.send("Enter")
                self.assertEqual(g.status(), 0)
                screen = g.screen()
                self.assertEqual(screen[0], PROMPT + answer)
                self.assertEqual([line for line in screen[1:] if line], [])

    def test_yes_shows_the_exact_board_screen(self):
        for answer in ["y", "Y"]:
            with self.subTest(answer=answer):
                g = self.start(answer)
                expect = empty_board()
                expect[27] = "现在轮到玩家1，请落子：      +"
                self.assertEqual(g.screen()[:30], expect)
                self.assertEqual(g.cursor(), (23, 27))

    def test_terminal_is_in_game_mode_while_playing(self):
        g = self.start()
        flags = modeflags(g.stty())
        self.assertFalse(flags["icanon"])
        self.assertFalse(flags["echo"])
        self.assertTrue(flags["isig"])
        self.assertFalse(flags["ixon"])  # Ctrl-S does not freeze the board

    def test_ctrl_c_restores_the_terminal_and_dies_of_sigint(self):
        g = self.start()
        g.send("C-c")
        self.assertEqual(g.status(), -2)
        flags = modeflags(g.stty())
        self.assertTrue(flags["icanon"])
        self.assertTrue(flags["echo"])
        self.assertTrue(flags["ixon"])

    def test_leaving_the_menu_ends_the_line(self):
        # However the menu is left, the shell's prompt starts on a line of its own, after
        # exactly one line break.
        prompt = PROMPT.encode()
        for name, keys, stdin, status in [("Ctrl-D", b"\x04", None, 0),
                                          ("Enter", b"\r", None, 0),
                                          ("Ctrl-\\", b"\x1c", None, -signal.SIGQUIT),
                                          ("empty input", b"", open("/dev/null", "rb"), 0)]:
            with self.subTest(name):
                run = tmuxlib.PtyRun(stdin=stdin)
                self.addCleanup(run.close)
                if stdin:
                    self.addCleanup(stdin.close)
                run.read(until=prompt)
                run.type(keys)
                self.assertEqual(run.wait(), status)
                self.assertTrue(run.data.endswith(prompt + b"\r\n"), run.data[-80:])

    def test_typed_answer_is_echoed_and_backspace_works(self):
        g = self.game()
        g.waitline(0, PROMPT)
        g.type("nq")
        g.waitline(0, PROMPT + "nq")
        g.send("BSpace", "BSpace")
        g.waitline(0, PROMPT)
        g.type("y")
        g.send("Enter")
        g.waitline(27, "现在轮到玩家1，请落子：      +")


if __name__ == "__main__":
    tmuxlib.main()
