#!/usr/bin/env python3
"""scripts/play.sh builds in the checkout, showing the build's progress, but starts the game
in the caller's directory, with the caller's arguments.
The build tools are stand-ins, so the test needs no compiler and takes no time."""
import os
import shutil
import stat
import subprocess
import tempfile
import unittest

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts")


def executable(path, text):
    """Writes a shell script to `path`."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write("#!/bin/sh\n" + text + "\n")
    os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)


class Play(unittest.TestCase):
    def test_game_starts_in_the_callers_directory(self):
        tmp = tempfile.mkdtemp(prefix="gomoku-play-")
        self.addCleanup(shutil.rmtree, tmp)
        checkout, caller, tools = (os.path.join(tmp, d) for d in ("checkout", "caller", "tools"))
        os.makedirs(caller)
        os.makedirs(os.path.join(checkout, "scripts"))
        shutil.copy(os.path.join(SCRIPTS, "play.sh"), os.path.join(checkout, "scripts"))
        executable(os.path.join(checkout, "scripts/setup.sh"), "exit 0")
        executable(os.path.join(tools, "cmake"),
                   'if [ "$1" = --build ]; then echo "[ 42%] Building CXX object"; fi')
        executable(os.path.join(checkout, "build/gomoku"), 'pwd; echo "$@"')
        env = dict(os.environ, PATH=tools + os.pathsep + os.environ["PATH"])
        p = subprocess.run([os.path.join(checkout, "scripts/play.sh"), "-c", "2 x"], cwd=caller,
                           env=env, capture_output=True, text=True, timeout=30)
        self.assertEqual(p.returncode, 0, p.stderr)
        self.assertEqual(p.stdout, os.path.realpath(caller) + "\n-c 2 x\n")
        self.assertIn("[ 42%] Building CXX object", p.stderr)


if __name__ == "__main__":
    unittest.main()
