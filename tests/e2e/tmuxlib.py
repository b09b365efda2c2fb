"""Drives the real program inside tmux: keys in with send-keys, screens out with capture-pane."""
import fcntl
import itertools
import os
import pty
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
BINARY = os.path.abspath(os.environ.get("GOMOKU_BIN", os.path.join(HERE, "../../build/gomoku")))
_count = itertools.count()

# How long a wait for the program may last before the test fails. Generous, for a machine
# busy with the other half of `ctest -j2` or a program started under an emulator; a wait
# that is met returns at once, so only a failing test takes this long.
WAIT = 30.0

PROMPT = "是否进入游戏(Y/N)或者帮助（Z）"
PAUSE = "请按任意键继续. . ."


def empty_board(score1=0, score2=0):
    """The 30 lines of the board screen, trailing blanks removed."""
    lines = ["".join("%3d" % c for c in range(20))]
    lines += ["%3d" % r + "  *" * 19 for r in range(1, 20)]
    lines += [" +" * 15] + [" +" + " " * 27 + "+"] * 8 + [" +" * 15]
    lines[25] = overlay(lines[25], 10, "玩家一得分:%d" % score1)
    lines[26] = overlay(lines[26], 0, "   玩家二得分:%d" % score2)
    return lines


def width(text):
    """Columns that `text` takes on the terminal."""
    return sum(2 if ord(ch) >= 0x1100 and not 0x2190 <= ord(ch) <= 0x21FF else 1 for ch in text)


def overlay(line, col, text):
    """`line` with `text` written over it from column `col` (line is plain ASCII)."""
    line = line.ljust(col)
    return (line[:col] + text + line[col + width(text):]).rstrip()


def place(board, r, c, sign):
    """Puts a stone sign at row r, column c of an expected board."""
    row = board[r]
    board[r] = row[: 3 * c + 2] + sign + row[3 * c + 3:]


class Game:
    """The program running in a tmux pane of its own, in a temporary directory."""

    def __init__(self, cols=80, rows=32, env=None, ignore=(), cwd=None, command=None, job=False,
                 args=()):
        self.sock = "gomoku-e2e-%d-%d" % (os.getpid(), next(_count))
        self.dir = cwd or tempfile.mkdtemp(prefix="gomoku-e2e-")
        self.statusfile = os.path.join(tempfile.mkdtemp(prefix="gomoku-st-"), "status")
        environment = {"LANG": "C.UTF-8", "TERM": "tmux-256color", "NO_COLOR": "1"}
        environment.update(env or {})
        runner = [sys.executable, os.path.join(HERE, "runner.py"), self.statusfile]
        if job:
            runner.append("--job")
        for sig in ignore:
            runner += ["--ignore", sig]
        cmd = command or runner + [BINARY, *args]
        envargs = []
        for k, v in environment.items():
            envargs += ["-e", "%s=%s" % (k, v)]
        self.tmux("-f", "/dev/null", "new-session", "-d", "-x", str(cols), "-y", str(rows),
                  "-c", self.dir, *envargs, *cmd)
        self.tmux("set-option", "-g", "remain-on-exit", "on")

    def tmux(self, *args):
        """Runs a tmux command on this game's server; returns its output."""
        out = subprocess.run(["tmux", "-u", "-L", self.sock, *args], check=True,
                             capture_output=True, text=True)
        return out.stdout

    def send(self, *keys):
        """Types tmux key names (Enter, Up, C-c) or words."""
        self.tmux("send-keys", "-t", "0", *keys)

    def type(self, text):
        """Types `text` literally."""
        self.tmux("send-keys", "-t", "0", "-l", "--", text)

    def sendhex(self, data):
        """Sends raw bytes to the program."""
        self.tmux("send-keys", "-t", "0", "-H", *["%02x" % b for b in data])

    def screen(self):
        """The pane's lines, trailing blanks removed."""
        text = self.tmux("capture-pane", "-p", "-t", "0")
        return [line.rstrip() for line in text.split("\n")][:-1]

    def cursor(self):
        """The pane's cursor as (x, y)."""
        x, y = self.tmux("display", "-p", "-t", "0", "#{cursor_x} #{cursor_y}").split()
        return int(x), int(y)

    def wait(self, check, timeout=WAIT):
        """Waits until check(screen) is true; returns the screen, or fails with it."""
        end = time.time() + timeout
        while True:
            screen = self.screen()
            if check(screen):
                return screen
            if time.time() > end:
                raise AssertionError("screen never matched:\n" + "\n".join(screen))
            time.sleep(0.02)

    def waitline(self, y, text, timeout=WAIT):
        """Waits until line y of the screen is `text`."""
        return self.wait(lambda s: len(s) > y and s[y] == text, timeout)

    def settle(self, quiet=0.15, timeout=WAIT):
        """Waits until the screen stops changing; returns it."""
        last, since, end = None, time.time(), time.time() + timeout
        while time.time() < end:
            screen = self.screen()
            if screen != last:
                last, since = screen, time.time()
            elif time.time() - since >= quiet:
                return screen
            time.sleep(0.02)
        return last

    def status(self, timeout=WAIT):
        """The program's exit code (negative: killed by that signal), waiting for it."""
        end = time.time() + timeout
        while not os.path.exists(self.statusfile):
            if time.time() > end:
                raise AssertionError("the program did not end:\n" + "\n".join(self.screen()))
            time.sleep(0.02)
        with open(self.statusfile) as f:
            return int(f.read())

    def readcount(self):
        """Bytes the program has read so far, from all its descriptors."""
        with open("/proc/%d/io" % self.pid()) as f:
            return int(f.read().split("rchar:")[1].split()[0])

    def waitread(self, count, timeout=WAIT):
        """Waits until the program has read `count` bytes in all and nothing typed waits
        unread on its terminal."""
        fd = os.open(self.tty(), os.O_RDONLY | os.O_NOCTTY | os.O_NONBLOCK)
        try:
            end = time.time() + timeout
            while True:
                waiting = struct.unpack("i", fcntl.ioctl(fd, termios.FIONREAD, b"\0" * 4))[0]
                if self.readcount() >= count and waiting == 0:
                    return
                if time.time() > end:
                    raise AssertionError("the program did not read its input")
                time.sleep(0.005)
        finally:
            os.close(fd)

    def running(self):
        return not os.path.exists(self.statusfile)

    def tty(self):
        return self.tmux("display", "-p", "-t", "0", "#{pane_tty}").strip()

    def stty(self):
        """The terminal mode of the pane, as stty -a prints it."""
        return subprocess.run(["stty", "-F", self.tty(), "-a"], check=True, capture_output=True,
                              text=True).stdout

    def pid(self):
        """The process id of the game (the runner's child)."""
        runner = int(self.tmux("display", "-p", "-t", "0", "#{pane_pid}").strip())
        out = subprocess.run(["pgrep", "-P", str(runner)], capture_output=True, text=True).stdout
        return int(out.split()[0])

    def file(self, name="xsxx.txt"):
        path = os.path.join(self.dir, name)
        if not os.path.exists(path):
            return None
        with open(path) as f:
            return f.read()

    def close(self):
        subprocess.run(["tmux", "-L", self.sock, "kill-server"], capture_output=True)
        shutil.rmtree(os.path.dirname(self.statusfile), ignore_errors=True)


