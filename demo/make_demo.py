#!/usr/bin/python3
"""Makes the demo library in a folder of the build: short songs of our own, synthesised with sox
(one encoded to MP3 with lame, one to FLAC by sox), their lyric files under Lrc\\, and
MySongList.xml with the lists "默认" (empty) and "演示歌曲" holding the songs as Wine sees their
paths.

    make_demo.py --out DIR             songs, lyrics and the song-list file
    make_demo.py --out DIR --list-only only the song-list file (its paths follow DIR)

The lyric texts live beside this script in lyrics/, in UTF-8; each is written in the encoding
its song names below.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RATE = 44100

NOTE_STEPS = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}


def semitones(note):
    """Semitones from A4 (440 Hz), the way sox's '%' frequencies count, for e.g. 'F#4'."""
    m = re.fullmatch(r"([A-G])(#?)(\d)", note)
    if not m:
        raise ValueError("bad note " + note)
    return NOTE_STEPS[m.group(1)] + (1 if m.group(2) else 0) + 12 * (int(m.group(3)) - 4)


class Song:
    def __init__(self, name, ext, encoding, bpm, intro, phrases, tail, bass, voice):
        self.name = name          # also the lyric file's name: Lrc\<name>.lrc
        self.ext = ext
        self.encoding = encoding  # of the lyric file as the player gets it
        self.bpm = bpm
        self.intro = intro        # beats before the first phrase
        self.phrases = phrases    # one lyric line each: "NOTE:beats ..." with R for a rest
        self.tail = tail          # beats after the last phrase
        self.bass = bass          # one low note per phrase
        self.voice = voice        # sox synth type of the tune

    @property
    def file_name(self):
        return self.name + "." + self.ext

    @property
    def beat(self):
        return 60.0 / self.bpm

    def phrase_beats(self, phrase):
        return sum(float(tok.split(":")[1]) for tok in phrase.split())

    @property
    def seconds(self):
        beats = self.intro + sum(self.phrase_beats(p) for p in self.phrases) + self.tail
        return beats * self.beat

    def phrase_starts(self):
        t, starts = self.intro * self.beat, []
        for p in self.phrases:
            starts.append(t)
            t += self.phrase_beats(p) * self.beat
        return starts

    def note_starts(self, phrase, start):
        t, starts = start, []
        for tok in phrase.split():
            starts.append(t)
            t += float(tok.split(":")[1]) * self.beat
        return starts


# Major pentatonic tunes; every phrase carries one lyric line.
SONGS = [
    # Its lyrics are word-timed: a stamp on each note.
    Song("春风", "wav", "gbk", 80, 1,
         ["E4:1 G4:1 A4:1 C5:2", "A4:1 G4:1 E4:2", "D4:1 E4:1 G4:1 A4:1", "G4:1 E4:1 D4:2",
          "C4:1 D4:1 E4:0.5 G4:0.5 C4:1"],
         2, ["C3", "A2", "D3", "G2", "C3"], "pluck"),
    # Its lyric file has a blank line between the tags and the lines.
    Song("夏夜", "mp3", "gbk", 90, 2,
         ["G4:1 A4:1 B4:1 D5:1", "E5:1 D5:1 B4:2", "A4:1 B4:1 D5:1 B4:1", "A4:1 G4:1 E4:2",
          "D4:1 E4:1 G4:1 A4:1", "B4:1 A4:1 G4:2"],
         2, ["G2", "E2", "D3", "C3", "G2", "G2"], "pluck"),
    # A waltz in FLAC, which plays through Media Foundation; its lyric file is UTF-8 with a
    # byte-order mark.
    Song("秋月", "flac", "utf-8-sig", 72, 2,
         ["D4:1 F#4:1 A4:1", "B4:2 A4:1", "F#4:1 E4:1 D4:1", "E4:2 R:1",
          "A4:1 B4:1 D5:1", "B4:1 A4:1 F#4:1", "E4:1 F#4:1 E4:1", "D4:3"],
         1, ["D3", "G2", "B2", "A2", "D3", "B2", "A2", "D3"], "pluck"),
    # Bilingual: a word-timed Japanese original, each line followed by its Chinese translation
    # with the same stamp; UTF-8 without a byte-order mark.
    Song("星の歌", "wav", "utf-8", 84, 1,
         ["E4:1 G4:1 A4:3", "B4:1 A4:1 G4:2", "A4:1 B4:1 D5:2", "E4:1 G4:1 E4:2"],
         2, ["A2", "E2", "D3", "A2"], "pluck"),
]


def run(cmd):
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)


def tone(path, seconds, note, voice, volume):
    if note == "R":
        run(["sox", "-n", "-r", str(RATE), "-c", "1", "-b", "16", path, "trim", "0", "%.4f" % seconds])
        return
    # A short fade at both ends keeps the joins between notes from clicking.
    run(["sox", "-n", "-r", str(RATE), "-c", "1", "-b", "16", path,
         "synth", "%.4f" % seconds, voice, "%%%d" % semitones(note),
         "fade", "q", "0.01", "%.4f" % seconds, "%.4f" % min(0.3, seconds / 2), "vol", str(volume)])


def concat(paths, out):
    run(["sox"] + paths + [out])


