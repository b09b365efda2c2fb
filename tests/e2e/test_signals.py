#!/usr/bin/env python3
"""Suspend, resume, crash and ending signals, resize: the terminal is never left broken."""
import fcntl
import os
import signal
import struct
import termios
import time

import tmuxlib
from tmuxlib import GameTest, empty_board, modeflags

PLAYING = "现在轮到玩家1，请落子：      +"


def cooked(flags):
    return flags["icanon"] and flags["echo"]


class Suspend(GameTest):
    def test_ctrl_z_and_fg_in_a_job_control_shell(self):
        g = self.game(command=["bash", "--norc", "--noediting"])
        g.type("PS1='$ '; " + tmuxlib.BINARY)
        g.send("Enter")
        g.wait(lambda s: any(line.endswith(tmuxlib.PROMPT) for line in s))
        g.type("y")
        g.send("Enter")
        g.waitline(27, PLAYING)
        g.send("d")
        g.wait(lambda s: s[9].endswith("*  *  O  *  *  *  *  *  *  *  *  *"))
        g.send("C-z")
        g.wait(lambda s: any("Stopped" in line for line in s))
        g.type("stty -a > stty.txt")
        g.send("Enter")
        g.wait(lambda s: "icanon" in (g.file("stty.txt") or ""))  # written, not just created
        self.assertTrue(cooked(modeflags(g.file("stty.txt"))))
        g.type("fg")
        g.send("Enter")
        board = empty_board()
        tmuxlib.place(board, 9, 10, "O")
        g.wait(lambda s: s[:30] == board)
        self.assertFalse(cooked(modeflags(g.stty())))
        g.send("s")
        tmuxlib.place(board, 9, 10, "*")
        tmuxlib.place(board, 10, 10, "O")
        g.wait(lambda s: s[:30] == board)

    def test_ctrl_z_and_fg_at_the_start_menu_ask_again(self):
        g = self.game(command=["bash", "--norc", "--noediting"])
        g.type("PS1='$ '; " + tmuxlib.BINARY)
        g.send("Enter")
        g.wait(lambda s: any(line.endswith(tmuxlib.PROMPT) for line in s))
        g.type("y")
        g.wait(lambda s: any(line.endswith(tmuxlib.PROMPT + "y") for line in s))
        g.send("C-z")
        g.wait(lambda s: any("Stopped" in line for line in s))
        g.type("fg")
        g.send("Enter")
        # The question and the answer typed so far, on the line the cursor is on.
        screen = g.wait(lambda s: s[g.cursor()[1]] == tmuxlib.PROMPT + "y")
        self.assertEqual(g.cursor()[0], tmuxlib.width(tmuxlib.PROMPT + "y"))
        self.assertIn("fg", screen[g.cursor()[1] - 2])
        g.send("Enter")
        g.waitline(27, PLAYING)

    def test_ctrl_z_restores_the_terminal_and_sigcont_takes_it_back(self):
        # The game runs as a foreground job of its own whose parent never touches the
        # terminal, so the mode seen from outside while it is stopped is the game's doing.
        g = self.start(job=True)
        pid = g.pid()
        g.send("C-z")
        tmuxlib.waitstopped(pid)
        flags = modeflags(g.stty())
        self.assertTrue(cooked(flags))
        with open(g.tty(), "w") as tty:  # scribble while it is stopped
            tty.write("\x1b[H\x1b[2Jgarbage")
        os.kill(pid, signal.SIGCONT)
        expect = empty_board()
        expect[27] = PLAYING
        g.wait(lambda s: s[:30] == expect)
        self.assertFalse(cooked(modeflags(g.stty())))
        g.send("s")
        g.wait(lambda s: s[10].startswith(" 10  *  *  *  *  *  *  *  *  O"))

    def test_sigstop_and_sigcont_from_outside_repaint(self):
        g = self.start()
        pid = g.pid()
        os.kill(pid, signal.SIGSTOP)
        tmuxlib.waitstopped(pid)
        with open(g.tty(), "w") as tty:  # scribble over the screen while it is stopped
            tty.write("\x1b[H\x1b[2Jgarbage")
        g.waitline(0, "garbage")
        os.kill(pid, signal.SIGCONT)
        expect = empty_board()
        expect[27] = PLAYING
        g.wait(lambda s: s[:30] == expect)
        self.assertFalse(cooked(modeflags(g.stty())))


