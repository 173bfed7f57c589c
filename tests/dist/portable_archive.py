#!/usr/bin/python3
"""The portable archive as a Windows user meets it: unpacked into a fresh folder it holds the
released player, a note every Notepad reads and an empty Lrc folder; the player started from
that folder, as a double-click in Explorer starts it, keeps its song lists there.
"""
import argparse
import filecmp
import os
import shutil
import sys
import zipfile

sys.dont_write_bytecode = True
from release_bed import Player, wait_until  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    for name in ("zip", "exe", "driver", "work", "artifacts"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    with zipfile.ZipFile(args.zip) as z:
        names = sorted(z.namelist())
        z.extractall(work)
    p = Player(os.path.join(work, "Sonello.exe"), args.driver, work, args.artifacts)

    def steps():
        p.expect(names == ["Lrc/", "Sonello.exe", "说明.txt"] and os.listdir(os.path.join(work, "Lrc")) == []
                 and filecmp.cmp(os.path.join(work, "Sonello.exe"), args.exe, shallow=False),
                 "the archive holds the released Sonello.exe, 说明.txt and an empty Lrc folder")
        with open(os.path.join(work, "说明.txt"), "rb") as f:
            note = f.read()
        p.expect(note.startswith(b"\xef\xbb\xbf") and b"\n" not in note.replace(b"\r\n", b"")
                 and all(word in note.decode("utf-8") for word in ("Sonello.exe", "MySongList.xml", "起始位置")),
                 "说明.txt, UTF-8 with a byte-order mark and CR LF line ends, tells how to start and where files go")
        p.start()
        p.expect(wait_until(lambda: p.song_list_file() is not None, 5), "the player writes MySongList.xml beside itself")
        p.show_song_list()
        p.driver("click", "IDC_NEWLIST")  # saved at once
        p.expect(wait_until(lambda: "新建列表2" in p.song_list_file(), 5), "and saves a new list there")
        p.close()

    return p.run(steps)


if __name__ == "__main__":
    sys.exit(main())
