#!/usr/bin/env python3
"""The packages cpack makes hold what users install, stripped: on Linux a .deb that installs
and removes cleanly (into a dpkg root of its own) and whose game starts; from a Windows
build a .zip with the two programs, the README and the licence.
Usage: test_package.py BUILD_DIR OBJDUMP [EMULATOR...]"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

BUILD = os.path.abspath(sys.argv.pop(1))
OBJDUMP = sys.argv.pop(1)
EMULATOR = []
while len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
    EMULATOR.append(sys.argv.pop(1))
PROMPT = "是否进入游戏(Y/N)或者帮助（Z）".encode()
MB = 1 << 20


def run(*args, **kw):
    return subprocess.run(list(args), capture_output=True, check=True, **kw).stdout


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="gomoku-package-")
        run("cpack", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", cls.dir)
        cls.made = [f for f in os.listdir(cls.dir) if f.endswith((".deb", ".zip"))]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def path(self, suffix):
        made = [f for f in self.made if f.endswith(suffix)]
        self.assertEqual(len(made), 1, self.made)
        return os.path.join(self.dir, made[0])

    def assertStripped(self, program):
        self.assertTrue(b"no symbols" in run(OBJDUMP, "-t", program), program + " has symbols")
        self.assertFalse(b".debug" in run(OBJDUMP, "-h", program), program + " has debug info")

    @unittest.skipIf(EMULATOR or sys.platform == "win32", "a Windows build makes a zip")
    def test_deb_installs_the_game_and_removes_everything(self):
        deb = self.path(".deb")
        files = {line.split()[-1].decode() for line in run("dpkg-deb", "-c", deb).splitlines()
                 if not line.startswith(b"d")}
        self.assertEqual(files, {"./usr/bin/gomoku", "./usr/bin/pbrain-gomoku",
                                 "./usr/share/man/man6/gomoku.6",
                                 "./usr/share/man/man6/pbrain-gomoku.6",
                                 "./usr/share/doc/gomoku/LICENSE"})
        for name in run("dpkg-deb", "-f", deb, "Depends").decode().split(","):
            run("dpkg-query", "-W", name.split()[0])  # on this system, so `dpkg -i` works
        root = os.path.join(self.dir, "root")
        for d in ("info", "updates", "triggers"):
            os.makedirs(os.path.join(root, "var/lib/dpkg", d))
        open(os.path.join(root, "var/lib/dpkg/status"), "w").close()
        dpkg = ["dpkg", "--root=" + root, "--force-not-root", "--force-depends"]
        run(*dpkg, "-i", deb)
        game = os.path.join(root, "usr/bin/gomoku")
        self.assertStripped(game)
        self.assertStripped(os.path.join(root, "usr/bin/pbrain-gomoku"))
        self.assertEqual(run(game, input=b"n\n", timeout=60), PROMPT + b"\n")
        run(*dpkg, "-r", "gomoku")
        left = [os.path.join(d, f) for d, _, fs in os.walk(root) for f in fs]
        self.assertEqual([f for f in left if "/var/lib/dpkg/" not in f], [])

    @unittest.skipUnless(EMULATOR or sys.platform == "win32", "a Linux build makes a .deb")
    def test_zip_holds_the_programs_the_readme_and_the_licence(self):
        with zipfile.ZipFile(self.path(".zip")) as z:
            self.assertEqual(sorted(z.namelist()),
                             ["LICENSE", "README.md", "gomoku.exe", "pbrain-gomoku.exe"])
            self.assertLess(z.getinfo("pbrain-gomoku.exe").file_size, 8 * MB)
            z.extractall(os.path.join(self.dir, "zip"))
        brain = os.path.join(self.dir, "zip", "pbrain-gomoku.exe")
        self.assertStripped(brain)
        self.assertStripped(os.path.join(self.dir, "zip", "gomoku.exe"))
        about = run(*EMULATOR, brain, input=b"ABOUT\nEND\n", timeout=120)
        self.assertTrue(about.startswith(b'name="gomoku"'), about)


if __name__ == "__main__":
    unittest.main()
