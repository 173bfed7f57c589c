"""One Sonello.exe under Wine, started in a folder and handled only from outside: through the
driver program (its windows, buttons, labels and the screen over the lyric band), the X
display's drag and drop, the mouse, and the files it writes."""
import os
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
from wine_run import is_blank, run_windows  # noqa: E402
# Songs without lyrics are searched for: at a port where nothing listens unless a test says otherwise.
NO_LYRICS_SERVICE = "http://127.0.0.1:9"


def scenario_arguments(*extra):
    """The command line every scenario takes: the two programs, a work folder made afresh and the
    folder for its screenshots; extra holds (option, help) pairs of its own."""
    import argparse

    parser = argparse.ArgumentParser()
    parser.add_argument("--player", required=True)
    parser.add_argument("--driver", required=True)
    for option, text in extra:
        parser.add_argument(option, required=True, help=text)
    parser.add_argument("--work", required=True, help="made afresh for this run")
    parser.add_argument("--artifacts", required=True)
    return parser.parse_args()


class Failure(Exception):
    pass


def desktop_has_tray():
    """Whether the X display has a notification area of its own, which then holds the icons."""
    from Xlib import display

    disp = display.Display()
    try:
        owner = disp.get_selection_owner(disp.intern_atom("_NET_SYSTEM_TRAY_S%d" % disp.get_default_screen()))
        return owner not in (0, None) and getattr(owner, "id", owner) != 0
    finally:
        disp.close()


