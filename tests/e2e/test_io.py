#!/usr/bin/env python3
"""Input that ends, output that goes away, interrupted and short system calls, split keys,
locales: the program keeps working or ends cleanly."""
import os
import pty
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

import tmuxlib
from tmuxlib import GameTest, empty_board

WIN = " H d H d H d H d "  # player 1 wins along row 9 (H steers player 2 up)


def run(keys, env=None, timeout=tmuxlib.WAIT, prefix=(), stdin=None):
    """Runs the game with `keys` on a pipe in a fresh directory.
    Returns (status, stdout bytes, stderr text, score file or None)."""
    d = tempfile.mkdtemp(prefix="gomoku-io-")
    try:
        environment = dict(os.environ, LANG="C.UTF-8")
        environment.update(env or {})
        p = subprocess.run([*prefix, tmuxlib.BINARY], input=keys, capture_output=True, cwd=d,
                           env=environment, timeout=timeout)
        path = os.path.join(d, "xsxx.txt")
        score = None
        if os.path.exists(path):
            with open(path) as f:
                score = f.read()
        return p.returncode, p.stdout, p.stderr.decode(errors="replace"), score
    finally:
        shutil.rmtree(d)


class EndOfInput(unittest.TestCase):
    def test_where_input_ends_decides_the_status(self):
        cases = [
            ("start menu", b"", 0, None),
            ("answer without a line end", b"n", 0, None),
            ("yes without a line end, then the turn", b"y", 1, None),
            ("first turn", b"y\n", 1, None),
            ("mid turn", b"y\n dd", 1, None),
            ("help pause", b"z\n", 1, None),
            ("result pause", b"y\n" + WIN.encode(), 1, None),
            # The score file is opened before the scores are asked for: created, left empty.
            ("first score", b"y\n" + WIN.encode() + b"k", 1, ""),
            ("second score", b"y\n" + WIN.encode() + b"k3\n", 1, ""),
            ("continue key", b"y\n" + WIN.encode() + b"k3\n5\n", 0, "3\n5\n"),
        ]
        for name, keys, status, score in cases:
            with self.subTest(name):
                code, _, err, file = run(keys)
                self.assertEqual(code, status)
                self.assertEqual(file, score)
                self.assertEqual(len(err.strip().splitlines()), 1 if status else 0, err)


class Scripts(unittest.TestCase):
    def test_scripted_games_play_through(self):
        # README's example with the board on a terminal too small for it (keys from a pipe
        # are never dropped), and two games with CR LF line ends (the LF is no key).
        win2 = " w M w M w M w M "  # player 2, moving first, wins along row 9
        cases = [("README's example in 80x24", 24, b"y\n H d H d H d H d k3\n5\nq", "3\n5\n"),
                 ("CR LF line ends", 32, ("y\r\n" + WIN + "k3\r\n5\r\ns" + win2 + "k1\r\n2\r\nq")
                  .encode(), "3\n5\n1\n2\n")]
        for name, rows, keys, score in cases:
            with self.subTest(name):
                run = tmuxlib.PtyRun(cols=80, rows=rows, stdin=keys)
                self.addCleanup(run.close)
                run.proc.stdin.close()
                self.assertEqual(run.wait(), 0)
                with open(os.path.join(run.dir, "xsxx.txt")) as f:
                    self.assertEqual(f.read(), score)

    def test_closed_standard_streams(self):
        # A closed input is an ended one; a closed output fails as output errors do.
        for name, redirect, status in [("input", "<&-", 0), ("input and output", "<&- >&-", 1),
                                       ("all three", "<&- >&- 2>&-", 1)]:
            with self.subTest(name):
                try:
                    p = subprocess.run(["sh", "-c", 'exec "$0" ' + redirect, tmuxlib.BINARY],
                                       capture_output=True, timeout=tmuxlib.WAIT,
                                       cwd=tempfile.gettempdir())
                except subprocess.TimeoutExpired:
                    self.fail("the program hung")
                self.assertEqual(p.returncode, status)
                if redirect == "<&-":
                    self.assertEqual(p.stdout, tmuxlib.PROMPT.encode() + b"\n")


