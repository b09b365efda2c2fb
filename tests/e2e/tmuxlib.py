"""Drives the real program inside tmux: keys in with send-keys, screens out with capture-pane."""
import fcntl
import itertools
import os
import pty
import re
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

    def wait(self, check, timeout=5.0):
        """Waits until check(screen) is true; returns the screen, or fails with it."""
        end = time.time() + timeout
        while True:
            screen = self.screen()
            if check(screen):
                return screen
            if time.time() > end:
                raise AssertionError("screen never matched:\n" + "\n".join(screen))
            time.sleep(0.02)

    def waitline(self, y, text, timeout=5.0):
        """Waits until line y of the screen is `text`."""
        return self.wait(lambda s: len(s) > y and s[y] == text, timeout)

    def settle(self, quiet=0.15, timeout=5.0):
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

    def status(self, timeout=5.0):
        """The program's exit code (negative: killed by that signal), waiting for it."""
        end = time.time() + timeout
        while not os.path.exists(self.statusfile):
            if time.time() > end:
                raise AssertionError("the program did not end:\n" + "\n".join(self.screen()))
            time.sleep(0.02)
        with open(self.statusfile) as f:
            return int(f.read())

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

    def read(self, until=None, quiet=0.3, timeout=5.0):
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

    def wait(self, timeout=5.0):
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
    """A small terminal emulator for output captured without tmux (in any encoding):
    text, CR, LF, BS, cursor addressing and movement, erase display; SGR is ignored."""

    def __init__(self, cols, rows, encoding="utf-8"):
        self.cols, self.rows, self.encoding = cols, rows, encoding
        self.cells = [[" "] * cols for _ in range(rows)]
        self.x = self.y = 0

    def feed(self, data):
        text = data.decode(self.encoding, errors="replace")
        pos = 0
        csi = re.compile(r"\x1b\[([0-9;?]*)([@-~])")
        while pos < len(text):
            m = csi.match(text, pos)
            if m:
                self._csi(m.group(1), m.group(2))
                pos = m.end()
                continue
            self._char(text[pos])
            pos += 1

    def _csi(self, params, final):
        nums = [int(p) if p.isdigit() else 0 for p in params.lstrip("?").split(";")] if params else []
        n = (nums[0] if nums else 0) or 1
        if final == "H":
            self.y = (nums[0] if nums and nums[0] else 1) - 1
            self.x = (nums[1] if len(nums) > 1 and nums[1] else 1) - 1
        elif final == "A":
            self.y -= n
        elif final == "B":
            self.y += n
        elif final == "C":
            self.x += n
        elif final == "D":
            self.x -= n
        elif final == "J":
            self.cells = [[" "] * self.cols for _ in range(self.rows)]
        elif final in "XK":
            end = self.cols if final == "K" else min(self.cols, self.x + n)
            for i in range(self.x, end):
                self.cells[self.y][i] = " "
        self.x = max(0, min(self.x, self.cols - 1))
        self.y = max(0, min(self.y, self.rows - 1))

    def _char(self, ch):
        if ch == "\r":
            self.x = 0
        elif ch == "\n":
            self.y = min(self.y + 1, self.rows - 1)
        elif ch == "\b":
            self.x = max(0, self.x - 1)
        elif ch >= " ":
            w = width(ch)
            self.cells[self.y][self.x] = ch
            if w == 2 and self.x + 1 < self.cols:
                self.cells[self.y][self.x + 1] = ""
            self.x = min(self.x + w, self.cols - 1)

    def lines(self):
        return ["".join(row).rstrip() for row in self.cells]
