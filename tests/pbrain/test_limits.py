#!/usr/bin/env python3
"""The real pbrain-gomoku at the limits a manager can push it to: a 50 MB line costs no
memory and is quoted in a few bytes; END, or the end of input, while it thinks about a
minute-long move ends the process at once.

usage: test_limits.py PBRAIN plain|sanitized
"""
import subprocess
import sys
import threading
import time

# The process ends this soon after END; more on a busy machine and under sanitizers.
END_MS = {"plain": 100 + 150, "sanitized": 100 + 900}
PEAK_KB = 32 << 10  # the tables come zeroed and untouched: far less than a long line


def fail(msg):
    print("FAIL:", msg)
    sys.exit(1)


def peak_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def long_line(exe, build):
    p = subprocess.Popen([exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    chunk = b"7" * (1 << 20)

    def feed():
        p.stdin.write(b"START 15\n")
        for _ in range(50):
            p.stdin.write(chunk)
        p.stdin.write(b"\nABOUT\n")
        p.stdin.flush()

    writer = threading.Thread(target=feed)
    writer.start()
    replies = [p.stdout.readline() for _ in range(3)]
    writer.join()
    peak = peak_kb(p.pid)
    p.stdin.close()
    p.wait(timeout=10)
    if build == "plain" and peak > PEAK_KB:
        fail(f"peak memory {peak} kB after a 50 MB line")
    if not replies[1].startswith(b"ERROR line longer than") or len(replies[1]) > 100:
        fail(f"long line answered with {len(replies[1])} bytes: {replies[1][:100]!r}")
    if replies[0] != b"OK\n" or not replies[2].startswith(b"name="):
        fail(f"replies {replies!r}")
    return peak


def stop_thinking(exe, build, by_end):
    p = subprocess.Popen([exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    p.stdin.write(b"START 15\nINFO timeout_turn 60000\nTURN 7,7\n")
    p.stdin.flush()
    if p.stdout.readline() != b"OK\n":
        fail("START refused")
    time.sleep(0.3)
    t0 = time.monotonic()
    if by_end:
        p.stdin.write(b"END\n")
        p.stdin.flush()
    else:
        p.stdin.close()
    what = "END" if by_end else "the end of input"
    try:
        status = p.wait(timeout=10)
    except subprocess.TimeoutExpired:
        p.kill()
        fail(f"still thinking 10 s after {what}")
    ms = (time.monotonic() - t0) * 1000
    if status != 0 or ms > END_MS[build]:
        fail(f"after {what} while thinking: status {status} in {ms:.0f} ms")
    return ms


def main():
    exe, build = sys.argv[1], sys.argv[2]
    peak = long_line(exe, build)
    end = stop_thinking(exe, build, True)
    eof = stop_thinking(exe, build, False)
    print(f"50 MB line: peak {peak} kB; exit {end:.0f} ms after END, {eof:.0f} ms after the end"
          " of input")


if __name__ == "__main__":
    main()
