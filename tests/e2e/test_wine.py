#!/usr/bin/env python3
"""The Windows build under wine: keys from the console, frames through a pipe to tmux
(wine's console draws no escape sequences of its own), scripted input from a pipe.

Usage: test_wine.py GOMOKU_EXE EMULATOR [ARG]...   (EMULATOR: cmake/wine-run.sh PREFIX)"""
import os
import shutil
import subprocess
import sys
import tempfile

import tmuxlib
from tmuxlib import GameTest, empty_board, place

EXE = os.path.abspath(sys.argv.pop(1))
EMULATOR = [os.path.abspath(sys.argv.pop(1))]
while len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
    EMULATOR.append(sys.argv.pop(1))
# The low byte of STATUS_CONTROL_C_EXIT (0xC000013A), the status wine passes on.
CONTROL_C_EXIT = 0x3A


def wrapper(directory):
    """A script that runs the game under wine with its output piped through cat (which
    outlives Ctrl-C, so the last bytes reach the terminal) and ends with the game's status."""
    path = os.path.join(directory, "gomoku-wine")
    command = " ".join("'%s'" % a for a in EMULATOR + [EXE])
    with open(path, "w") as f:
        f.write("#!/bin/bash\n%s | (trap '' INT; exec cat)\nexit ${PIPESTATUS[0]}\n" % command)
    os.chmod(path, 0o755)
    return path


class Wine(GameTest):
    def setUp(self):
        directory = tempfile.mkdtemp(prefix="gomoku-wine-")
        self.addCleanup(shutil.rmtree, directory, ignore_errors=True)
        tmuxlib.BINARY = wrapper(directory)

    def test_each_player_puts_a_stone_down(self):
        g = self.start()
        g.send("d", "Space", "Right", "Space")
        board = empty_board()
        place(board, 9, 10, "O")
        place(board, 9, 11, "X")
        board[27] = tmuxlib.overlay(board[27], 0, "cur = 2现在轮到玩家1，请落子：")
        g.wait(lambda s: s[:30] == board, timeout=10)

    def test_ctrl_c_gives_the_console_back_and_ends_as_windows_programs_do(self):
        g = self.start()
        g.send("C-c")
        self.assertEqual(g.status(timeout=10), CONTROL_C_EXIT)
        self.assertEqual(g.cursor()[1], 30)  # the way out leaves the cursor under the board

    def test_scripted_game_writes_the_score_file_byte_for_byte(self):
        d = tempfile.mkdtemp(prefix="gomoku-wine-")
        self.addCleanup(shutil.rmtree, d, ignore_errors=True)
        # 0x1A is a key like any other (no end of input, as in a text-mode read).
        p = subprocess.run(EMULATOR + [EXE], input=b"y\n H d H d\x1a H d H d k3\n5\nq",
                           capture_output=True, cwd=d, timeout=60)
        self.assertEqual(p.returncode, 0, p.stderr)
        with open(os.path.join(d, "xsxx.txt"), "rb") as f:
            self.assertEqual(f.read(), b"3\n5\n")


if __name__ == "__main__":
    tmuxlib.main()
