#!/usr/bin/python3
"""The lyric band against the sound device, on a word-timed song of our own (a WAV and the same
as an MP3), in two parts.

The red edge: bench_band.exe plays the song in its own process through the player's real main
window, with the band shown, and samples for a minute every 10 ms the device position (asked on
the player's thread: MCI answers only the thread that opened the device) and the band as the
screen shows it. It prints how often the red edge moves while a line fills and how far it stands
from the device position of that moment (tests/bench/band.cpp says how each is read).

The cost: Sonello.exe, driven from outside, side by side with bench_baremci.exe, a program that
only opens and plays the same file through MCI. Each plays the song; after a few seconds to
settle, the CPU time of its process and of the prefix's Wine server (Linux's own counts, /proc)
is taken over 30 s, with nothing else of ours running. The player runs with the band shown and
filling, shown with nothing to fill (a song without lyrics, the network search off), and hidden.
The programs alternate, a round at a time; each figure is the median of the rounds. The X server
and the sound server, when they are this environment's own, are shown beside: drawing costs
the X server too. Last, the player's main window alone, the band's timers stopped
(bench_band.exe): what the player would cost with a band that costs nothing. Then the system's
own floor: the CPU of one push of a tile, and of a SetWindowPos that changes nothing, against
what 1.3x of the bare player leaves the band.

    band.py --build BUILD_DIR --work DIR [ROUNDS]
"""
import argparse
import contextlib
import io
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
from player import Player, wine_path  # noqa: E402
from wine_run import run_windows  # noqa: E402

SONG_SECONDS = 72
EDGE_SECONDS = 60
SETTLE_SECONDS = 3
WINDOW_SECONDS = 30
TICK = os.sysconf("SC_CLK_TCK")

# What each run plays: the row of the song list (band.wav, band.mp3, quiet.wav, quiet.mp3).
CONFIGS = [
    ("bare MCI player", None),
    ("band shown, filling", "band"),
    ("band shown, nothing to fill", "quiet"),
    ("band hidden, filling unseen", "hidden"),
    ("main window alone, no band", "alone"),
]


def make_songs(folder):
    """A tune of steps up and down, as a WAV and an MP3; the quiet ones are the same without lyrics."""
    os.makedirs(folder, exist_ok=True)
    wav = os.path.join(folder, "band.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", str(SONG_SECONDS),
                    "sine", "220:660", "sine", "330:440", "vol", "0.3"], check=True)
    subprocess.run(["lame", "--quiet", "-b", "128", wav, os.path.join(folder, "band.mp3")], check=True)
    for ext in ("wav", "mp3"):
        shutil.copyfile(os.path.join(folder, "band." + ext), os.path.join(folder, "quiet." + ext))


def bench_exe(build, name):
    return os.path.join(build, "bench_%s.exe" % name)


def measure_edge(build, songs, work):
    for ext in ("wav", "mp3"):
        folder = os.path.join(work, "edge-" + ext)
        os.makedirs(folder, exist_ok=True)
        launch = run_windows(bench_exe(build, "band"),
                             ["edge", wine_path(os.path.join(songs, "band." + ext)), SONG_SECONDS, EDGE_SECONDS],
                             cwd=folder, timeout=EDGE_SECONDS + 60)
        sys.stdout.write(launch.out)
        if launch.returncode != 0:
            sys.exit("bench_band: " + launch.describe())
        sys.stdout.flush()


# ---- CPU ---------------------------------------------------------------------------------------

def cpu_seconds(pid):
    """User and system time of a Linux process and all its threads, gone ones included."""
    if pid is None:
        return 0.0
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def environ_of(pid):
    try:
        with open("/proc/%s/environ" % pid, "rb") as f:
            return dict(kv.split(b"=", 1) for kv in f.read().split(b"\0") if b"=" in kv)
    except OSError:
        return {}


