#!/usr/bin/python3
"""Lyrics from the network, from a stand-in for the lyrics service on 127.0.0.1 (SONELLO_LYRICS_URL):
synced lyrics kept and shown at once; 404, an answer after 10 s and a body cut off mid-way with the
main window answering within 0.5 s and nothing written; Ctrl+N; an answer that comes after its
song; closing while a question is out."""
import http.server
import json
import os
import shutil
import subprocess
import sys
import threading
import time
import urllib.parse

# No byte-code caches beside the sources.
sys.dont_write_bytecode = True

from player import Player, wine_path, scenario_arguments  # noqa: E402

SYNCED = "[00:00.50]灯塔亮在海边\n[00:03.00]夜船慢慢回来\n[00:05.50]浪花轻轻拍岸"
RECORD = {"trackName": "灯塔", "artistName": "夜航", "albumName": "海边", "duration": 8.0, "instrumental": False,
          "plainLyrics": "灯塔亮在海边", "syncedLyrics": SYNCED}
NOTHING = "没有找到歌词"


class Service(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    mode = "found"
    asked = []  # (path, query, User-Agent) of each request

    def do_GET(self):
        mode = Service.mode  # as it was when the question came
        url = urllib.parse.urlsplit(self.path)
        Service.asked.append((url.path, dict(urllib.parse.parse_qsl(url.query)), self.headers.get("User-Agent")))
        body = json.dumps({"code": 404} if mode == "404" else RECORD if url.path == "/api/get" else [RECORD],
                          ensure_ascii=False).encode()
        time.sleep({"slow": 10, "late": 5}.get(mode, 0))
        try:
            self.send_response(404 if mode == "404" else 200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[:len(body) // 2] if mode == "cut" else body)
        except OSError:
            pass  # the player gave up waiting
        self.close_connection = True

    def log_message(self, *args):
        pass


def until(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.05)
    return condition()


class LyricsSearch:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(os.path.join(self.work, "songs"))
        self.lrc = os.path.join(self.work, "Lrc")
        paths = []
        # 空港 and 断桥 play through several steps each: long enough for a busy machine.
        for name, seconds in [("灯塔", 8), ("空港", 20), ("慢船", 13), ("断桥", 16), ("远方", 6), ("归途", 10)]:
            paths.append(os.path.join(self.work, "songs", "夜航 - %s.wav" % name))
            subprocess.run(["sox", "-n", "-r", "8000", "-c", "1", "-b", "16", paths[-1], "synth", str(seconds), "sine",
                            "440", "vol", "0.2"], check=True)
        with open(os.path.join(self.work, "MySongList.xml"), "wb") as f:
            f.write(("<歌曲列表><列表1><列表名字>默认</列表名字>%s</列表1></歌曲列表>" % "".join(
                "<歌曲路径>%s</歌曲路径>" % wine_path(path) for path in paths)).encode("utf-8"))
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Service)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.p = Player(args.player, args.driver, self.work, args.artifacts)

    def play(self, row, mode):
        Service.mode = mode
        self.before = len(Service.asked)
        self.p.play_row(row)

    def wait_asked(self, seconds=5):
        until(lambda: len(Service.asked) > self.before, seconds)
        return Service.asked[self.before:]

    def band_says(self, text, ms=4000, slot="message"):
        score = float(self.p.driver("wait-band-shows", slot, text, 0.9, ms, check=False) or 0)
        self.p.expect(score >= 0.9, "the band shows %s (match %.3f)" % (text, score))

    def ctrl_n(self, said, off):
        self.p.driver("activate", "main")
        subprocess.run(["xdotool", "key", "ctrl+n"], check=True)
        self.band_says(said, 2000)
        self.p.expect(os.path.exists(os.path.join(self.lrc, "不联网")) == off, "Lrc\\不联网 is there exactly while off")

    def found(self):
        p = self.p
        self.play(0, "found")
        started = time.monotonic()
        asked = self.wait_asked()
        p.log("the player sent GET %s?%s" % (asked[0][0], urllib.parse.urlencode(asked[0][1])))
        p.expect([a[:2] for a in asked] == [("/api/get", {"track_name": "灯塔", "artist_name": "夜航", "duration": "8"})],
                 "one question names the song by its file name and length")
        p.expect(asked[0][2] == self.args.user_agent, "the User-Agent is " + asked[0][2])
        self.band_says("灯塔亮在海边", 5000, "top")
        p.log("lyrics shown %.2f s after the song started" % (time.monotonic() - started))
        p.expect(int(p.driver("wait-band-red", 4000, check=False) or 0) > 0, "red fills the line being sung")
        p.screenshot("found")
        with open(os.path.join(self.lrc, "夜航 - 灯塔.lrc"), "rb") as f:
            kept = f.read()
        want = "\ufeff[ti:灯塔]\r\n[ar:夜航]\r\n[al:海边]\r\n" + SYNCED.replace("\n", "\r\n") + "\r\n"
        p.expect(kept == want.encode("utf-8"), "the answer is kept as UTF-8 with its header tags")

    def nothing_kept(self, what, seconds=2):
        self.p.log("the main window answered within %s ms at worst" % self.p.driver("responsive", seconds * 1000, 500))
        self.band_says(NOTHING)
        files = sorted(os.listdir(self.lrc))
        self.p.expect(files == ["夜航 - 灯塔.lrc"], "%s: nothing is written (Lrc holds %r)" % (what, files))

    def steps(self):
        p = self.p
        p.start(lyrics_url="http://127.0.0.1:%d" % self.server.server_address[1])
        p.show_song_list()
        p.show_band()
        self.found()

        self.ctrl_n("联网搜索歌词：已关闭", True)
        self.play(1, "404")
        self.band_says(NOTHING)
        p.expect(self.wait_asked(1.5) == [], "nothing is asked while the search is off")
        self.ctrl_n("联网搜索歌词：已开启", False)
        p.expect(len(self.wait_asked()) > 0, "once on again, the song playing without lyrics is searched")
        self.nothing_kept("404")

        self.play(2, "slow")
        p.expect(len(self.wait_asked()) == 1, "the question for the slow answer is out")
        self.band_says("正在从网络搜索歌词.........", 2000)
        self.nothing_kept("an answer after 10 s", 11)
        self.play(3, "cut")
        self.nothing_kept("a body cut off mid-way")

        self.play(4, "late")
        p.expect(len(self.wait_asked()) == 1, "the question for 远方 is out")
        asked = len(Service.asked)
        self.play(1, "404")  # 空港 again
        p.expect(until(lambda: os.path.exists(os.path.join(self.lrc, "夜航 - 远方.lrc")), 7),
                 "an answer that comes after its song has gone is kept for that song")
        self.band_says(NOTHING)
        p.expect(len(Service.asked) == asked, "but not shown, and a song searched before in this run is not asked again")

        self.play(5, "slow")
        p.expect(len(self.wait_asked()) == 1, "a question is out")
        start = time.monotonic()
        p.close()
        # Well before the question's 8 s are up: closing does not wait for it.
        p.expect(time.monotonic() - start < 5, "the player ends at once (%.2f s)" % (time.monotonic() - start))


def main():
    search = LyricsSearch(scenario_arguments(("--user-agent", "Sonello/<version> (<home page>)")))
    try:
        return search.p.run(search.steps)
    finally:
        search.server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