class TerminalModes(unittest.TestCase):
    def test_mouse_and_paste_are_turned_off_and_back_on_only_if_they_were_on(self):
        # The game asks which were on (DECRQM), then device attributes, which every
        # terminal answers; a terminal that does not know DECRQM only answers the latter.
        for name, answer, back in [
                ("mouse was on", b"\x1b[?1000;1$y\x1b[?1006;1$y\x1b[?2004;2$y\x1b[?9;0$y"
                 b"\x1b[?62;22c", {b"1000", b"1006"}),
                ("DECRQM unknown", b"\x1b[?62;22c", set())]:
            with self.subTest(name):
                run = tmuxlib.PtyRun()
                self.addCleanup(run.close)
                run.read(until=b"\x1b[c")
                off = set(b";".join(re.findall(rb"\x1b\[\?([0-9;]+)l", run.data)).split(b";"))
                self.assertLessEqual({b"1000", b"1002", b"1003", b"1006", b"2004"}, off)
                run.type(answer)
                run.read(until=tmuxlib.PROMPT.encode())
                run.type(b"n\r")
                self.assertEqual(run.wait(), 0)
                after = run.data[run.data.index(tmuxlib.PROMPT.encode()):]
                self.assertEqual(set(re.findall(rb"\x1b\[\?([0-9]+)h", after)), back)


class Output(unittest.TestCase):
    def test_closed_pipe_ends_the_program(self):
        for ignore in (False, True):
            with self.subTest(sigpipe_ignored=ignore):
                def setup():
                    if ignore:
                        signal.signal(signal.SIGPIPE, signal.SIG_IGN)
                p = subprocess.Popen([tmuxlib.BINARY], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     preexec_fn=setup, env=dict(os.environ, LANG="C.UTF-8"))
                p.stdin.write(b"y\n")
                p.stdin.flush()
                p.stdout.read(100)
                p.stdout.close()
                try:
                    for _ in range(3):
                        p.stdin.write(b"d")
                        p.stdin.flush()
                        time.sleep(0.05)
                except BrokenPipeError:
                    pass  # it has already ended
                status = p.wait(timeout=tmuxlib.WAIT)
                self.assertEqual(status, 1 if ignore else -signal.SIGPIPE)

    def test_hung_up_terminal_ends_the_program(self):
        pid, master = pty.fork()
        if pid == 0:
            signal.signal(signal.SIGHUP, signal.SIG_IGN)
            os.execve(tmuxlib.BINARY, [tmuxlib.BINARY], dict(os.environ, LANG="C.UTF-8"))
        os.write(master, b"y\n")
        seen = b""
        while b"\xe8\xaf\xb7\xe8\x90\xbd\xe5\xad\x90" not in seen:  # the turn prompt
            r, _, _ = select.select([master], [], [], tmuxlib.WAIT)
            self.assertTrue(r, "no board")
            seen += os.read(master, 4096)
        os.close(master)
        start = time.time()
        while time.time() - start < tmuxlib.WAIT:
            done, status = os.waitpid(pid, os.WNOHANG)
            if done:
                break
            time.sleep(0.02)
        self.assertTrue(done, "the program kept running")
        self.assertEqual(os.waitstatus_to_exitcode(status), 1)
        self.assertLess(os.times().children_user, 2.0)