def waitstopped(pid, timeout=WAIT):
    """Waits until process `pid` has stopped (by SIGSTOP, SIGTSTP)."""
    end = time.time() + timeout
    while True:
        with open("/proc/%d/stat" % pid) as f:
            if f.read().rsplit(")", 1)[1].split()[0] == "T":
                return
        if time.time() > end:
            raise AssertionError("process %d did not stop" % pid)
        time.sleep(0.01)


def modeflags(stty):
    """The set of local-mode flags that stty -a shows, as {'icanon': True, ...}."""
    flags = {}
    for word in stty.split():
        name = word.lstrip("-")
        flags[name] = not word.startswith("-")
    return flags


class GameTest(unittest.TestCase):
    """A test case that starts games and always closes them."""

    def game(self, **kw):
        g = Game(**kw)
        self.addCleanup(g.close)
        return g

    def start(self, answer="y", **kw):
        """A game past the start menu, showing the empty board."""
        g = self.game(**kw)
        g.waitline(0, PROMPT)
        g.type(answer)
        g.send("Enter")
        g.waitline(27, "现在轮到玩家1，请落子：      +")
        return g


class PtyRun:
    """The program with standard output on a pseudo-terminal of its own (no emulator), so
    that what it writes is seen byte for byte. Input is the same terminal (its
    controlling terminal) unless `stdin` is given: bytes for a pipe, or a file object."""

    def __init__(self, cols=80, rows=32, env=None, stdin=None, cwd=None):
        self.master, self.slave = pty.openpty()
        fcntl.ioctl(self.master, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))
        self.original = termios.tcgetattr(self.slave)
        environment = {"PATH": os.environ.get("PATH", ""), "LANG": "C.UTF-8", "TERM": "xterm",
                       "NO_COLOR": "1"}
        environment.update(env or {})
        piped = isinstance(stdin, bytes)

        def setup():  # the terminal becomes the program's controlling terminal
            os.setsid()
            fcntl.ioctl(1, termios.TIOCSCTTY, 0)

        self.dir = cwd or tempfile.mkdtemp(prefix="gomoku-pty-")
        self.proc = subprocess.Popen([BINARY], stdin=subprocess.PIPE if piped else (stdin or self.slave),
                                     stdout=self.slave, stderr=subprocess.DEVNULL, env=environment,
                                     cwd=self.dir, preexec_fn=setup)
        if piped:
            self.proc.stdin.write(stdin)
            self.proc.stdin.flush()
        self.data = b""

    def read(self, until=None, quiet=0.3, timeout=WAIT):
        """Reads output until `until` has been seen (or, without it, until `quiet` seconds
        pass without any); returns all output so far."""
        end = time.time() + timeout
        while time.time() < end and not (until and until in self.data):
            r, _, _ = select.select([self.master], [], [], quiet)
            if not r:
                if until is None:
                    break
                continue
            try:
                self.data += os.read(self.master, 65536)
            except OSError:
                break
        return self.data

    def type(self, data):
        os.write(self.master, data)

    def wait(self, timeout=WAIT):
        """The exit code (negative: the signal), reading output meanwhile; None if it runs on."""
        end = time.time() + timeout
        while time.time() < end:
            code = self.proc.poll()
            if code is not None:
                self.read(quiet=0.05)
                return code
            self.read(quiet=0.05, timeout=0.05)
        return None

    def mode(self):
        """The terminal's mode now, as termios.tcgetattr gives it."""
        return termios.tcgetattr(self.slave)

    def close(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()
        if self.proc.stdin:
            self.proc.stdin.close()
        os.close(self.master)
        os.close(self.slave)
        shutil.rmtree(self.dir, ignore_errors=True)


def main():
    if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
        os.environ["GOMOKU_BIN"] = sys.argv.pop(1)
        global BINARY
        BINARY = os.path.abspath(os.environ["GOMOKU_BIN"])
    unittest.main()


class Terminal:
    """Output captured without tmux (from a pseudo-terminal, a pipe or a file, in any
    encoding) as a real terminal shows it: tmux replays the bytes in a pane of its own.
    feed() adds bytes; lines(), x and y tell what the terminal shows and where its cursor
    is. (The unit tests have their own small emulator, tests/support/vt.hpp, as they run
    in-process and under wine, where no tmux is at hand.)"""

    DONE = "gomoku-replayed"  # the pane's title once every byte before it is shown

    def __init__(self, cols, rows, encoding="utf-8"):
        self.cols, self.rows, self.encoding = cols, rows, encoding
        self.data = b""
        self._shown = None

    def feed(self, data):
        self.data += data
        self._shown = None

    def lines(self):
        return list(self._show()[0])

    @property
    def x(self):
        return self._show()[1]

    @property
    def y(self):
        return self._show()[2]

    def _show(self):
        """(lines, x, y) once tmux has shown every byte fed so far."""
        if self._shown is None:
            d = tempfile.mkdtemp(prefix="gomoku-vt-")
            sock = "gomoku-vt-%d-%d" % (os.getpid(), next(_count))
            tmux = ["tmux", "-u", "-L", sock]
            try:
                path = os.path.join(d, "output")
                # The terminal's answers to queries in the output are not echoed; a title
                # change comes last, as tmux handles the bytes in order.
                with open(path, "wb") as f:
                    f.write(self.data.decode(self.encoding, errors="replace").encode())
                    f.write(("\x1b]2;%s\x1b\\" % self.DONE).encode())
                subprocess.run(tmux + ["-f", "/dev/null", "new-session", "-d", "-x", str(self.cols),
                                       "-y", str(self.rows), "-e", "LANG=C.UTF-8", "sh", "-c",
                                       'stty -echo; cat "$0"; exec sleep 3600', path], check=True)
                end = time.time() + WAIT
                while self._tmux(tmux, "#{pane_title}") != self.DONE:
                    if time.time() > end:
                        raise AssertionError("tmux never showed the output")
                    time.sleep(0.02)
                text = subprocess.run(tmux + ["capture-pane", "-p", "-t", "0"], check=True,
                                      capture_output=True, text=True).stdout
                x, y = self._tmux(tmux, "#{cursor_x} #{cursor_y}").split()
                lines = [line.rstrip() for line in text.split("\n")][:self.rows]
                self._shown = (lines, int(x), int(y))
            finally:
                subprocess.run(tmux + ["kill-server"], capture_output=True)
                shutil.rmtree(d, ignore_errors=True)
        return self._shown

    @staticmethod
    def _tmux(tmux, fmt):
        return subprocess.run(tmux + ["display", "-p", "-t", "0", fmt], check=True,
                              capture_output=True, text=True).stdout.strip()
