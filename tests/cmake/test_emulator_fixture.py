#!/usr/bin/env python3
"""In a build whose tests run under an emulator (wine), one test makes the emulator ready
and every other test waits for it, so that no test's clock starts while a new wine prefix
is still being made.
Usage: test_emulator_fixture.py BUILD_DIR"""
import json
import subprocess
import sys
import unittest

BUILD = sys.argv.pop(1)


def tests():
    """Each test of the build as (name, command, {property: value})."""
    out = subprocess.run(["ctest", "--test-dir", BUILD, "--show-only=json-v1"], check=True,
                         capture_output=True, text=True).stdout
    return [(t["name"], t.get("command", []), {p["name"]: p["value"] for p in t.get("properties", [])})
            for t in json.loads(out)["tests"]]


class EmulatorFixture(unittest.TestCase):
    def test_one_test_readies_the_emulator_and_every_other_waits_for_it(self):
        found = tests()
        setup = [(name, command) for name, command, props in found
                 if "emulator" in props.get("FIXTURES_SETUP", [])]
        self.assertEqual(len(setup), 1, setup)
        name, command = setup[0]
        self.assertTrue(command[0].endswith("wine-run.sh") and len(command) == 2, command)
        self.assertGreater(len(found), 3)
        for other, command, props in found:
            if other != name:
                self.assertIn("emulator", props.get("FIXTURES_REQUIRED", []), other)


if __name__ == "__main__":
    unittest.main()