def find_process(names, env_key, env_value):
    """The process of one of these names whose environment gives env_key that value."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/comm" % pid) as f:
                if f.read().strip() not in names:
                    continue
        except OSError:
            continue
        if environ_of(pid).get(env_key) == env_value.encode():
            return int(pid)
    return None


def x_server():
    """The X server of this environment's display, when it is a virtual one the scripts start."""
    display = os.environ.get("DISPLAY", "").encode()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                argv = f.read().split(b"\0")
        except OSError:
            continue
        if os.path.basename(argv[0]) == b"Xvfb" and len(argv) > 1 and argv[1] == display:
            return int(pid)
    return None


class Meter:
    """CPU seconds of a program's process and the servers over one window."""

    def __init__(self):
        self.wineserver = find_process({"wineserver", "wineserver64"}, b"WINEPREFIX", os.environ["WINEPREFIX"])
        self.xserver = x_server()
        runtime = os.environ.get("PULSE_RUNTIME_PATH")
        self.sound = find_process({"pulseaudio"}, b"PULSE_RUNTIME_PATH", runtime) if runtime else None

    def window(self, pid):
        pids = [pid, self.wineserver, self.xserver, self.sound]
        before = [cpu_seconds(p) for p in pids]
        time.sleep(WINDOW_SECONDS)
        return [cpu_seconds(p) - b for p, b in zip(pids, before)]


