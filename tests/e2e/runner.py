#!/usr/bin/env python3
"""Runs the game in a tmux pane, writes its exit code to a file, then keeps the pane open.

Usage: runner.py STATUSFILE [--job] [--ignore SIGNAL]... PROGRAM [ARG]...
The exit code is the child's return code: negative for death by a signal.
With --job the program runs as the terminal's foreground job in a process group of
its own, as a job-control shell would start it (so Ctrl-Z really stops it), while the
runner itself never touches the terminal's mode.
"""
import os
import signal
import subprocess
import sys
import time

args = sys.argv[1:]
statusfile = args.pop(0)
ignored = []
job = False
while args and args[0] in ("--ignore", "--job"):
    if args.pop(0) == "--job":
        job = True
    else:
        ignored.append(getattr(signal, args.pop(0)))


def child_setup():
    if job:  # the foreground job before the program runs (SIGTTOU is still ignored here)
        os.setpgid(0, 0)
        os.tcsetpgrp(0, os.getpgrp())
    for sig in (signal.SIGTSTP, signal.SIGTTOU):  # the runner's own ignoring is not passed on
        signal.signal(sig, signal.SIG_DFL)
    for sig in ignored:
        signal.signal(sig, signal.SIG_IGN)


# The runner itself outlives Ctrl-C and Ctrl-Z so that the pane stays for inspection.
signal.signal(signal.SIGINT, lambda *a: None)
signal.signal(signal.SIGTSTP, signal.SIG_IGN)
signal.signal(signal.SIGTTOU, signal.SIG_IGN)
proc = subprocess.Popen(args, preexec_fn=child_setup)
if job:
    try:
        os.setpgid(proc.pid, proc.pid)
    except OSError:
        pass  # the child has done it already
    os.tcsetpgrp(0, proc.pid)
while True:
    try:
        code = proc.wait()
        break
    except InterruptedError:
        continue
with open(statusfile + ".tmp", "w") as f:
    f.write(str(code))
os.rename(statusfile + ".tmp", statusfile)
time.sleep(3600)
