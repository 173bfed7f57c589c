#!/usr/bin/python3
"""The launcher of Windows programs: a program's verdict fails at once, a blank failure is
launched once more and logged. A stand-in for wine plays the program: it runs the shell text
it is given, with a counter of its runs beside it."""
import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from wine_run import run_windows  # noqa: E402

WINE_STAND_IN = """#!/bin/sh
n=$(cat "$0.runs" 2>/dev/null || echo 0); echo $((n + 1)) >"$0.runs"
export RUN=$((n + 1))
exec sh -c "$1"
"""


class WineRun(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.wine = os.path.join(self.dir.name, "wine")
        with open(self.wine, "w") as f:
            f.write(WINE_STAND_IN)
        os.chmod(self.wine, 0o755)
        self.log = []

    def tearDown(self):
        self.dir.cleanup()

    def run_program(self, script):
        return run_windows(script, log=self.log.append, wine=self.wine, timeout=30)

    def runs(self):
        with open(self.wine + ".runs") as f:
            return int(f.read())

    def test_a_verdict_fails_at_once_with_its_reason(self):
        launch = self.run_program("echo 'driver: no control 4242' >&2; exit 2")
        self.assertEqual((launch.returncode, self.runs(), self.log), (2, 1, []))
        self.assertIn("exit 2", launch.describe())
        self.assertIn("driver: no control 4242", launch.describe())
        # Output on stdout alone is a verdict too, and a silent success is no failure.
        self.assertEqual(self.run_program("echo 0.412; exit 1").returncode, 1)
        self.assertEqual(self.run_program("exit 0").returncode, 0)
        self.assertEqual((self.runs(), self.log), (3, []))

    def test_a_blank_failure_is_launched_once_more_and_logged(self):
        launch = self.run_program('[ "$RUN" = 1 ] && exit 1; echo 272')
        self.assertEqual((launch.returncode, launch.out, launch.retried, self.runs()), (0, "272\n", True, 2))
        self.assertEqual(len(self.log), 1)
        self.assertRegex(self.log[0], r"^retry: .* ended with exit 1 after \d+\.\d\d s and printed nothing")

    def test_a_blank_failure_twice_fails_and_says_so(self):
        launch = self.run_program("exit 1")
        self.assertEqual((launch.returncode, launch.blank, self.runs(), len(self.log)), (1, True, 2, 1))
        self.assertIn("exit 1 after", launch.describe())
        self.assertIn("nothing printed, again on the retry", launch.describe())

    def test_a_process_left_holding_the_output_is_not_waited_for(self):
        # As explorer.exe does when a program starts the desktop: it keeps the program's stderr.
        launch = run_windows("sleep 5 >&2 & echo 272", wine=self.wine, timeout=3)
        self.assertEqual((launch.returncode, launch.out), (0, "272\n"))
        self.assertLess(launch.seconds, 2)

    def test_a_hung_program_is_stopped_and_not_retried(self):
        launch = run_windows("echo started; exec sleep 5", log=self.log.append, wine=self.wine, timeout=0.5)
        self.assertEqual((launch.returncode, launch.blank, self.runs(), self.log), (None, False, 1, []))
        self.assertRegex(launch.describe(), r"^still running after 0\.\d\d s, stopped; stdout 'started\\n'")


if __name__ == "__main__":
    unittest.main()