def run_until_playing(command, song, meter, work, cwd=None):
    """Starts a program that says "playing" once it plays the song, and meters it."""
    out_path = os.path.join(work, "program.out")
    with open(out_path, "wb") as out:
        process = subprocess.Popen(["wine"] + command + [wine_path(song), str(SETTLE_SECONDS + WINDOW_SECONDS + 15)],
                                   cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
    try:
        deadline = time.monotonic() + 15
        while b"playing" not in open(out_path, "rb").read():
            if process.poll() is not None or time.monotonic() > deadline:
                sys.exit("%s did not play %s: %r" % (os.path.basename(command[0]), song, open(out_path, "rb").read()))
            time.sleep(0.1)
        time.sleep(SETTLE_SECONDS)
        return meter.window(process.pid)
    finally:
        process.kill()
        process.wait()


def run_player(build, folder, row, shown, meter, work):
    # Each run as the first: the player keeps the band shown across runs, and a click would hide it.
    with contextlib.suppress(FileNotFoundError):
        os.remove(os.path.join(folder, "Sonello.ini"))
    p = Player(os.path.join(build, "Sonello.exe"), os.path.join(build, "sonello_driver.exe"), folder,
               os.path.join(work, "artifacts"))
    try:
        with contextlib.redirect_stdout(io.StringIO()):  # the runner's own log
            p.start()
            if shown:
                p.show_band()
            p.play_row(row)
        time.sleep(SETTLE_SECONDS)
        figures = meter.window(p.process.pid)
        with contextlib.redirect_stdout(io.StringIO()):
            p.close()
        return figures
    finally:
        p.kill()


def player_folder(work, songs, build):
    """A song list of the four songs, the lyrics of band.*, and the network search off."""
    folder = os.path.join(work, "player")
    os.makedirs(os.path.join(folder, "Lrc"), exist_ok=True)
    launch = run_windows(bench_exe(build, "band"), ["lyrics", wine_path(os.path.join(folder, "Lrc", "band.lrc")),
                                                    SONG_SECONDS])
    if launch.returncode != 0:
        sys.exit("bench_band lyrics: " + launch.describe())
    open(os.path.join(folder, "Lrc", "不联网"), "wb").close()
    paths = "".join("<歌曲路径>%s</歌曲路径>" % wine_path(os.path.join(songs, name))
                    for name in ("band.wav", "band.mp3", "quiet.wav", "quiet.mp3"))
    with open(os.path.join(folder, "MySongList.xml"), "wb") as f:
        f.write(("<歌曲列表><列表1><列表名字>默认</列表名字>%s</列表1></歌曲列表>\n" % paths).encode("utf-8"))
    return folder


def measure_cpu(build, songs, work, rounds):
    """Prints the table; gives each program's median seconds (process + Wine server) for the WAV."""
    meter = Meter()
    wav = {}
    folder = player_folder(work, songs, build)
    print("CPU over %d s after %d s of playing, median of %d alternating rounds (process + Wine server):"
          % (WINDOW_SECONDS, SETTLE_SECONDS, rounds))
    for ext_row, ext in enumerate(("wav", "mp3")):
        results = {name: [] for name, _ in CONFIGS}
        for r in range(rounds):
            # Each round in another order, so that no program always follows the same one.
            order = CONFIGS[r % len(CONFIGS):] + CONFIGS[:r % len(CONFIGS)]
            for name, kind in order:
                song = os.path.join(songs, "band." + ext)
                if kind is None:
                    figures = run_until_playing([bench_exe(build, "baremci")], song, meter, work)
                elif kind == "alone":
                    figures = run_until_playing([bench_exe(build, "band"), "alone"], song, meter, work, cwd=folder)
                else:
                    row = ext_row + (2 if kind == "quiet" else 0)
                    figures = run_player(build, folder, row, kind != "hidden", meter, work)
                results[name].append(figures)
        base = statistics.median(f[0] + f[1] for f in results[CONFIGS[0][0]])
        print("  %s%s" % (ext.upper(), " " * 30 + "process  wineserver   together   ratio      X server  sound server"))
        for name, _ in CONFIGS:
            rows = results[name]
            together = statistics.median(f[0] + f[1] for f in rows)
            median = [statistics.median(f[i] for f in rows) for i in range(4)]
            if ext == "wav":
                wav[name] = together
            print("    %-30s %6.2f s  %8.2f s  %8.2f s  %5.2fx   %8s  %12s" % (
                name, median[0], median[1], together, together / base if base else 0,
                "%.2f s" % median[2] if meter.xserver else "-", "%.2f s" % median[3] if meter.sound else "-"))
        sys.stdout.flush()
    return wav


FLOOR_CALLS = 2000
FRAMES_A_SECOND = 25  # the fewest the band may draw while a line fills


def measure_floor(build, wav):
    """The system's own cost of one update of a layered window, against what 1.3x of the bare
    player leaves the band above the main window alone."""
    meter = Meter()
    print("One call, as this system makes it (%d calls; process + Wine server):" % FLOOR_CALLS)
    per_call = {}
    for kind, what in (("push", "a tile of the band pushed, 4 px dirty"),
                       ("place", "a SetWindowPos that changes nothing")):
        before = cpu_seconds(meter.wineserver)
        launch = run_windows(bench_exe(build, "band"), ["floor", kind, FLOOR_CALLS])
        server_us = (cpu_seconds(meter.wineserver) - before) / FLOOR_CALLS * 1e6
        if launch.returncode != 0:
            sys.exit("bench_band floor: " + launch.describe())
        process_us = float(launch.out.split(":")[1].split()[0])
        per_call[kind] = process_us + server_us
        print("    %-40s %6.0f us + %5.0f us = %6.0f us" % (what, process_us, server_us, per_call[kind]))
    bare, alone = wav.get(CONFIGS[0][0]), wav.get(CONFIGS[4][0])
    if bare and alone:
        print("  At %d pushes a second, the pushes alone take %.1f ms of each second; a band at 1.3x the bare"
              " player (WAV) has %.1f ms a second above the main window alone."
              % (FRAMES_A_SECOND, FRAMES_A_SECOND * per_call["push"] / 1000,
                 (1.3 * bare - alone) / WINDOW_SECONDS * 1000))
    sys.stdout.flush()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("rounds", nargs="?", type=int, default=3)
    args = parser.parse_args()
    songs = os.path.join(args.work, "songs")
    make_songs(songs)
    measure_edge(args.build, songs, args.work)
    wav = measure_cpu(args.build, songs, args.work, args.rounds)
    measure_floor(args.build, wav)


if __name__ == "__main__":
    main()