def render(song, out_path, scratch):
    beat = song.beat
    tune, low = [], []
    n = 0

    def add(parts, seconds, note, voice, volume):
        nonlocal n
        n += 1
        path = os.path.join(scratch, "%03d.wav" % n)
        tone(path, seconds, note, voice, volume)
        parts.append(path)

    add(tune, song.intro * beat, "R", "", 0)
    add(low, song.intro * beat, "R", "", 0)
    for phrase, bass in zip(song.phrases, song.bass):
        for tok in phrase.split():
            note, beats = tok.split(":")
            add(tune, float(beats) * beat, note, song.voice, 0.6)
        add(low, song.phrase_beats(phrase) * beat, bass, "sine", 0.25)
    add(tune, song.tail * beat, "R", "", 0)
    add(low, song.tail * beat, song.bass[0], "sine", 0.25)

    tune_path, low_path = os.path.join(scratch, "tune.wav"), os.path.join(scratch, "low.wav")
    concat(tune, tune_path)
    concat(low, low_path)
    wav = out_path if song.ext == "wav" else os.path.join(scratch, "mix.wav")
    # Rounded note lengths may fall a little short of the whole: pad, then cut to the exact length.
    run(["sox", "-V1", "-m", tune_path, low_path, "-r", str(RATE), "-c", "2", "-b", "16", wav,
         "reverb", "25", "pad", "0", "1", "trim", "0", "%.3f" % song.seconds, "gain", "-n", "-3"])
    if song.ext == "mp3":
        run(["lame", "--quiet", "-b", "128", wav, out_path])
    elif song.ext == "flac":
        run(["sox", wav, out_path])


TIME_TAG = re.compile(r"^\[(\d+):(\d+(?:\.\d+)?)\]")
WORD_TAG = re.compile(r"<(\d+):(\d+(?:\.\d+)?)>")


def shown_text(line):
    """A timed line as the band shows it: without its stamps."""
    m = TIME_TAG.match(line)
    return WORD_TAG.sub("", line[m.end():] if m else line).strip()


def word_times(line):
    return [int(m.group(1)) * 60 + float(m.group(2)) for m in WORD_TAG.finditer(line)]


def sung_lines(text):
    """The timed lines that are sung: a later line with the same stamp is a translation."""
    lines, stamps = [], set()
    for line in text.splitlines():
        m = TIME_TAG.match(line)
        if m and m.group(0) not in stamps:
            stamps.add(m.group(0))
            lines.append(line)
    return lines


def translation(text, line):
    """The first line after the sung one with its stamp, shown as the band shows it; "" for none."""
    stamp = TIME_TAG.match(line).group(0)
    later = [l for l in text.splitlines() if l.startswith(stamp) and l != line]
    return shown_text(later[0]) if later else ""


def lyric_times(text):
    return [int(m.group(1)) * 60 + float(m.group(2)) for m in (TIME_TAG.match(line) for line in sung_lines(text))]


def check_lyrics(song, text):
    """The lines must follow the tune: one per phrase, the first within 2 s, every 2 to 4 s."""
    times = lyric_times(text)
    problems = []
    if len(times) != len(song.phrases):
        problems.append("%d lines for %d phrases" % (len(times), len(song.phrases)))
    for t, start in zip(times, song.phrase_starts()):
        if abs(t - start) > 0.02:
            problems.append("line at %.2f s, phrase at %.2f s" % (t, start))
    if times and times[0] >= 2.0:
        problems.append("first line at %.2f s" % times[0])
    for a, b in zip(times, times[1:]):
        if not 2.0 <= b - a <= 4.0:
            problems.append("%.2f s between lines at %.2f and %.2f" % (b - a, a, b))
    if times and times[-1] >= song.seconds:
        problems.append("last line after the song's end")
    # Word stamps fall on the notes of their line's phrase.
    for line, phrase, start in zip(sung_lines(text), song.phrases, song.phrase_starts()):
        notes = song.note_starts(phrase, start)
        for t in word_times(line):
            if not any(abs(t - n) <= 0.01 for n in notes):
                problems.append("word at %.2f s on no note of the phrase at %.2f s" % (t, start))
    if problems:
        sys.exit("make_demo: lyrics of %s: %s" % (song.name, "; ".join(problems)))


def write_lyrics(song, lrc_dir):
    with open(os.path.join(HERE, "lyrics", song.name + ".lrc"), encoding="utf-8") as f:
        text = f.read()
    check_lyrics(song, text)
    data = text.replace("\r\n", "\n").replace("\n", "\r\n").encode(song.encoding)
    with open(os.path.join(lrc_dir, song.name + ".lrc"), "wb") as f:
        f.write(data)


def wine_path(unix_path):
    """Wine shows the Linux root as drive Z:."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def xml_text(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def write_song_list(out_dir):
    """In the player's own form: UTF-8, no declaration, no whitespace between elements, and the
    line break its DOM writes after the root element."""
    songs = "".join("<歌曲路径>%s</歌曲路径>" % xml_text(wine_path(os.path.join(out_dir, "songs", s.file_name)))
                    for s in SONGS)
    doc = ("<歌曲列表><列表1><列表名字>默认</列表名字></列表1>"
           "<列表2><列表名字>演示歌曲</列表名字>%s</列表2></歌曲列表>\n" % songs)
    with open(os.path.join(out_dir, "MySongList.xml"), "wb") as f:
        f.write(doc.encode("utf-8"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--list-only", action="store_true")
    args = parser.parse_args()
    out_dir = os.path.abspath(args.out)
    songs_dir, lrc_dir = os.path.join(out_dir, "songs"), os.path.join(out_dir, "Lrc")
    os.makedirs(songs_dir, exist_ok=True)
    os.makedirs(lrc_dir, exist_ok=True)
    if not args.list_only:
        for song in SONGS:
            write_lyrics(song, lrc_dir)
            scratch = tempfile.mkdtemp(prefix="sonello-demo-")
            try:
                render(song, os.path.join(songs_dir, song.file_name), scratch)
            finally:
                shutil.rmtree(scratch, ignore_errors=True)
    write_song_list(out_dir)


if __name__ == "__main__":
    main()
