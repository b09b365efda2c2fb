#!/usr/bin/env python3
"""Colour and marks are display attributes only: on for terminals, off for NO_COLOR,
TERM=dumb and output to a file, and the text of the screen is the same every time."""
import os
import pty
import re
import select
import signal
import subprocess
import tempfile
import time
import unittest

import tmuxlib

SGR = re.compile(rb"\x1b\[[0-9;]*m")
STONE_SGR = re.compile(rb"\x1b\[([0-9;]*)m([OX])")
KEYS = b"y\n H d H d H d H d "  # player 1 wins along row 9; the result stays on screen


def play(env, tofile=False):
    """Plays KEYS on a pseudo-terminal (output to a file when `tofile`) and returns what
    the program wrote once the final board is up."""
    won = "获胜".encode()
    master, slave = pty.openpty()
    out = tempfile.TemporaryFile()
    environment = {"PATH": os.environ.get("PATH", ""), "LANG": "C.UTF-8"}
    environment.update(env)
    p = subprocess.Popen([tmuxlib.BINARY], stdin=slave, stdout=out if tofile else slave,
                         stderr=subprocess.DEVNULL, env=environment, cwd=tempfile.gettempdir(),
                         start_new_session=True)
    os.close(slave)
    data = b""
    for b in KEYS:
        os.write(master, bytes([b]))
        time.sleep(0.01)
    end = time.time() + tmuxlib.WAIT
    while won not in data and time.time() < end:
        r, _, _ = select.select([master], [], [], 0.05)
        if r:
            data += os.read(master, 65536)
        elif tofile:
            out.seek(0)
            data = out.read()
    p.send_signal(signal.SIGTERM)
    p.wait(timeout=tmuxlib.WAIT)
    os.close(master)
    if tofile:
        out.seek(0)
        data = out.read()
    out.close()
    return data


def screen(data):
    t = tmuxlib.Terminal(80, 32)
    t.feed(data)
    return t.lines()


class Colour(unittest.TestCase):
    def test_colour_on_a_terminal_marks_stones(self):
        data = play({"TERM": "xterm-256color"})
        # The parameters of each SGR that comes right before a stone, with the stone.
        marked = {(frozenset(p.split(b";")), stone) for p, stone in STONE_SGR.findall(data)}
        self.assertTrue(any(b"31" in p and s == b"O" for p, s in marked), marked)  # player 1
        self.assertTrue(any(b"34" in p and s == b"X" for p, s in marked), marked)  # player 2
        self.assertTrue(any({b"31", b"7"} <= p and s == b"O" for p, s in marked), marked)  # win
        self.assertIn("玩家1获胜", "\n".join(screen(data)))

    def test_no_colour_where_it_is_refused_and_the_same_text(self):
        coloured = screen(play({"TERM": "xterm-256color"}))
        for name, env, tofile in [("NO_COLOR", {"TERM": "xterm", "NO_COLOR": "1"}, False),
                                  ("TERM=dumb", {"TERM": "dumb"}, False),
                                  ("output to a file", {"TERM": "xterm"}, True)]:
            with self.subTest(name):
                data = play(env, tofile)
                self.assertEqual(SGR.findall(data), [])
                self.assertEqual(screen(data)[:30], coloured[:30])

    def test_colour_and_cursor_are_given_back_when_input_is_a_pipe(self):
        # Standard input a pipe, standard output a terminal: the game ends when input
        # does, or by SIGTERM; either way colour is off and the cursor under the board.
        for ending in ("end of input", "SIGTERM"):
            with self.subTest(ending):
                run = tmuxlib.PtyRun(env={"TERM": "xterm-256color", "NO_COLOR": ""},
                                     stdin=b"y\ndd")
                self.addCleanup(run.close)
                run.read(until="请落子".encode())
                run.read()
                if ending == "SIGTERM":
                    run.proc.send_signal(signal.SIGTERM)
                run.proc.stdin.close()
                self.assertEqual(run.wait(), -signal.SIGTERM if ending == "SIGTERM" else 1)
                self.assertIn(SGR.findall(run.data)[-1], (b"\x1b[m", b"\x1b[0m"))
                t = tmuxlib.Terminal(80, 32)
                t.feed(run.data)
                self.assertEqual(t.y, 30)  # the line under the board's last

    def test_empty_no_color_keeps_colour(self):
        data = play({"TERM": "xterm", "NO_COLOR": ""})
        self.assertNotEqual(SGR.findall(data), [])


if __name__ == "__main__":
    tmuxlib.main()
