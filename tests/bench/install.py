#!/usr/bin/python3
"""Times what a new user waits for: the silent install, then the installed player started in
its data folder until its main window shows. Each run in a Wine prefix made afresh (not
timed), as on a machine that has never seen Sonello. The start is timed from before the
runner's own check for a running player, so it is an upper bound."""
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


def one_run(installer, driver, probe, work):
    prefix = FreshPrefix(os.path.join(work, "wineprefix"), probe)
    try:
        prefix.create()
        started = time.monotonic()
        code, _ = wine(installer, "/S")
        installed = time.monotonic()
        if code != 0:
            raise SystemExit("install: the installer failed with exit code %d" % code)
        profile = prefix.profile()
        p = Player(prefix.unix(profile + r"\AppData\Local\Programs\Sonello\Sonello.exe"), driver,
                   prefix.unix(profile + r"\AppData\Roaming\Sonello"), os.path.join(work, "artifacts"))
        with contextlib.redirect_stdout(io.StringIO()):  # the runner's own log
            p.start()
            shown = time.monotonic()
            p.close()
        return installed - started, shown - installed
    finally:
        prefix.remove()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--release", required=True, help="the folder with the installer")
    parser.add_argument("--driver", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("runs", nargs="?", type=int, default=3)
    args = parser.parse_args()
    installer = max(glob.glob(os.path.join(args.release, "Sonello-*-setup.exe")), key=os.path.getmtime)
    print("%s, %d runs, each in a fresh prefix" % (os.path.basename(installer), args.runs))
    totals = []
    for run in range(args.runs):
        install, start = one_run(installer, args.driver, args.probe, args.work)
        totals.append(install + start)
        print("  run %d: silent install %.2f s + start to the main window %.2f s = %.2f s"
              % (run + 1, install, start, install + start), flush=True)
    print("install and start: median %.2f s, worst %.2f s (target under 10 s)"
          % (statistics.median(totals), max(totals)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