def wine_path(path):
    """Wine shows the Linux root as drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Player:
    def __init__(self, player_exe, driver_exe, folder, artifacts):
        self.player_exe = os.path.abspath(player_exe)
        self.driver_exe = os.path.abspath(driver_exe)
        self.folder = os.path.abspath(folder)
        self.artifacts = os.path.abspath(artifacts)
        self.process = None
        self.shots = 0
        self.started = time.monotonic()
        os.makedirs(self.artifacts, exist_ok=True)
        for old in os.listdir(self.artifacts):
            if old.endswith(".png"):
                os.remove(os.path.join(self.artifacts, old))
        subprocess.run(["/usr/bin/python3", os.path.join(HERE, "clear_root.py")], check=False, timeout=30)

    def log(self, message):
        print("[%6.2f] %s" % (time.monotonic() - self.started, message), flush=True)

    def expect(self, condition, message):
        if not condition:
            raise Failure(message)
        self.log("ok: " + message)

    def driver(self, *args, check=True):
        """Runs one driver command; a launch that printed nothing is tried once more (logged).
        With check, a non-zero exit fails the scenario with the whole of what happened."""
        launch = run_windows(self.driver_exe, args, timeout=60, log=self.log)
        if launch.returncode is None or ((check or launch.blank) and launch.returncode != 0):
            raise Failure("driver %s: %s%s" % (" ".join(map(str, args)), launch.describe(), self.player_state()))
        return launch.out.rstrip("\n")

    def player_state(self):
        """What became of the player's own process, for a failure's message."""
        if self.process is None or self.process.poll() is None:
            return ""
        return "; the player had ended with exit %d, saying %r" % (self.process.returncode, self.player_output())

    def screenshot(self, name):
        self.shots += 1
        path = os.path.join(self.artifacts, "%02d-%s.png" % (self.shots, name))
        subprocess.run(["import", "-window", "root", path], check=False, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.log("screenshot " + path)
        return path

    # ---- the song-list file ----------------------------------------------------------------
    def song_list_bytes(self):
        path = os.path.join(self.folder, "MySongList.xml")
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def song_list_file(self):
        data = self.song_list_bytes()
        if data is None:
            return None
        text = data.decode("utf-8", "replace")
        # The DOM's serialiser ends its output with a line break after the root element.
        return text[:-1] if text.endswith("\n") else text

    def wait_song_list_file(self, expected, seconds=5):
        deadline = time.monotonic() + seconds
        text = self.song_list_file()
        while text != expected and time.monotonic() < deadline:
            time.sleep(0.1)
            text = self.song_list_file()
        return text

    # ---- starting and ending ---------------------------------------------------------------
    def start(self, lyrics_url=NO_LYRICS_SERVICE):
        stale = self.driver("wait-main", 0, check=False)
        if re.fullmatch(r"\d+", stale):
            raise Failure("a Sonello.exe is already running in this Wine prefix (process %s)" % stale)
        self.launch_player(lyrics_url)
        if self.process.poll() is not None and is_blank(self.process.returncode, self.player_output()):
            # The same blank launch the driver's runs may meet: tried once more, in the log.
            self.log("retry: Sonello.exe ended with exit %d and printed nothing; starting it once more"
                     % self.process.returncode)
            self.launch_player(lyrics_url)
        pid = self.driver("wait-main", 0)
        self.log("player started, Windows process %s" % pid)
        self.driver("wait-visible", "main", 10000)

    def launch_player(self, lyrics_url):
        """Starts the player and waits for its windows, or for its early end."""
        with open(os.path.join(self.artifacts, "player.out"), "wb") as out:
            self.process = subprocess.Popen(["wine", self.player_exe], cwd=self.folder, stdin=subprocess.DEVNULL,
                                            stdout=out, stderr=subprocess.STDOUT,
                                            env=dict(os.environ, SONELLO_LYRICS_URL=lyrics_url))
        deadline = time.monotonic() + 30
        while self.process.poll() is None and time.monotonic() < deadline:
            if re.fullmatch(r"\d+", self.driver("wait-main", 1000, check=False)):
                return

    def player_output(self):
        with open(os.path.join(self.artifacts, "player.out"), "rb") as f:
            return f.read().decode("utf-8", "replace").strip()

    def close(self):
        """Ends the player through its close button; returns the exit code wine reports."""
        code = self.driver("close", 15000)
        self.expect(code == "0", "the close button ends the player with exit code 0 (it gave %s)" % code)
        try:
            status = self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise Failure("the player's process did not end")
        self.process = None
        self.expect(status == 0, "wine reports exit code 0 (it gave %d)" % status)

    def kill(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.process = None

    def run(self, steps):
        """Runs a scenario; a failure is logged with a screenshot. Returns the exit code."""
        try:
            steps()
        except (Failure, subprocess.TimeoutExpired, subprocess.CalledProcessError) as e:
            self.log("FAILED: %s" % e)
            self.screenshot("failure")
            return 1
        finally:
            self.kill()
        self.log("passed; screenshots in " + self.artifacts)
        return 0

    # ---- what a user does ------------------------------------------------------------------
    def windows(self):
        found = {}
        for line in self.driver("windows").splitlines():
            role, _hwnd, visible, x, y, w, h, xid = line.split()
            found[role] = dict(visible=visible == "1", x=int(x), y=int(y), w=int(w), h=int(h), xid=int(xid))
        return found

    def show_song_list(self):
        self.driver("click", "IDC_SHOWLIST")
        self.driver("wait-visible", "list", 5000)

    def drop(self, paths):
        """Drops files on the song-list window from an X11 client, as a file manager would."""
        win = self.windows()["list"]
        # A point over the songs box, inside the window that accepts files.
        x, y = win["x"] + win["w"] * 6 // 10, win["y"] + win["h"] * 7 // 10
        cmd = ["/usr/bin/python3", os.path.join(HERE, "xdnd_drop.py"), "--x", str(x), "--y", str(y)]
        if win["xid"]:
            cmd += ["--window", str(win["xid"])]
        result = subprocess.run(cmd + list(paths), stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
        if result.returncode != 0:
            raise Failure("the drop failed: " + result.stderr.decode("utf-8", "replace").strip())
        self.log(result.stdout.decode("utf-8", "replace").strip())

    def songs(self):
        return self.driver("songs").splitlines()

    def play_row(self, row):
        """Double-clicks a song and waits until the main window has started it."""
        path = self.songs()[row][2:]
        before = self.driver("text", "IDC_PATH")
        self.driver("dblclick-song", row)
        if before == path:
            # The same song again: nothing on the screen tells when it restarts, but the main
            # window's next one-second tick does.
            time.sleep(1.1)
        else:
            took = int(self.driver("wait-text", "IDC_PATH", path, 2500))
            self.log("%s started %d ms after the double-click" % (path, took))
            if took < 400:
                # The band loads lyrics on its 200 ms tick while the request waits for the main
                # window's one-second tick; a start this quick may leave it no tick to do so.
                # Double-clicking again, as a user would, gives it a whole second.
                self.log("started too soon for the band to be sure of the lyrics: double-click again")
                self.driver("dblclick-song", row)
                time.sleep(1.1)
        self.driver("wait-text", "IDC_STATUS", "状态:播放", 1000)

    def show_band(self):
        self.driver("click", "IDC_SHOWLRC")
        self.driver("wait-visible", "band", 3000)

    def elapsed_label(self):
        text = self.driver("text", "IDC_TIME")
        m = re.fullmatch(r"(\d\d):(\d\d)", text)
        if not m:
            raise Failure("the time label reads %r, not mm:ss" % text)
        return int(m.group(1)) * 60 + int(m.group(2))

    def expect_time_advances(self, seconds=3):
        first = now = self.elapsed_label()
        deadline = time.monotonic() + seconds
        while now <= first and time.monotonic() < deadline:
            time.sleep(0.1)
            now = self.elapsed_label()
        self.expect(now > first, "the time label advances (%02d:%02d to %02d:%02d)" % (first // 60, first % 60,
                                                                                    now // 60, now % 60))
