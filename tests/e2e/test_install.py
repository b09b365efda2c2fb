#!/usr/bin/env python3
"""Installs into a temporary prefix; the manual page renders without warnings.
Usage: test_install.py BUILD_DIR"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

BUILD = os.path.abspath(sys.argv.pop(1) if len(sys.argv) > 1 else "build")


class Install(unittest.TestCase):
    def setUp(self):
        self.prefix = tempfile.mkdtemp(prefix="gomoku-prefix-")
        self.addCleanup(shutil.rmtree, self.prefix)
        subprocess.run(["cmake", "--install", BUILD, "--prefix", self.prefix], check=True,
                       capture_output=True)

    def test_programs_and_manual_page_are_installed(self):
        program = os.path.join(self.prefix, "bin", "gomoku")
        self.assertTrue(os.access(program, os.X_OK))
        self.assertTrue(os.path.isfile(os.path.join(self.prefix, "share/man/man6/gomoku.6")))
        p = subprocess.run([program], input=b"n\n", capture_output=True, timeout=10)
        self.assertEqual(p.returncode, 0)
        brain = os.path.join(self.prefix, "bin", "pbrain-gomoku")
        p = subprocess.run([brain], input=b"ABOUT\nEND\n", capture_output=True, timeout=10)
        self.assertEqual((p.returncode, p.stdout[:6]), (0, b'name="'))

    @unittest.skipUnless(shutil.which("groff"), "groff is not installed")
    def test_manual_page_renders_cleanly(self):
        page = os.path.join(self.prefix, "share/man/man6/gomoku.6")
        # The terminal device, where the page is read: it has the glyphs of its Chinese texts.
        p = subprocess.run(["groff", "-ww", "-z", "-Tutf8", "-man", page], capture_output=True,
                           text=True)
        self.assertEqual((p.returncode, p.stderr), (0, ""))
        p = subprocess.run(["groff", "-ww", "-t", "-man", "-Tutf8", page], capture_output=True,
                           text=True)
        self.assertEqual(p.stderr, "")
        for section in ["KEYS", "RULES", "FILES", "ENVIRONMENT", "EXIT STATUS", "NO_COLOR",
                        "xsxx.txt", "draw"]:
            self.assertIn(section, re.sub(".\b", "", p.stdout))


if __name__ == "__main__":
    unittest.main()
