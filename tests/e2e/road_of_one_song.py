#!/usr/bin/python3
"""The road of one song through the real Sonello.exe, driven only from outside.

The player starts under Wine in a fresh folder; two songs, the second named outside GBK, and a
text file are dropped on its song-list window through the X display's drag and drop; the first
song is played with list repeat, its lyrics appear in the band with their red fill, the second
song follows by itself with the lyrics saved under its own name, Stop stops it, the player goes to the notification area and back, and the close button ends it
cleanly. Screenshots taken on the way are kept in the artefacts folder.

Runs with the environment the test command provides (DISPLAY, WINEPREFIX, sound server).
"""
import os
import shutil
import subprocess
import sys
import time

# No byte-code caches beside the sources.
sys.dont_write_bytecode = True

from player import Player, desktop_has_tray, wine_path, scenario_arguments

FRESH_DOC = "<歌曲列表><列表1><列表名字>默认</列表名字></列表1></歌曲列表>"
SONG_SECONDS = 8
# The first line is sung from 0.3 s to 6.3 s, so until then the band shows lines 1 and 2: long
# enough for the checks on a busy machine, where each run of the driver may take most of a second.
LYRICS = ["[ti:晨曲]", "[ar:Sonello 测试]", "[00:00.30]晨光照进小窗台", "[00:06.30]鸟儿飞过大山来",
          "[00:07.30]新的一天开始了"]
FIRST_LINE, SECOND_LINE = "晨光照进小窗台", "鸟儿飞过大山来"
# The second song's name is outside GBK: its path must stay whole everywhere, its lyrics found by it.
SONG2_NAME = "새벽 Søren"
SONG2_LYRICS = ["[00:00.20]黎明的歌声轻轻响", "[00:07.50]天边亮起了光"]
SONG2_LINE = "黎明的歌声轻轻响"


def make_song(path, semitones):
    """A short pluck tune of our own, one note per step."""
    parts = []
    for i, n in enumerate(semitones):
        part = "%s.%d.wav" % (path, i)
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", part, "synth",
                        str(SONG_SECONDS / len(semitones)), "pluck", "%%%d" % n, "vol", "0.5"], check=True)
        parts.append(part)
    subprocess.run(["sox"] + parts + [path], check=True)
    for part in parts:
        os.remove(part)


