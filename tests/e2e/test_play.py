#!/usr/bin/env python3
"""Whole games on a real terminal: the board after every placement, the status line, the win."""
import tmuxlib
from tmuxlib import PAUSE, GameTest, empty_board, place

P1, P2 = "现在轮到玩家1，请落子：", "现在轮到玩家2，请落子："


class Games(GameTest):
    def play(self, turns, first):
        """Plays (keys, row, column) turns, checking the screen after each placement.
        Returns the game and the expected board after the last stone."""
        g = self.start()
        board = empty_board()
        player = first
        for i, (keys, r, c) in enumerate(turns):
            g.send(*keys)
            place(board, r, c, "O" if player == 1 else "X")
            expect = list(board)
            status = "cur = %d" % player
            last = i == len(turns) - 1
            message = "玩家%d获胜" % player if last else (P2 if player == 1 else P1)
            expect[27] = tmuxlib.overlay(expect[27], 0, status + message)
            if last:
                expect[28] = tmuxlib.overlay(expect[28], 0, PAUSE)
            g.wait(lambda s: s[:30] == expect)
            player = 3 - player
        return g

    def test_player_one_wins_along_a_row(self):
        up = ["Up", "Space"]
        turns = [([" "], 9, 9), (up, 8, 9), (["d", " "], 9, 10), (up, 7, 9), (["d", " "], 9, 11),
                 (up, 6, 9), (["d", " "], 9, 12), (up, 5, 9), (["d", " "], 9, 13)]
        g = self.play(turns, 1)
        self.assertTrue(g.running())

    def test_player_two_wins_on_a_diagonal(self):
        turns = [
            ([" "], 9, 9), (["Up", "Left", "Space"], 8, 8),
            (["s", " "], 10, 9), (["Up", "Left", "Up", "Space"], 7, 7),
            (["s", " "], 11, 9), (["Up", "Left", "Up", "Left", "Space"], 6, 6),
            (["d", " "], 9, 10), (["Up", "Left", "Up", "Up", "Left", "Left", "Space"], 5, 5),
            (["d", " "], 9, 11),
            (["Up", "Left", "Up", "Up", "Up", "Left", "Left", "Left", "Space"], 4, 4),
        ]
        self.play(turns, 1)

    def test_cursor_shows_as_a_stone_and_the_prompt_goes_on_redraw(self):
        g = self.start()
        g.send("s")
        expect = empty_board()
        place(expect, 10, 9, "O")
        g.wait(lambda s: s[:30] == expect)

    def test_arrow_keys_in_application_mode_steer_player_two(self):
        g = self.start()
        g.send(" ")
        g.wait(lambda s: s[27].startswith("cur = 1"))
        g.sendhex(b"\x1bOB\x1bOC ")  # SS3 down, SS3 right, Space
        board = empty_board()
        place(board, 9, 9, "O")
        place(board, 10, 10, "X")
        board[27] = "cur = 2" + P1
        g.wait(lambda s: s[:30] == board)


if __name__ == "__main__":
    tmuxlib.main()
