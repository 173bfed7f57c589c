#!/usr/bin/python3
"""Starts a Windows program of ours under Wine and tells its own verdict from a failed launch.

Our programs say why they fail (the driver prints "driver: <why>"), and that verdict stands. A
process that ends with a non-zero status and has printed nothing at all did not fail in our code
but in its launch (Wine's own messages are muted with WINEDEBUG=-all). Such a launch is tried
once more, and the retry is written to the log, so a flaky start is seen and a real fault still
fails.

Used by the end-to-end tests (import it) and by run.sh and bench.sh:

    wine_run.py [--timeout S] PROGRAM.exe [ARGUMENT...]

passes the program's output through and ends with its exit status.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time


def is_blank(returncode, *streams):
    """Failed without a word on any stream: the launch went wrong, not the program."""
    return returncode != 0 and not any(s.strip() for s in streams)


class Launch:
    """One run of a program: its exit status, both streams as text and how long it took."""

    def __init__(self, command, returncode, stdout, stderr, seconds):
        self.command = command
        self.returncode = returncode
        self.stdout = stdout  # bytes, as the program wrote them
        self.stderr = stderr
        self.out = stdout.decode("utf-8", "replace").replace("\r\n", "\n")
        self.err = stderr.decode("utf-8", "replace").replace("\r\n", "\n")
        self.seconds = seconds
        self.retried = False
        self.prefix_processes = []  # of a run that hung: what else ran in the prefix

    @property
    def blank(self):
        return self.returncode is not None and is_blank(self.returncode, self.out, self.err)

    def describe(self):
        if self.returncode is None:
            return "still running after %.2f s, stopped; stdout %r; stderr %r; Wine processes of the prefix then: %s" % (
                self.seconds, self.out, self.err, "; ".join(self.prefix_processes) or "none")
        text = "exit %d after %.2f s; stdout %r; stderr %r" % (self.returncode, self.seconds, self.out, self.err)
        if self.blank:
            text += "; nothing printed, %s" % ("again on the retry" if self.retried else "not retried")
        return text


def display_answers():
    """Whether the X display the environment names still takes a connection."""
    if not os.environ.get("DISPLAY"):
        return False
    try:
        return subprocess.run(["xdpyinfo"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=10).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False


def prefix_processes():
    """The processes running in this environment's Wine prefix, as "pid command"."""
    mark = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", os.path.expanduser("~/.wine"))).encode()
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if mark not in f.read().split(b"\0"):
                    continue
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                found.append("%s %s" % (pid, f.read().replace(b"\0", b" ").decode("utf-8", "replace").strip()))
        except OSError:
            continue
    return found


def launch_once(command, cwd, timeout):
    # Files, not pipes: a process the program starts inherits its output handles (the first
    # program that needs the desktop starts explorer.exe with its standard error), and reading
    # a pipe to its end would wait for that process as well.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        start = time.monotonic()
        process = subprocess.Popen(command, cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        others = None
        try:
            process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            # Seen before it is stopped: what else of the prefix was running while it hung.
            others = [p for p in prefix_processes() if not p.startswith("%d " % process.pid)]
            process.kill()
            process.wait()
        seconds = time.monotonic() - start
        out.seek(0)
        err.seek(0)
        launch = Launch(command, None if others is not None else process.returncode, out.read(), err.read(), seconds)
        launch.prefix_processes = others or []
        return launch


def run_windows(program, args=(), cwd=None, timeout=60, log=None, wine="wine"):
    """Runs `wine PROGRAM ARGS...` to its end; a blank failure is launched once more.

    `log` takes one line of text about a retry (the caller's own log). A run that outlasts
    `timeout` seconds (None: no limit) is stopped and has no exit status.
    """
    command = [wine, program] + [str(a) for a in args]
    first = launch_once(command, cwd, timeout)
    if not first.blank:
        return first
    note = "retry: %s ended with exit %d after %.2f s and printed nothing; the display %s %s; launching it once more" % (
        " ".join([os.path.basename(program)] + command[2:]), first.returncode, first.seconds,
        os.environ.get("DISPLAY", "(none)"), "answers" if display_answers() else "does not answer")
    (log or (lambda line: print(line, file=sys.stderr, flush=True)))(note)
    second = launch_once(command, cwd, timeout)
    second.retried = True
    return second


def main():
    parser = argparse.ArgumentParser(description="Runs a Windows program under Wine; retries a blank failure once.")
    parser.add_argument("--timeout", type=float, default=None, help="seconds before the run is stopped")
    parser.add_argument("program")
    parser.add_argument("args", nargs=argparse.REMAINDER)
    a = parser.parse_args()
    launch = run_windows(a.program, a.args, timeout=a.timeout)
    sys.stdout.buffer.write(launch.stdout)
    sys.stdout.flush()
    sys.stderr.buffer.write(launch.stderr)
    sys.stderr.flush()
    if launch.blank or launch.returncode is None:
        print("wine_run: %s: %s" % (os.path.basename(a.program), launch.describe()), file=sys.stderr)
    return 124 if launch.returncode is None else launch.returncode


if __name__ == "__main__":
    sys.exit(main())
