#!/usr/bin/python3
"""Times what a new user waits for: the silent install, then the installed player started in its
data folder until its main window shows, each run in a Wine prefix made afresh (not timed). The
start is timed from before the runner's check for a running player: an upper bound."""
import argparse
import contextlib
import glob
import io
import os
import statistics
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "dist"))
from release_bed import FreshPrefix, Player, wine  # noqa: E402

parser = argparse.ArgumentParser()
for name in ("release", "driver", "probe", "work"):
    parser.add_argument("--" + name, required=True)
parser.add_argument("runs", nargs="?", type=int, default=3)
args = parser.parse_args()
installer = max(glob.glob(os.path.join(args.release, "Sonello-*-setup.exe")), key=os.path.getmtime)
print("%s, %d runs, each in a fresh prefix" % (os.path.basename(installer), args.runs))
totals = []
for run in range(args.runs):
    prefix = FreshPrefix(os.path.join(args.work, "wineprefix"), args.probe)
    try:
        prefix.create()
        started = time.monotonic()
        if wine(installer, "/S")[0] != 0:
            sys.exit("install: the installer failed")
        installed = time.monotonic()
        profile = prefix.profile()
        p = Player(prefix.unix(profile + r"\AppData\Local\Programs\Sonello\Sonello.exe"), args.driver,
                   prefix.unix(profile + r"\AppData\Roaming\Sonello"), os.path.join(args.work, "artifacts"))
        with contextlib.redirect_stdout(io.StringIO()):  # the runner's own log
            p.start()
            shown = time.monotonic()
            p.close()
    finally:
        prefix.remove()
    totals.append(shown - started)
    print("  run %d: silent install %.2f s + start to the main window %.2f s = %.2f s"
          % (run + 1, installed - started, shown - installed, shown - started), flush=True)
print("install and start: median %.2f s, worst %.2f s (target under 10 s)" % (statistics.median(totals), max(totals)))