class EndingSignals(GameTest):
    def test_each_signal_restores_the_terminal_then_kills(self):
        for name in ["SIGINT", "SIGTERM", "SIGHUP", "SIGQUIT", "SIGSEGV", "SIGABRT", "SIGBUS",
                     "SIGFPE"]:
            with self.subTest(signal=name):
                g = self.start()
                sig = getattr(signal, name)
                os.kill(g.pid(), sig)
                self.assertEqual(g.status(), -sig)
                flags = modeflags(g.stty())
                self.assertTrue(cooked(flags))
                self.assertTrue(flags["isig"])

    def test_every_deadly_signal_restores_the_terminal_then_kills(self):
        # Every signal whose default action ends the process, on a terminal of its own.
        names = ["SIGUSR1", "SIGUSR2", "SIGALRM", "SIGVTALRM", "SIGPROF", "SIGXCPU", "SIGXFSZ",
                 "SIGIO", "SIGPWR", "SIGSYS", "SIGILL", "SIGTRAP", "SIGSTKFLT", "SIGPIPE",
                 "SIGRTMIN", "SIGRTMAX"]
        for name in names:
            with self.subTest(signal=name):
                run = tmuxlib.PtyRun()
                self.addCleanup(run.close)
                run.read(until=tmuxlib.PROMPT.encode())
                self.assertNotEqual(run.mode(), run.original)
                sig = getattr(signal, name)
                run.proc.send_signal(sig)
                self.assertEqual(run.wait(), -sig)
                self.assertEqual(run.mode(), run.original)

    def test_stalled_output_still_dies_of_the_signal(self):
        # Nobody reads the terminal: the game's output stops, then SIGTERM comes.
        run = tmuxlib.PtyRun()
        self.addCleanup(run.close)
        run.read(until=tmuxlib.PROMPT.encode())
        run.type(b"y\n")
        run.read(until="请落子".encode())
        for i in range(200):  # every resize repaints the whole board
            size = struct.pack("HHHH", 32, 80 + i % 2, 0, 0)
            fcntl.ioctl(run.master, termios.TIOCSWINSZ, size)
            run.proc.send_signal(signal.SIGWINCH)
            time.sleep(0.002)
        time.sleep(0.3)
        run.proc.send_signal(signal.SIGTERM)
        self.assertEqual(run.proc.wait(timeout=tmuxlib.WAIT), -signal.SIGTERM)
        self.assertEqual(run.mode(), run.original)

    def test_ctrl_c_during_the_start_menu(self):
        g = self.game()
        g.waitline(0, tmuxlib.PROMPT)
        g.send("C-c")
        self.assertEqual(g.status(), -signal.SIGINT)
        self.assertTrue(cooked(modeflags(g.stty())))

    def test_signals_ignored_at_start_stay_ignored(self):
        g = self.start(ignore=["SIGINT", "SIGTERM"])
        g.send("C-c")
        os.kill(g.pid(), signal.SIGTERM)
        g.send("d")
        g.wait(lambda s: s[9].endswith("*  *  O  *  *  *  *  *  *  *  *  *"))
        self.assertTrue(g.running())
        os.kill(g.pid(), signal.SIGHUP)
        self.assertEqual(g.status(), -signal.SIGHUP)


class Resize(GameTest):
    def test_small_terminal_shows_a_notice_and_drops_keys(self):
        g = self.start()
        g.tmux("resize-window", "-t", "0", "-x", "50", "-y", "20")
        g.waitline(0, "Terminal too small: need 60x30, have 50x20.")
        n = g.readcount()
        g.send("d", "d", "s")
        g.waitread(n + 3)  # read and dropped while the terminal is too small
        g.tmux("resize-window", "-t", "0", "-x", "80", "-y", "32")
        expect = empty_board()
        expect[27] = PLAYING
        g.wait(lambda s: s[:30] == expect)
        g.send("d")
        tmuxlib.place(expect, 9, 10, "O")
        g.wait(lambda s: s[9] == expect[9])

    def test_resize_repaints_at_once(self):
        g = self.start()
        g.tmux("resize-window", "-t", "0", "-x", "70", "-y", "30")
        time.sleep(0.2)
        expect = empty_board()
        expect[27] = PLAYING
        g.wait(lambda s: s[:30] == expect)
        g.tmux("resize-window", "-t", "0", "-x", "59", "-y", "30")
        g.waitline(0, "Terminal too small: need 60x30, have 59x30.")
        g.send("C-c")
        self.assertEqual(g.status(), -signal.SIGINT)
        self.assertTrue(cooked(modeflags(g.stty())))


if __name__ == "__main__":
    tmuxlib.main()
