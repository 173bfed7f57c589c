#!/usr/bin/python3
"""Lyrics from the network, with a stand-in for the lyrics service on 127.0.0.1 that the player
is pointed at through SONELLO_LYRICS_URL. Songs without lyric files are played one after the
other while the stand-in answers with synced lyrics (kept as the song's lyric file and shown in
red at once), with 404, only after 10 s, and with a body cut off mid-way; in those the main
window must answer within 0.5 s all along, nothing may be written and the band must say it found
nothing. Ctrl+L switches the search off and on; an answer that comes after its song is kept but
not shown; the player closes at once while a question is still out.
"""
import argparse
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

from player import Player, wine_path  # noqa: E402

SYNCED = "[00:00.50]灯塔亮在海边\n[00:03.00]夜船慢慢回来\n[00:05.50]浪花轻轻拍岸"
RECORD = {"id": 7, "trackName": "灯塔", "artistName": "夜航", "albumName": "海边", "duration": 8.0,
          "instrumental": False, "plainLyrics": "灯塔亮在海边", "syncedLyrics": SYNCED}
NOT_FOUND = {"code": 404, "name": "TrackNotFound", "message": "Failed to find specified track"}


class Service(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    mode = "found"
    asked = []  # (path, query, User-Agent) of each request, in order

    def do_GET(self):
        mode = Service.mode  # as it was when the question came
        url = urllib.parse.urlsplit(self.path)
        Service.asked.append((url.path, dict(urllib.parse.parse_qsl(url.query)), self.headers.get("User-Agent")))
        if mode == "404":
            return self.answer(404, json.dumps(NOT_FOUND).encode())
        body = json.dumps(RECORD if url.path == "/api/get" else [RECORD], ensure_ascii=False).encode()
        if mode in ("slow", "late"):
            time.sleep(10 if mode == "slow" else 5)
        if mode == "cut":
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[:len(body) // 2])
            self.close_connection = True
            return
        self.answer(200, body)

    def answer(self, status, body):
        try:
            self.send_response(status)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        except OSError:
            pass  # the player gave up waiting

    def log_message(self, *args):
        pass


def make_wav(path, seconds, info=None):
    """A quiet tone; info: (title, artist, album) as a LIST/INFO chunk."""
    subprocess.run(["sox", "-n", "-r", "8000", "-c", "1", "-b", "16", path, "synth", str(seconds), "sine", "440",
                    "vol", "0.2"], check=True)
    if info:
        chunk = b"INFO"
        for name, text in zip((b"INAM", b"IART", b"IPRD"), info):
            data = text.encode("gbk") + b"\0"
            chunk += name + len(data).to_bytes(4, "little") + data + b"\0" * (len(data) % 2)
        with open(path, "ab") as f:
            f.write(b"LIST" + len(chunk).to_bytes(4, "little") + chunk)
        with open(path, "r+b") as f:
            f.seek(4)
            f.write((os.path.getsize(path) - 8).to_bytes(4, "little"))


class LyricsSearch:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(os.path.join(self.work, "songs"))
        self.lrc = os.path.join(self.work, "Lrc")
        self.songs = [("灯塔", 8, ("灯塔", "夜航", "海边")), ("夜航 - 空港", 6, None), ("夜航 - 慢船", 13, None),
                      ("夜航 - 断桥", 6, None), ("夜航 - 远方", 6, None), ("夜航 - 归途", 10, None)]
        self.paths = []
        for name, seconds, info in self.songs:
            path = os.path.join(self.work, "songs", name + ".wav")
            make_wav(path, seconds, info)
            self.paths.append(wine_path(path))
        with open(os.path.join(self.work, "MySongList.xml"), "wb") as f:
            f.write(("<歌曲列表><列表1><列表名字>默认</列表名字>%s</列表1></歌曲列表>" % "".join(
                "<歌曲路径>%s</歌曲路径>" % path for path in self.paths)).encode("utf-8"))
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Service)
        self.server.daemon_threads = True
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.p = Player(args.player, args.driver, self.work, args.artifacts)

    def play(self, row, mode):
        Service.mode = mode
        self.asked_before = len(Service.asked)
        self.p.play_row(row)
        return time.monotonic()

    def wait_asked(self, seconds=5):
        deadline = time.monotonic() + seconds
        while len(Service.asked) == self.asked_before and time.monotonic() < deadline:
            time.sleep(0.05)
        return Service.asked[self.asked_before:]

    def lrc_files(self):
        return sorted(os.listdir(self.lrc))

    def band_says(self, text, ms=4000):
        score = float(self.p.driver("wait-band-shows", "message", text, 0.9, ms, check=False) or 0)
        self.p.expect(score >= 0.9, "the band says %s (match %.3f)" % (text, score))

    def ctrl_l(self, said):
        self.p.driver("activate", "main")
        subprocess.run(["xdotool", "key", "ctrl+l"], check=True)
        self.band_says(said, 2000)

    def found(self):
        p = self.p
        started = self.play(0, "found")
        asked = self.wait_asked()
        p.expect([a[:2] for a in asked] == [("/api/get", {"track_name": "灯塔", "artist_name": "夜航",
                                                           "album_name": "海边", "duration": "8"})],
                 "one question names the song by its WAV tags and length: %r" % asked)
        p.log("the player sent GET %s" % urllib.parse.urlunsplit(("", "", asked[0][0], urllib.parse.urlencode(
            asked[0][1], quote_via=urllib.parse.quote), "")))
        p.expect(asked[0][2] == self.args.user_agent, "the User-Agent is %s" % asked[0][2])
        score = float(p.driver("wait-band-shows", "top", "灯塔亮在海边", 0.9, 5000, check=False) or 0)
        p.log("lyrics shown %.2f s after the song started" % (time.monotonic() - started))
        p.expect(score >= 0.9, "the band shows the fetched first line (match %.3f)" % score)
        p.expect(int(p.driver("wait-band-red", 4000, check=False) or 0) > 0, "red fills the line being sung")
        p.screenshot("found")
        with open(os.path.join(self.lrc, "灯塔.lrc"), "rb") as f:
            kept = f.read()
        want = "\ufeff[ti:灯塔]\r\n[ar:夜航]\r\n[al:海边]\r\n" + SYNCED.replace("\n", "\r\n") + "\r\n"
        p.expect(kept == want.encode("utf-8"), "the answer is kept as UTF-8 with its header tags: %r" % kept)

    def switched_off_and_on(self):
        p = self.p
        self.ctrl_l("联网搜索歌词：已关闭")
        p.expect(os.path.exists(os.path.join(self.lrc, "不联网")), "off is remembered as Lrc\\不联网")
        self.play(1, "404")
        self.band_says("没有找到歌词")
        p.expect(self.wait_asked(1.5) == [], "nothing is asked while the search is off")
        self.ctrl_l("联网搜索歌词：已开启")
        p.expect(not os.path.exists(os.path.join(self.lrc, "不联网")), "on again removes Lrc\\不联网")
        p.expect(len(self.wait_asked()) > 0, "the song playing without lyrics is searched once the search is on")
        self.nothing_kept("404")

    def nothing_kept(self, what, seconds=2):
        p = self.p
        longest = p.driver("responsive", seconds * 1000, 500)
        p.log("the main window answered within %s ms at worst" % longest)
        self.band_says("没有找到歌词")
        p.expect(self.lrc_files() == ["灯塔.lrc"], "%s: nothing is written (Lrc holds %r)" % (what, self.lrc_files()))

    def failures(self):
        self.play(2, "slow")
        self.p.expect(len(self.wait_asked()) == 1, "the question for the slow answer is out")
        self.band_says("正在从网络搜索歌词.........", 2000)
        self.nothing_kept("an answer after 10 s", 11)
        self.play(3, "cut")
        self.nothing_kept("a body cut off mid-way")

    def answer_after_its_song(self):
        p = self.p
        self.play(4, "late")
        p.expect(len(self.wait_asked()) == 1, "the question for 远方 is out")
        asked = len(Service.asked)
        self.play(1, "404")  # 空港 again
        kept = os.path.join(self.lrc, "夜航 - 远方.lrc")
        deadline = time.monotonic() + 7
        while not os.path.exists(kept) and time.monotonic() < deadline:
            time.sleep(0.1)
        p.expect(os.path.exists(kept), "an answer that comes after its song has gone is kept for that song")
        self.band_says("没有找到歌词")
        p.expect(len(Service.asked) == asked, "a song searched before in this run is not asked for again")

    def close_while_asking(self):
        p = self.p
        self.play(5, "slow")
        p.expect(len(self.wait_asked()) == 1, "a question is out")
        start = time.monotonic()
        p.close()
        # Well before the question's 8 s are up: closing does not wait for it.
        p.expect(time.monotonic() - start < 5, "the player ends at once (%.2f s)" % (time.monotonic() - start))

    def steps(self):
        self.p.start(lyrics_url="http://127.0.0.1:%d" % self.server.server_address[1])
        self.p.show_song_list()
        self.p.show_band()
        self.found()
        self.switched_off_and_on()
        self.failures()
        self.answer_after_its_song()
        self.close_while_asking()

    def run(self):
        try:
            return self.p.run(self.steps)
        finally:
            self.server.shutdown()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--player", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--user-agent", required=True, help="Sonello/<version> (<home page>)")
    parser.add_argument("--work", required=True, help="made afresh for this run")
    parser.add_argument("--artifacts", required=True)
    return LyricsSearch(parser.parse_args()).run()


if __name__ == "__main__":
    sys.exit(main())