class SystemCalls(unittest.TestCase):
    KEYS = b"y\n" + WIN.encode() + b"k3\n5\nq"

    @classmethod
    def setUpClass(cls):
        if not shutil.which("strace"):
            raise unittest.SkipTest("strace is not installed")
        # A traced run tells which write is which, and how many reads the loader makes.
        log = tempfile.mktemp(prefix="gomoku-strace-")
        cls.plain = run(cls.KEYS, prefix=["strace", "-o", log, "-e", "trace=read,write,close"])
        if cls.plain[0] != 0:
            raise AssertionError("the plain run failed")
        with open(log) as f:
            calls = [line for line in f if line.startswith(("read(", "write(", "close("))]
        os.unlink(log)
        reads = [c for c in calls if c.startswith("read(")]
        writes = [c for c in calls if c.startswith("write(")]
        cls.loaderreads = next(i for i, c in enumerate(reads) if c.startswith("read(0,"))
        cls.framewrites = [i + 1 for i, c in enumerate(writes) if c.startswith("write(1,")]
        record = '"3\\n5\\n", 4)'
        cls.scorewrite = next(i + 1 for i, c in enumerate(writes) if record in c)
        # The first close after the record's write is the one that reports its flush.
        after = calls[next(i for i, c in enumerate(calls) if record in c):]
        closes = [c for c in calls if c.startswith("close(")]
        cls.scoreclose = len(closes) - len([c for c in after if c.startswith("close(")]) + 1

    def inject(self, rule):
        call, _, rest = rule.partition(":")
        if call == "read":  # when=N counts the game's own reads
            head, _, when = rest.rpartition("when=")
            n, plus, step = when.partition("+")
            rule = "read:%swhen=%d%s%s" % (head, int(n) + self.loaderreads, plus, step)
        status, out, _, score = run(self.KEYS, prefix=["strace", "-o", "/dev/null", "-e",
                                                       "inject=" + rule])
        return status, out, score

    def test_interrupted_and_would_block_calls_are_retried(self):
        for rule in ["read:error=EINTR:when=2", "read:error=EINTR:when=5+3",
                     "read:error=EAGAIN:when=3", "write:error=EINTR:when=2",
                     "write:error=EINTR:when=3+2", "write:error=EAGAIN:when=4"]:
            with self.subTest(rule):
                status, out, score = self.inject(rule)
                self.assertEqual(status, 0)
                self.assertEqual(out, self.plain[1])
                self.assertEqual(score, "3\n5\n")

    def test_short_write_goes_on_with_the_rest_of_the_frame(self):
        # strace answers 3 without writing anything: exactly those 3 bytes are missing.
        plain = self.plain[1]
        frames = self.framewrites
        for when in [frames[1], frames[2], frames[len(frames) // 2]]:
            with self.subTest(when=when):
                status, out, score = self.inject("write:retval=3:when=%d" % when)
                self.assertEqual(status, 0)
                k = next(i for i in range(len(out)) if out[i] != plain[i])
                self.assertEqual(out[:k] + plain[k:k + 3] + out[k:], plain)
                self.assertEqual(score, "3\n5\n")

    def test_failed_score_write_leaves_no_record(self):
        # The short write writes nothing; a failing fsync or close comes after the whole
        # record was written, which then has to be taken back.
        for rule in ["write:retval=3:when=%d" % self.scorewrite, "fsync:error=EIO",
                     "close:error=EIO:when=%d" % self.scoreclose]:
            with self.subTest(rule):
                status, out, score = self.inject(rule)
                self.assertEqual(status, 1)
                self.assertEqual(score, "")
                self.assertIn(b"Error", out)


class Keys(GameTest):
    def test_sequence_split_across_two_reads(self):
        g = self.start()
        g.send(" ")
        g.wait(lambda s: s[27].startswith("cur = 1"))
        n = g.readcount()
        g.sendhex(b"\x1b[")
        g.waitread(n + 2)  # read on its own; the rest comes within the sequence's 100 ms
        g.sendhex(b"B ")
        board = empty_board()
        tmuxlib.place(board, 9, 9, "O")
        tmuxlib.place(board, 10, 9, "X")
        g.wait(lambda s: s[:20] == board[:20])

    def test_lone_esc_does_not_swallow_the_next_key(self):
        g = self.start()
        g.sendhex(b"\x1b")
        g.send("d")
        g.sendhex(b"\x1bs")
        board = empty_board()
        tmuxlib.place(board, 10, 10, "O")
        g.wait(lambda s: s[:20] == board[:20])

    def test_several_keys_in_one_read(self):
        g = self.start()
        g.sendhex(b"dd\x1b[Bs")
        board = empty_board()
        tmuxlib.place(board, 10, 11, "O")
        g.wait(lambda s: s[:20] == board[:20])


class Locale(GameTest):
    def test_c_locale_still_shows_the_board(self):
        for var in ["LANG", "LC_ALL"]:
            with self.subTest(var=var):
                env = {"LANG": "C.UTF-8", var: "C"}
                g = self.start(env=env)
                expect = empty_board()
                expect[27] = "现在轮到玩家1，请落子：      +"
                self.assertEqual(g.screen()[:30], expect)

    def test_gbk_locale_gets_gbk_text_and_keeps_the_layout(self):
        loc = tempfile.mkdtemp(prefix="gomoku-loc-")
        self.addCleanup(shutil.rmtree, loc)
        made = subprocess.run(["localedef", "-i", "zh_CN", "-f", "GBK", os.path.join(loc, "zh_CN.GBK")],
                              capture_output=True)
        if made.returncode not in (0, 1) or not os.path.isdir(os.path.join(loc, "zh_CN.GBK")):
            self.skipTest("cannot build a GBK locale")
        env = {"LOCPATH": loc, "LANG": "zh_CN.GBK", "LC_ALL": "zh_CN.GBK"}
        status, out, _, _ = run(b"y\n", env=env)
        self.assertEqual(status, 1)
        self.assertIn("玩家一得分:0".encode("gbk"), out)
        self.assertNotIn("玩家一得分".encode("utf-8"), out)
        screen = tmuxlib.Terminal(80, 32, "gbk")
        screen.feed(out)
        expect = empty_board()
        expect[27] = "现在轮到玩家1，请落子：      +"
        self.assertEqual(screen.lines()[:30], expect)


if __name__ == "__main__":
    tmuxlib.main()
