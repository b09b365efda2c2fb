#!/usr/bin/env python3
"""Runs the game in a tmux pane, writes its exit code to a file, then keeps the pane open.

Usage: runner.py STATUSFILE [--ignore SIGNAL]... PROGRAM [ARG]...
The exit code is the child's return code: negative for death by a signal.
"""
import signal
import subprocess
import sys
import time

args = sys.argv[1:]
statusfile = args.pop(0)
ignored = []
while args and args[0] == "--ignore":
    args.pop(0)
    ignored.append(getattr(signal, args.pop(0)))


def child_setup():
    for sig in ignored:
        signal.signal(sig, signal.SIG_IGN)


# The runner itself outlives Ctrl-C and Ctrl-Z so that the pane stays for inspection.
signal.signal(signal.SIGINT, lambda *a: None)
signal.signal(signal.SIGTSTP, signal.SIG_IGN)
proc = subprocess.Popen(args, preexec_fn=child_setup)
while True:
    try:
        code = proc.wait()
        break
    except InterruptedError:
        continue
with open(statusfile + ".tmp", "w") as f:
    f.write(str(code))
import os
os.rename(statusfile + ".tmp", statusfile)
time.sleep(3600)
