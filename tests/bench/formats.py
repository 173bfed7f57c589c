#!/usr/bin/python3
"""The same song as WAV (played by MCI's "waveaudio"), FLAC, M4A and Opus (played through Media
Foundation and wave-out), in the real Sonello.exe with the lyric band shown, side by side:

- the player's CPU seconds per minute of music (its Linux process under Wine, all its threads;
  Wine's server alongside), over a stretch of each song, in rounds that take the formats in turn;
- the time from the double-click to sound on the sound server's sink. It includes the wait for
  the main window's one-second tick, which starts a requested song (0 to 1 s), and the driver's
  own exit after the click (the click time is taken when the driver has returned).

    formats.py --player EXE --driver EXE --work DIR [rounds] [seconds]
"""
import argparse
import array
import os
import statistics
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from player import Player, wine_path  # noqa: E402

FORMATS = ["wav", "flac", "m4a", "opus"]
SONG_SECONDS = 50
RATE = 8000
CHUNK = 80  # 10 ms of the sink's monitor


def make_songs(folder):
    wav = os.path.join(folder, "bench.wav")
    # A sweep over noise: something for the codecs to work on, like music and unlike silence.
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", str(SONG_SECONDS),
                    "sine", "220-880", "pinknoise", "vol", "0.4"], check=True)
    paths = {"wav": wav}
    for ext in ("flac",):
        paths[ext] = os.path.join(folder, "bench." + ext)
        subprocess.run(["sox", wav, paths[ext]], check=True)
    gst = ["gst-launch-1.0", "-q", "filesrc", "location=" + wav, "!", "wavparse", "!", "audioconvert", "!"]
    paths["m4a"] = os.path.join(folder, "bench.m4a")
    subprocess.run(gst + ["avenc_aac", "!", "mp4mux", "!", "filesink", "location=" + paths["m4a"]], check=True)
    paths["opus"] = os.path.join(folder, "bench.opus")
    subprocess.run(gst + ["audioresample", "!", "opusenc", "!", "oggmux", "!", "filesink",
                          "location=" + paths["opus"]], check=True)
    return paths


def write_lyrics(work):
    """One lyric file serves all four: their base name is the same."""
    os.makedirs(os.path.join(work, "Lrc"), exist_ok=True)
    lines = ["[ti:基准]"] + ["[%02d:%05.2f]第%d行歌词在这里慢慢唱" % (t // 60, t % 60, i)
                            for i, t in enumerate(range(0, SONG_SECONDS, 2))]
    with open(os.path.join(work, "Lrc", "bench.lrc"), "wb") as f:
        f.write("\r\n".join(lines).encode("gbk") + b"\r\n")


def process_cpu(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def find_process(name):
    """The Linux process of a Windows program (or Wine's server) of this environment's prefix."""
    mark = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", "")).encode()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/comm" % pid) as f:
                comm = f.read().strip()
            with open("/proc/%s/environ" % pid, "rb") as f:
                environ = f.read().split(b"\0")
        except OSError:
            continue
        if comm.startswith(name) and mark in environ:
            return int(pid)
    return None


class SinkListener:
    """Reads the sink's monitor, keeping the time and loudness of each 10 ms."""

    def __init__(self):
        sink = subprocess.run(["pactl", "get-default-sink"], stdout=subprocess.PIPE, check=True).stdout.decode()
        self.proc = subprocess.Popen(["parec", "-d", sink.strip() + ".monitor", "--raw", "--format=s16le",
                                      "--channels=1", "--rate=%d" % RATE, "--latency-msec=10"],
                                     stdout=subprocess.PIPE)
        self.chunks = []
        self.thread = threading.Thread(target=self.read, daemon=True)
        self.thread.start()

    def read(self):
        while True:
            data = self.proc.stdout.read(CHUNK * 2)
            if len(data) < CHUNK * 2:
                return
            samples = array.array("h", data)
            self.chunks.append((time.monotonic(), (sum(s * s for s in samples) / CHUNK) ** 0.5))

    def sound_after(self, t, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for when, rms in list(self.chunks):
                if when > t and rms > 300:
                    return when
            time.sleep(0.02)
        return None

    def close(self):
        self.proc.kill()
        self.proc.wait()


def main():
    parser = argparse.ArgumentParser()
    for name in ("player", "driver", "work"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("rounds", nargs="?", type=int, default=2)
    parser.add_argument("seconds", nargs="?", type=int, default=20)
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    os.makedirs(os.path.join(work, "songs"), exist_ok=True)
    songs = make_songs(os.path.join(work, "songs"))
    write_lyrics(work)
    p = Player(args.player, args.driver, work, os.path.join(work, "artifacts"))
    p.log = lambda message: None
    cpu = {ext: [] for ext in FORMATS}
    server = {ext: [] for ext in FORMATS}
    to_sound = {ext: [] for ext in FORMATS}
    listener = SinkListener()
    try:
        p.start()
        p.show_song_list()
        p.drop([songs[ext] for ext in FORMATS])
        p.driver("wait-songs", len(FORMATS), 5000)
        p.show_band()
        pid, server_pid = find_process("Sonello.exe"), find_process("wineserver")
        for _ in range(args.rounds):
            for row, ext in enumerate(FORMATS):
                p.driver("click", "IDC_STOP")
                time.sleep(0.5)
                p.driver("dblclick-song", row)
                clicked = time.monotonic()
                heard = listener.sound_after(clicked)
                p.driver("wait-text", "IDC_PATH", wine_path(songs[ext]), 3000)
                to_sound[ext].append((heard - clicked) * 1000 if heard else float("nan"))
                time.sleep(1)
                c0, s0, t0 = process_cpu(pid), process_cpu(server_pid) if server_pid else 0, time.monotonic()
                time.sleep(args.seconds)
                c1, s1, t1 = process_cpu(pid), process_cpu(server_pid) if server_pid else 0, time.monotonic()
                cpu[ext].append((c1 - c0) / (t1 - t0) * 60)
                server[ext].append((s1 - s0) / (t1 - t0) * 60)
        p.driver("click", "IDC_STOP")
        p.close()
    finally:
        listener.close()
        p.kill()

    print("%d rounds, %d s of each song per round, lyric band shown; load average %s" %
          (args.rounds, args.seconds, open("/proc/loadavg").read().split()[0]))
    print("%-6s %-30s %14s %12s %16s" % ("format", "played by", "CPU s/min", "x WAV", "wineserver s/min"))
    base = statistics.median(cpu["wav"])
    for ext in FORMATS:
        engine = "MCI waveaudio" if ext == "wav" else "Media Foundation + wave-out"
        c = statistics.median(cpu[ext])
        print("%-6s %-30s %14.2f %12.2f %16.2f" % (ext, engine, c, c / base if base else 0,
                                                  statistics.median(server[ext])))
    print("double-click to sound, ms (median, then each run; includes the wait for the one-second tick)")
    for ext in FORMATS:
        print("%-6s %8.0f   %s" % (ext, statistics.median(to_sound[ext]),
                                   " ".join("%.0f" % v for v in to_sound[ext])))


if __name__ == "__main__":
    main()
