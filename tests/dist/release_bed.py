"""What the release tests share: the end-to-end runner's player and driver, the probe that reads
what the shell reads, and a Wine prefix of their own, made afresh, for installing into."""
import os
import re
import shutil
import subprocess
import sys
import time

# No byte-code caches beside the sources.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from player import Failure, Player, wine_path  # noqa: E402,F401


def wine(*args, timeout=60):
    """Runs a Windows program that is not the player (the installer, the uninstaller, the probe)
    and waits for it; returns its exit code and its output."""
    result = subprocess.run(["wine"] + [str(a) for a in args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, timeout=timeout)
    return result.returncode, result.stdout.decode("utf-8", "replace").replace("\r\n", "\n")


class Probe:
    def __init__(self, exe):
        self.exe = exe

    def read(self, command, path):
        code, out = wine(self.exe, command, path)
        if code != 0:
            raise Failure("the probe could not read %s (%s, exit %d)" % (path, command, code))
        return out

    def fields(self, command, path):
        return dict(line.split("=", 1) for line in self.read(command, path).splitlines() if "=" in line)


class DesktopHolder:
    """Keeps the Wine prefix's desktop process running, started if need be from a program whose
    error output goes nowhere, so that it holds none of the pipes through which the tests read
    the programs they run (the probe says why)."""

    def __init__(self, probe):
        self.process = subprocess.Popen(["wine", probe, "hold-desktop"], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if self.process.stdout.readline().strip() != b"holding":
            raise Failure("the probe could not hold the desktop")

    def release(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=30)
        self.process.stdout.close()


class FreshPrefix:
    """A Wine prefix made for one run, as a new Windows account is: nothing installed, its own
    wineserver. Selected for every Wine program this process starts from then on."""

    def __init__(self, path, probe):
        self.path = os.path.abspath(path)
        self.probe = probe
        self.holder = None
        self.bed = os.environ.get("WINEPREFIX", "")
        os.environ["WINEPREFIX"] = self.path
        # No Mono or Gecko prompts; no Linux menu entries for the shortcuts the installer makes.
        os.environ["WINEDLLOVERRIDES"] = "mscoree=;mshtml=;winemenubuilder.exe="

    def create(self):
        self.stop()
        shutil.rmtree(self.path, ignore_errors=True)
        os.makedirs(os.path.dirname(self.path), exist_ok=True)
        subprocess.run(["wineboot", "-i"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=180, check=True)
        subprocess.run(["wineserver", "-w"], timeout=60, check=True)
        # Wine links the profile's Desktop, Documents, ... to the Linux home folder: make them
        # folders of the prefix, so that a desktop shortcut stays in it.
        users = os.path.join(self.path, "drive_c", "users")
        for user in os.listdir(users):
            for name in os.listdir(os.path.join(users, user)):
                link = os.path.join(users, user, name)
                if os.path.islink(link):
                    os.remove(link)
                    os.mkdir(link)
        subprocess.run(["wineserver", "-p"], timeout=30, check=True)
        # Start Wine's services now, detached from our pipes, which they would otherwise hold
        # open after the program that started them has ended.
        subprocess.run(["wine", "cmd", "/c", "exit"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        # Windows placed as in the test bed's prefix: on its own virtual display Wine would
        # otherwise wait for a window manager at every show and hide.
        try:
            with open(os.path.join(self.bed, "user.reg"), encoding="utf-8", errors="replace") as f:
                unmanaged = '"Managed"="N"' in f.read()
        except OSError:
            unmanaged = False
        if unmanaged:
            wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")
        self.holder = DesktopHolder(self.probe)

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
        """The Windows path of the user's profile folder."""
        users = os.listdir(os.path.join(self.path, "drive_c", "users"))
        return "C:\\users\\" + [user for user in users if user != "Public"][0]

    def unix(self, windows_path):
        """The Linux path of a path on the prefix's drive C:."""
        drive, rest = windows_path.split(":", 1)
        if drive.upper() != "C":
            raise Failure("%s is not on drive C:" % windows_path)
        return os.path.join(self.path, "drive_c", *[part for part in rest.split("\\") if part])

    def registry(self, key):
        """The values of a registry key by name, or None when there is no such key."""
        code, out = wine("reg", "query", key)
        if code != 0:
            return None
        values = {}
        for line in out.splitlines():
            m = re.match(r"^ {4}(.*?) {4}(REG_\w+) {4}(.*)$", line)
            if m:
                values[m.group(1)] = int(m.group(3), 16) if m.group(2) == "REG_DWORD" else m.group(3)
        return values


def wait_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)
    return True
