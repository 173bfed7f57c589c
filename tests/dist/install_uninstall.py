#!/usr/bin/python3
"""The installer as a Windows user meets it, in a Wine prefix made afresh (never the test bed's).

For the current user, silently: the player and uninstaller in the user's program folder, the
player's version information and manifest, the entry in Programs and Features, Start-menu and
desktop shortcuts whose working directory is %APPDATA%\\Sonello; the player started there, as the
shortcuts start it, writes its song lists there; the silent uninstall removes program, shortcuts
and entry and keeps the data folder. Then for all users: shortcuts for everyone, the sign-in
command that gives every other user a data folder, and an uninstall with its box ticked.
"""
import argparse
import filecmp
import os
import re
import shutil
import sys
import time

sys.dont_write_bytecode = True
from release_bed import FreshPrefix, Player, probe, probe_fields, wait_until, wine, wine_path  # noqa: E402

UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Sonello"
ACTIVE_SETUP_KEY = r"HKLM\Software\Microsoft\Active Setup\Installed Components\Sonello"


class InstallAndUninstall:
    def __init__(self, args):
        self.args = args
        self.prefix = FreshPrefix(os.path.join(os.path.abspath(args.work), "wineprefix"), args.probe)

    def exists(self, windows_path):
        return os.path.exists(self.prefix.unix(windows_path))

    def install(self, *options):
        started = time.monotonic()
        code, _ = wine(self.args.installer, "/S", *options)
        took = time.monotonic() - started
        self.p.expect(code == 0, "the installer %s ends with exit code 0 (%d) in %.1f s" % (" ".join(("/S",) + options), code, took))
        return took

    def expect_installed(self, folder, hive, mode, links):
        p, a = self.p, self.args
        exe = self.prefix.unix(folder + r"\Sonello.exe")
        p.expect(os.path.isfile(exe) and filecmp.cmp(exe, a.exe, shallow=False) and self.exists(folder + r"\uninstall.exe"),
                 "%s holds the released Sonello.exe and uninstall.exe" % folder)
        entry = self.prefix.registry(hive + "\\" + UNINSTALL_KEY) or {}
        uninstaller = '"%s\\uninstall.exe"' % folder
        p.expect(entry.get("DisplayName") == "Sonello" and entry.get("DisplayVersion") == a.version
                 and entry.get("Publisher") == a.publisher and entry.get("DisplayIcon") == folder + r"\Sonello.exe,0"
                 and entry.get("InstallLocation") == folder
                 and os.path.getsize(a.exe) // 1024 <= entry.get("EstimatedSize", 0) < 2 * os.path.getsize(a.exe) // 1024
                 and entry.get("UninstallString") == "%s /%s" % (uninstaller, mode)
                 and entry.get("QuietUninstallString") == "%s /S /%s" % (uninstaller, mode),
                 "Programs and Features lists it under %s with name, version, publisher, icon, size and "
                 "uninstaller (%r)" % (hive, entry))
        for link in links:
            fields = probe_fields(a.probe, "link", wine_path(self.prefix.unix(link)))
            p.expect(fields == {"target": folder + r"\Sonello.exe", "workdir": r"%APPDATA%\Sonello",
                                "workdir-expanded": self.data},
                     "%s starts it in %%APPDATA%%\\Sonello (%r)" % (link, fields))
        return entry

    def uninstaller_running(self):
        """Whether the uninstaller's copy in %TEMP%, to which the one in the program folder hands
        over, still runs in this prefix."""
        mine = b"WINEPREFIX=" + self.prefix.path.encode()
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as c, open("/proc/%s/environ" % pid, "rb") as e:
                    if b"\\~nsu" in c.read() and mine in e.read().split(b"\0"):
                        return True
            except OSError:
                pass
        return False

    def uninstall(self, entry, hive, folder, links, *options):
        p = self.p
        m = re.fullmatch(r'"([^"]+)" (.*)', entry["QuietUninstallString"])
        code, _ = wine(m.group(1), *(m.group(2).split() + list(options)))
        # Wine's CreateProcess returns once the copy has started, so it shows here until it ends.
        p.expect(code == 0 and wait_until(lambda: not self.uninstaller_running(), 30),
                 "the uninstaller %s runs to its end" % " ".join(m.group(2).split() + list(options)))
        p.expect(not self.exists(folder) and not any(self.exists(link) for link in links)
                 and self.prefix.registry(hive + "\\" + UNINSTALL_KEY) is None,
                 "the program folder, the shortcuts and the entry in Programs and Features are gone")

    def for_the_current_user(self):
        p = self.p
        took_install = self.install()
        exe = wine_path(p.player_exe)
        version = probe_fields(self.args.probe, "version", exe)
        p.expect(version.get("fixed") == self.args.version, "the player's file version is " + self.args.version)
        for block, description in (("080403a8", "Sonello 音乐播放器"), ("040904b0", "Sonello music player")):
            texts = [version.get(block + "/" + name) for name in ("ProductName", "FileDescription", "FileVersion", "CompanyName")]
            p.expect(texts == ["Sonello", description, self.args.version, self.args.publisher],
                     "its version block %s names the product (%r)" % (block, texts))
        manifest = probe(self.args.probe, "manifest", exe)
        p.expect('level="asInvoker"' in manifest and manifest.count("<supportedOS ") == 4 and "<dpiAware" not in manifest,
                 "its manifest asks for no elevation, names Windows 7 to 11 and leaves DPI to Windows")
        p.expect(os.listdir(p.folder) == [], "the installer made the empty data folder " + self.data)
        links = [self.profile + r"\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Sonello.lnk",
                 self.profile + r"\Desktop\Sonello.lnk"]
        entry = self.expect_installed(self.program, "HKCU", "CurrentUser", links)

        started = time.monotonic()
        p.start()
        took_start = time.monotonic() - started
        p.log("silent install %.1f s + start to the main window %.1f s = %.1f s"
              % (took_install, took_start, took_install + took_start))
        song_list = os.path.join(p.folder, "MySongList.xml")
        p.expect(wait_until(lambda: os.path.isfile(song_list), 5) and os.path.isdir(os.path.join(p.folder, "Lrc")),
                 "the player writes MySongList.xml and makes Lrc in " + self.data)
        p.close()

        self.uninstall(entry, "HKCU", self.program, links)
        p.expect(os.path.isfile(song_list), "the data folder is kept with the song lists")

    def for_all_users(self):
        p = self.p
        program = r"C:\Program Files\Sonello"
        links = [r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Sonello.lnk", r"C:\users\Public\Desktop\Sonello.lnk"]
        self.install("/AllUsers")
        entry = self.expect_installed(program, "HKLM", "AllUsers", links)
        # What Windows runs at the next sign-in of every user; here, one without the folder.
        shutil.rmtree(p.folder)
        stub = (self.prefix.registry(ACTIVE_SETUP_KEY) or {}).get("StubPath", "")
        code, _ = wine(self.args.probe, "run", stub)
        p.expect(code == 0 and os.path.isdir(p.folder), "the sign-in command %r makes a user's data folder" % stub)
        with open(os.path.join(p.folder, "MySongList.xml"), "w") as f:
            f.write("<歌曲列表/>")
        self.uninstall(entry, "HKLM", program, links, "/RemoveData")
        p.expect(self.prefix.registry(ACTIVE_SETUP_KEY) is None and not os.path.exists(p.folder),
                 "the sign-in command is gone, and the ticked box removed the data folder")

    def run(self):
        code = 1
        try:
            started = time.monotonic()
            self.prefix.create()
            print("a fresh Wine prefix in %.1f s" % (time.monotonic() - started), flush=True)
            self.profile = self.prefix.profile()
            self.data = self.profile + r"\AppData\Roaming\Sonello"
            self.program = self.profile + r"\AppData\Local\Programs\Sonello"
            self.p = Player(self.prefix.unix(self.program + r"\Sonello.exe"), self.args.driver,
                            self.prefix.unix(self.data), self.args.artifacts)
            code = self.p.run(lambda: (self.for_the_current_user(), self.for_all_users()))
        finally:
            self.prefix.stop()
        if code == 0:
            self.prefix.remove()  # 700 MB; kept after a failure for a look inside
        return code


def main():
    parser = argparse.ArgumentParser()
    for name in ("installer", "exe", "version", "publisher", "driver", "probe", "artifacts"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--work", required=True, help="made afresh for this run")
    return InstallAndUninstall(parser.parse_args()).run()


if __name__ == "__main__":
    sys.exit(main())
