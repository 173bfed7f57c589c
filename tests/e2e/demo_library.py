#!/usr/bin/python3
"""The demo library as the player meets it: a copy of the build's demo songs and lyrics in a
fresh folder with the song-list file the demo maker writes for it. The player must read that
file, show the list "演示歌曲", play every song (WAV, MP3 and FLAC), go on from each to the next
in list loop mode, and show the first line of each song's lyrics, whatever their encoding (GBK, GBK with a blank line, UTF-8 with a byte-order
mark, UTF-8 without), with its translation beneath it where the file has one. Its own save must give back the demo's file byte for byte, plus the list it adds.
"""
import os
import shutil
import subprocess
import sys

# No byte-code caches beside the sources.
sys.dont_write_bytecode = True

from player import HERE, Failure, Player, run_windows, wine_path, scenario_arguments

sys.path.insert(0, os.path.join(HERE, "..", "..", "demo"))
import make_demo  # noqa: E402


def first_line(song):
    """The first sung line as the band shows it, and its translation ("" for none)."""
    with open(os.path.join(make_demo.HERE, "lyrics", song.name + ".lrc"), encoding="utf-8") as f:
        text = f.read()
    lines = make_demo.sung_lines(text)
    if not lines:
        raise Failure("no timed line in the lyrics of " + song.name)
    return make_demo.shown_text(lines[0]), make_demo.translation(text, lines[0])


class DemoLibrary:
    def __init__(self, args):
        self.work = os.path.abspath(args.work)
        self.demo = os.path.abspath(args.demo)
        shutil.rmtree(self.work, ignore_errors=True)
        shutil.copytree(os.path.join(self.demo, "songs"), os.path.join(self.work, "songs"))
        shutil.copytree(os.path.join(self.demo, "Lrc"), os.path.join(self.work, "Lrc"))
        subprocess.run(["/usr/bin/python3", os.path.join(make_demo.HERE, "make_demo.py"), "--out", self.work,
                        "--list-only"], check=True)
        self.p = Player(args.player, args.driver, self.work, args.artifacts)
        self.paths = [wine_path(os.path.join(self.work, "songs", s.file_name)) for s in make_demo.SONGS]

    def run_steps(self):
        p = self.p
        written = p.song_list_bytes()
        p.start()
        p.expect(p.song_list_bytes() == written, "the player reads the demo's song-list file without rewriting it")
        p.expect(p.driver("lists").splitlines() == ["* 默认", "  演示歌曲"], "the lists box shows 默认 and 演示歌曲")
        p.expect(p.songs() == [], "默认 is empty")
        self.expect_verdicts_fail_at_once()
        p.show_song_list()
        p.driver("select-list", "演示歌曲")
        p.driver("wait-songs", len(self.paths), 3000)
        p.expect(p.songs() == ["  " + path for path in self.paths], "演示歌曲 shows the demo songs in order")
        p.show_band()

        for row, song in enumerate(make_demo.SONGS):
            p.play_row(row)
            # Looked at first: the first lines are sung for less than three seconds.
            line, translated = first_line(song)
            score = p.driver("wait-band-shows", "top", line, 0.9, 4000, check=False)
            p.screenshot(song.name)
            p.expect(float(score or 0) >= 0.9, "the band shows %s's first line %s (match %s)" % (song.name, line, score))
            if translated:
                score = p.driver("band-shows", "bottom", translated)
                p.expect(float(score) >= 0.9, "its translation %s stands beneath it (match %s)" % (translated, score))
            p.expect(p.driver("text", "IDC_PATH") == self.paths[row], "the path label names %s" % song.file_name)
            red = int(p.driver("wait-band-red", 4000, check=False) or 0)
            p.expect(red > 0, "red fills the line being sung (%d pixels)" % red)
            p.expect_time_advances()

        # The list loop through every device: 夏夜 (MP3) ends on "mpegvideo" and 秋月 follows.
        p.driver("click", "IDC_LISTLOOP")
        for row in (1, 2):
            p.play_row(row)
            p.driver("seek-before-end", 1500)
            nxt = (row + 1) % len(self.paths)
            took = p.driver("wait-text", "IDC_PATH", self.paths[nxt], 8000, check=False)
            p.expect(took != "", "the end of %s goes on to %s in list loop mode" % (
                make_demo.SONGS[row].file_name, make_demo.SONGS[nxt].file_name))
            p.driver("wait-text", "IDC_STATUS", "状态:播放", 2000, check=False)

        # The player's own save of the file: the demo's document with a third list added.
        p.driver("click", "IDC_NEWLIST")
        expected = written.decode("utf-8").rstrip("\n").replace(
            "</歌曲列表>", "<列表3><列表名字>新建列表3</列表名字></列表3></歌曲列表>")
        text = p.wait_song_list_file(expected)
        p.expect(text == expected, "the player's own save keeps the demo's file as it was written (it holds %r)" % text)
        p.expect(p.song_list_bytes().endswith(b"\n") == written.endswith(b"\n"),
                 "the demo's file ends as the player's own save does")
        p.close()

    def expect_verdicts_fail_at_once(self):
        """A driver's own verdict fails the scenario at once with its reason: it is never retried."""
        p = self.p
        retries = []
        launch = run_windows(p.driver_exe, ["text", 4242], log=retries.append)
        p.expect(launch.returncode == 2 and launch.err.strip() == "driver: no control 4242" and not retries,
                 "the driver's verdict on a control that does not exist comes back at once (%s)" % launch.describe())
        try:
            p.driver("click", 4242)
            raised = ""
        except Failure as e:
            raised = str(e)
        p.expect("driver: no control 4242" in raised, "the scenario fails with the driver's reason (%r)" % raised)

    def run(self):
        return self.p.run(self.run_steps)


def main():
    return DemoLibrary(scenario_arguments(("--demo", "the build's demo folder"))).run()


if __name__ == "__main__":
    sys.exit(main())
