#!/usr/bin/python3
"""The portable archive as a Windows user meets it: unpacked into a fresh folder it holds the
released player, a note that every Notepad reads and an empty Lrc folder; the player started
from that folder, as a double-click in Explorer starts it, keeps its song lists there.
"""
import argparse
import filecmp
import os
import shutil
import sys
import zipfile

sys.dont_write_bytecode = True
from release_bed import DesktopHolder, Player, wait_until  # noqa: E402


class PortableArchive:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        with zipfile.ZipFile(args.zip) as z:
            self.names = sorted(z.namelist())
            z.extractall(self.work)
        self.p = Player(os.path.join(self.work, "Sonello.exe"), args.driver, self.work, args.artifacts)

    def run_steps(self):
        p = self.p
        p.expect(self.names == ["Lrc/", "Sonello.exe", "说明.txt"], "the archive holds Lrc/, Sonello.exe and 说明.txt")
        p.expect(filecmp.cmp(os.path.join(self.work, "Sonello.exe"), self.args.exe, shallow=False),
                 "its Sonello.exe is the released player")
        p.expect(os.listdir(os.path.join(self.work, "Lrc")) == [], "Lrc is an empty folder")
        with open(os.path.join(self.work, "说明.txt"), "rb") as f:
            note = f.read()
        p.expect(note.startswith(b"\xef\xbb\xbf") and b"\n" not in note.replace(b"\r\n", b""),
                 "说明.txt is UTF-8 with a byte-order mark and CR LF line ends")
        text = note.decode("utf-8")
        p.expect("Sonello.exe" in text and "MySongList.xml" in text and "起始位置" in text,
                 "it tells how to start the player and where it keeps its files")

        p.start()
        song_list = os.path.join(self.work, "MySongList.xml")
        p.expect(wait_until(lambda: os.path.isfile(song_list), 5), "the player writes MySongList.xml beside itself")
        p.show_song_list()
        p.driver("click", "list:1012")  # 新建列表: saved at once
        p.expect(wait_until(lambda: "新建列表2" in (p.song_list_file() or ""), 5), "and saves a new list there")
        p.close()

    def run(self):
        holder = DesktopHolder(self.args.probe)
        try:
            return self.p.run(self.run_steps)
        finally:
            holder.release()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zip", required=True)
    parser.add_argument("--exe", required=True, help="the released Sonello.exe the archive holds")
    parser.add_argument("--driver", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--work", required=True, help="made afresh for this run")
    parser.add_argument("--artifacts", required=True)
    return PortableArchive(parser.parse_args()).run()


if __name__ == "__main__":
    sys.exit(main())
