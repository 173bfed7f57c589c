#!/usr/bin/python3
"""FLAC, M4A, Ogg Vorbis, Opus and an MP3 the MCI device refuses, through the real Sonello.exe.

Run with Wine's "mpegvideo" switched off (WINEDLLOVERRIDES=mciqtz32=d, set by CTest), as on a
Windows whose DirectShow reads none of them: only Media Foundation can play them. The songs are
dropped on the song list with a text file; in list-loop mode each plays (the status, the time
and sound on the sound server's sink) and its end starts the next, the last wrapping to the
first.
"""
import array
import os
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True

from player import Player, wine_path, scenario_arguments  # noqa: E402

SECONDS = 6


def make_songs(folder):
    """One tune of our own, encoded five ways; returns the paths in drop order."""
    wav = os.path.join(folder, "tune.wav")
    parts = []
    for i, n in enumerate([0, 4, 7, 12]):
        part = os.path.join(folder, "part%d.wav" % i)
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", part, "synth", str(SECONDS / 4),
                        "pluck", "%%%d" % n, "vol", "0.6"], check=True)
        parts.append(part)
    subprocess.run(["sox"] + parts + [wav], check=True)
    songs = [os.path.join(folder, name) for name in ("一.flac", "二.m4a", "三.ogg", "四.opus", "五.mp3")]
    subprocess.run(["sox", wav, songs[0]], check=True)
    gst = ["gst-launch-1.0", "-q", "filesrc", "location=" + wav, "!", "wavparse", "!", "audioconvert", "!"]
    subprocess.run(gst + ["avenc_aac", "!", "mp4mux", "!", "filesink", "location=" + songs[1]], check=True)
    subprocess.run(["sox", wav, songs[2]], check=True)
    subprocess.run(gst + ["audioresample", "!", "opusenc", "!", "oggmux", "!", "filesink", "location=" + songs[3]],
                   check=True)
    subprocess.run(["lame", "--quiet", "-b", "128", wav, songs[4]], check=True)
    for part in parts + [wav]:
        os.remove(part)
    return songs


def sink_loudness(seconds=1.0, window=0.25):
    """The RMS of the loudest quarter-second the sound server's sink plays in a second, 0 to
    32767: a busy machine may start the sound late or let the device run dry for a moment."""
    sink = subprocess.run(["pactl", "get-default-sink"], stdout=subprocess.PIPE, check=True,
                          timeout=10).stdout.decode().strip()
    rec = subprocess.Popen(["parec", "-d", sink + ".monitor", "--raw", "--format=s16le", "--channels=1",
                            "--rate=8000"], stdout=subprocess.PIPE)
    try:
        data = rec.stdout.read(int(8000 * seconds) * 2)
    finally:
        rec.kill()
        rec.wait()
    samples = array.array("h", data[:len(data) // 2 * 2])
    step = int(8000 * window)
    windows = [samples[i:i + step] for i in range(0, len(samples), step)] or [samples]
    return max((sum(s * s for s in w) / len(w)) ** 0.5 if w else 0.0 for w in windows)


class NewFormats:
    def __init__(self, args):
        self.work = os.path.abspath(args.work)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(os.path.join(self.work, "曲库"))
        self.p = Player(args.player, args.driver, self.work, args.artifacts)

    def steps(self):
        p = self.p
        songs = make_songs(os.path.join(self.work, "曲库"))
        note = os.path.join(self.work, "曲库", "说明.txt")
        with open(note, "w", encoding="utf-8") as f:
            f.write("不是歌曲\n")
        paths = [wine_path(s) for s in songs]
        p.start()
        p.show_song_list()
        p.drop(songs[:2] + [note] + songs[2:])
        p.driver("wait-songs", len(songs), 5000)
        p.expect(p.songs() == ["  " + path for path in paths], "the five songs are listed in drop order, not the text")
        p.driver("click", "IDC_LISTLOOP")
        p.play_row(0)
        for row in list(range(len(paths))) + [0]:
            p.driver("wait-text", "IDC_PATH", paths[row], (SECONDS + 3) * 1000)
            # Heard at once: on a busy machine each driver command takes a while.
            loud = sink_loudness()
            p.expect(loud > 300, "the sink plays %s's sound (RMS %.0f)" % (os.path.basename(songs[row]), loud))
            p.driver("wait-text", "IDC_STATUS", "状态:播放", 2000)
            p.log("%s plays" % os.path.basename(songs[row]))
            if row == 0 and p.driver("text", "IDC_PATH") == paths[0]:
                p.expect_time_advances()
        p.screenshot("wrapped")
        p.driver("click", "IDC_STOP")
        p.driver("wait-text", "IDC_STATUS", "状态:停止", 3000)
        loud = sink_loudness()
        p.expect(loud < 50, "Stop silences the sink (RMS %.0f)" % loud)
        p.close()

    def run(self):
        return self.p.run(self.steps)


def main():
    return NewFormats(scenario_arguments()).run()


if __name__ == "__main__":
    sys.exit(main())
