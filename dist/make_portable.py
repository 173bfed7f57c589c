#!/usr/bin/python3
"""Makes the portable archive: Sonello.exe, 说明.txt and an empty Lrc folder, side by side, so
that the unpacked folder is the player's working directory and keeps its files.

    make_portable.py --exe Sonello.exe --readme 说明.txt --out Sonello-1.1.0.0-portable.zip
"""
import argparse
import os
import sys
import time
import zipfile

MSDOS_DIRECTORY = 0x10
MSDOS_ARCHIVE = 0x20


def entry(name, stamp, directory=False):
    info = zipfile.ZipInfo(name, date_time=stamp)
    # Made on "MS-DOS": Windows' own unpacker reads the attributes as its own.
    info.create_system = 0
    info.external_attr = MSDOS_DIRECTORY if directory else MSDOS_ARCHIVE
    info.compress_type = zipfile.ZIP_STORED if directory else zipfile.ZIP_DEFLATED
    return info


def notepad_text(path):
    """The note as every Notepad reads it: UTF-8 with a byte-order mark and CR LF lines."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    return ("\ufeff" + text.replace("\r\n", "\n").replace("\n", "\r\n")).encode("utf-8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--readme", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    stamp = time.localtime(os.path.getmtime(args.exe))[:6]
    partial = args.out + ".part"
    # 说明.txt goes in as UTF-8 with the zip's UTF-8 flag set.
    with zipfile.ZipFile(partial, "w", compresslevel=9) as z:
        with open(args.exe, "rb") as f:
            z.writestr(entry("Sonello.exe", stamp), f.read())
        z.writestr(entry(os.path.basename(args.readme), stamp), notepad_text(args.readme))
        z.writestr(entry("Lrc/", stamp, directory=True), b"")
    os.replace(partial, args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
