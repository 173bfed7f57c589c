"""What the release tests share: the end-to-end runner's player and driver, the probe (probe.cpp)
and a Wine prefix of their own, made afresh, for installing into."""
import os
import re
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from player import Failure, Player, wine_path  # noqa: E402,F401
from wine_run import run_windows  # noqa: E402


def wine(program, *args):
    """Runs a Windows program other than the player and waits for it: exit code and output."""
    launch = run_windows(program, args, timeout=60)
    if launch.returncode is None:
        raise Failure("%s %s: %s" % (program, " ".join(map(str, args)), launch.describe()))
    return launch.returncode, launch.out


def probe(exe, command, path):
    code, out = wine(exe, command, path)
    if code != 0:
        raise Failure("the probe could not read %s (%s, exit %d)" % (path, command, code))
    return out


def probe_fields(exe, command, path):
    return dict(line.split("=", 1) for line in probe(exe, command, path).splitlines() if "=" in line)


def wait_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)
    return True


class DesktopHolder:
    """Keeps the prefix's desktop process running, started if need be by the probe with no error
    output, so that it holds none of the pipes the tests read (probe.cpp says why); the test
    bed's prefix has one from scripts/wine-env.sh."""

    def __init__(self, exe):
        self.process = subprocess.Popen(["wine", exe, "hold-desktop"], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if self.process.stdout.readline().strip() != b"holding":
            raise Failure("the probe could not hold the desktop")

    def release(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=30)
        self.process.stdout.close()


class FreshPrefix:
    """A Wine prefix made for one run, as a new Windows account is, with its own wineserver;
    every Wine program this process starts from then on runs in it."""

    def __init__(self, path, probe_exe):
        self.path = os.path.abspath(path)
        self.probe_exe = probe_exe
        self.holder = None
        self.bed = os.environ.get("WINEPREFIX", "")
        os.environ["WINEPREFIX"] = self.path
        # No Mono or Gecko prompts; no Linux menu entries for the shortcuts the installer makes.
        os.environ["WINEDLLOVERRIDES"] = "mscoree=;mshtml=;winemenubuilder.exe="

    def create(self):
        self.remove()
        os.makedirs(os.path.dirname(self.path), exist_ok=True)
        subprocess.run(["wineboot", "-i"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=180, check=True)
        subprocess.run(["wineserver", "-w"], timeout=60, check=True)
        # Wine links Desktop, Documents, ... to the Linux home: make them the prefix's own folders.
        users = os.path.join(self.path, "drive_c", "users")
        for link in [os.path.join(users, u, name) for u in os.listdir(users) for name in os.listdir(os.path.join(users, u))]:
            if os.path.islink(link):
                os.remove(link)
                os.mkdir(link)
        subprocess.run(["wineserver", "-p"], timeout=30, check=True)
        self.holder = DesktopHolder(self.probe_exe)
        # Windows placed as in the test bed's prefix (no waiting for a window manager).
        with open(os.path.join(self.bed, "user.reg"), encoding="utf-8", errors="replace") as f:
            if '"Managed"="N"' in f.read():
                wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")

    def stop(self):
        if os.path.isdir(self.path):
            subprocess.run(["wineserver", "-k"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        if self.holder is not None:
            self.holder.release()
            self.holder = None

    def remove(self):
        self.stop()
        shutil.rmtree(self.path, ignore_errors=True)

    def profile(self):
        users = os.listdir(os.path.join(self.path, "drive_c", "users"))
        return "C:\\users\\" + [user for user in users if user != "Public"][0]

    def unix(self, windows_path):
        """The Linux path of a path on drive C:."""
        return os.path.join(self.path, "drive_c", *[part for part in windows_path[3:].split("\\") if part])

    def registry(self, key):
        """A registry key's values by name, or None when there is no such key."""
        code, out = wine("reg", "query", key)
        if code != 0:
            return None
        values = {}
        for name, kind, value in re.findall(r"^ {4}(.*?) {4}(REG_\w+) {4}(.*)$", out, re.M):
            values[name] = int(value, 16) if kind == "REG_DWORD" else value
        return values