class Road:
    def __init__(self, args):
        self.work = os.path.abspath(args.work)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(os.path.join(self.work, "曲库"))
        self.p = Player(args.player, args.driver, self.work, args.artifacts)
        self.song1 = os.path.join(self.work, "曲库", "晨曲.wav")
        self.song2 = os.path.join(self.work, "曲库", SONG2_NAME + ".wav")
        self.note = os.path.join(self.work, "曲库", "说明.txt")
        self.paths = [wine_path(self.song1), wine_path(self.song2)]
        self.tray_seen = False

    def prepare(self):
        make_song(self.song1, [0, 2, 4, 7, 9])
        make_song(self.song2, [7, 4, 2, 0, -3])
        with open(self.note, "w", encoding="utf-8") as f:
            f.write("不是歌曲\n")

    def start(self):
        p = self.p
        p.start()
        text = p.wait_song_list_file(FRESH_DOC)
        p.expect(text == FRESH_DOC, "the fresh MySongList.xml holds exactly the fresh document (it holds %r)" % text)
        p.expect(os.path.isdir(os.path.join(self.work, "Lrc")), "the player made the Lrc folder")
        p.expect(p.driver("lists") == "* 默认", "the lists box shows 默认, selected")
        p.expect(p.songs() == [], "the songs box is empty")
        p.screenshot("started")

    def drop(self):
        p = self.p
        p.expect(p.driver("visible", "list", check=False) == "hidden", "the song list starts hidden")
        p.show_song_list()
        p.drop([self.song1, self.note, self.song2])
        p.driver("wait-songs", 2, 5000)
        p.expect(p.songs() == ["  " + path for path in self.paths],
                 "the songs box shows the two songs in drop order, not the text file")
        self.two_songs = ("<歌曲列表><列表1><列表名字>默认</列表名字><歌曲路径>%s</歌曲路径><歌曲路径>%s</歌曲路径>"
                          "</列表1></歌曲列表>" % tuple(self.paths))
        text = p.wait_song_list_file(self.two_songs)
        p.expect(text == self.two_songs, "MySongList.xml holds the two songs in 默认 (it holds %r)" % text)
        p.screenshot("dropped")

    def play(self):
        p = self.p
        with open(os.path.join(self.work, "Lrc", "晨曲.lrc"), "wb") as f:
            f.write("\r\n".join(LYRICS).encode("gbk") + b"\r\n")
        with open(os.path.join(self.work, "Lrc", SONG2_NAME + ".lrc"), "wb") as f:
            f.write("\r\n".join(SONG2_LYRICS).encode("gbk") + b"\r\n")
        p.driver("click", "IDC_LISTLOOP")
        p.expect(p.driver("text", "IDC_STATUS") == "状态:无", "nothing plays before the double-click")
        # Shown first, so that the lines are looked at as soon as the song has started.
        p.show_band()
        p.play_row(0)
        top = float(p.driver("wait-band-shows", "top", FIRST_LINE, 0.9, 3000, check=False) or 0)
        bottom = float(p.driver("wait-band-shows", "bottom", SECOND_LINE, 0.9, 3000, check=False) or 0)
        wrong = float(p.driver("band-shows", "top", SECOND_LINE))
        p.screenshot("playing")
        p.expect(top >= 0.9, "the band's top line is the first lyric line (match %.3f)" % top)
        p.expect(bottom >= 0.9, "the band's bottom line is the second lyric line (match %.3f)" % bottom)
        p.expect(wrong <= 0.5, "the top line is told apart from another line (match %.3f)" % wrong)
        red = int(p.driver("wait-band-red", 3000))
        p.expect(red > 0, "red shows in the band (%d pixels)" % red)
        p.expect(p.driver("text", "IDC_PATH") == self.paths[0], "the path label names the first song")
        p.expect_time_advances()

    def next_song(self):
        p = self.p
        p.driver("wait-text", "IDC_PATH", self.paths[1], (SONG_SECONDS + 4) * 1000)
        p.log("the path label names the second song")
        p.driver("wait-text", "IDC_STATUS", "状态:播放", 2000)
        p.expect(p.songs() == ["  " + self.paths[0], "* " + self.paths[1]],
                 "after the first song ended the second plays by itself, selected in the songs box")
        match = float(p.driver("wait-band-shows", "top", SONG2_LINE, 0.9, 3000, check=False) or 0)
        p.expect(match >= 0.9, "the band shows the lyrics saved under the song's own name (match %.3f)" % match)
        p.screenshot("second-song")

    def stop(self):
        p = self.p
        p.driver("click", "IDC_STOP")
        p.driver("wait-text", "IDC_STATUS", "状态:停止", 3000)
        p.log("ok: Stop shows 状态:停止")

    def tray(self):
        p = self.p
        if desktop_has_tray():
            p.log("skipped the notification area: the desktop's own holds the icon, out of the driver's sight")
            return
        self.tray_seen = True
        p.expect(p.driver("tray-icons") == "0", "no icon in the notification area yet")
        p.driver("click", "IDC_MINIMIZE")
        p.driver("wait-hidden", "main", 3000)
        # Wine hides a window the window manager looks after only once it lets go: up to two seconds.
        p.expect(p.driver("wait-hidden", "list", 5000, check=False) == "hidden",
                 "the song list goes with the main window")
        icons = p.driver("tray-icons").splitlines()
        p.expect(icons[0] == "1", "the player shows one icon in the notification area")
        p.screenshot("in-tray")
        # A real click of the mouse on the icon, as a user brings the player back.
        x, y, w, h = map(int, icons[1].split())
        subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)
        p.driver("wait-visible", "main", 3000)
        deadline = time.monotonic() + 3
        while p.driver("tray-icons") != "0" and time.monotonic() < deadline:
            time.sleep(0.1)
        p.expect(p.driver("tray-icons") == "0", "a click on the icon brings the window back and removes the icon")

    def close(self):
        p = self.p
        p.close()
        if self.tray_seen:
            p.expect(p.driver("tray-icons") == "0", "no icon is left in the notification area")
        text = p.song_list_file()
        p.expect(text == self.two_songs, "MySongList.xml still holds both songs (it holds %r)" % text)
        p.screenshot("closed")

    def steps(self):
        self.prepare()
        self.start()
        self.drop()
        self.play()
        self.next_song()
        self.stop()
        self.tray()
        self.close()

    def run(self):
        return self.p.run(self.steps)


def main():
    return Road(scenario_arguments()).run()


if __name__ == "__main__":
    sys.exit(main())
