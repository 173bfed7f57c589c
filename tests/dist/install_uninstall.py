#!/usr/bin/python3
"""The installer as a Windows user meets it, in a Wine prefix made afresh (never the test bed's).

For the current user, silently: the program and uninstaller in the user's program folder, the
player's version information and manifest, the entry in Programs and Features, Start-menu and
desktop shortcuts to the player whose working directory is %APPDATA%\\Sonello; the player started
there, as the shortcut starts it, writes its song lists there; the silent uninstall removes
program, shortcuts and entry and keeps the data folder. Then for all users: shortcuts for
everyone, the sign-in command that gives every other user the data folder, and an uninstall
with its box ticked, which removes the data folder too.
"""
import argparse
import filecmp
import os
import re
import shutil
import sys
import time

sys.dont_write_bytecode = True
from release_bed import Failure, FreshPrefix, Player, Probe, wait_until, wine, wine_path  # noqa: E402

UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Sonello"
ACTIVE_SETUP_KEY = r"HKLM\Software\Microsoft\Active Setup\Installed Components\Sonello"


class InstallAndUninstall:
    def __init__(self, args):
        self.args = args
        self.prefix = FreshPrefix(os.path.join(os.path.abspath(args.work), "wineprefix"), args.probe)
        self.probe = Probe(args.probe)

    def make_prefix(self):
        started = time.monotonic()
        self.prefix.create()
        print("a fresh Wine prefix in %.1f s" % (time.monotonic() - started), flush=True)
        self.profile = self.prefix.profile()
        self.data = self.profile + r"\AppData\Roaming\Sonello"
        self.program = self.profile + r"\AppData\Local\Programs\Sonello"
        self.p = Player(self.prefix.unix(self.program + r"\Sonello.exe"), self.args.driver, self.prefix.unix(self.data),
                        self.args.artifacts)

    def exists(self, windows_path):
        return os.path.exists(self.prefix.unix(windows_path))

    # ---- what is checked after each install ----------------------------------------------------
    def install(self, *options):
        started = time.monotonic()
        code, _ = wine(self.args.installer, "/S", *options)
        took = time.monotonic() - started
        self.p.expect(code == 0, "the installer %s ends with exit code 0 in %.1f s (it gave %d)"
                      % (" ".join(("/S",) + options), took, code))
        return took

    def expect_program(self, folder):
        p = self.p
        exe = self.prefix.unix(folder + r"\Sonello.exe")
        p.expect(os.path.isfile(exe) and filecmp.cmp(exe, self.args.exe, shallow=False),
                 "%s\\Sonello.exe is the released player" % folder)
        p.expect(self.exists(folder + r"\uninstall.exe"), "the uninstaller is beside it")
        version = self.probe.fields("version", wine_path(exe))
        p.expect(version.get("fixed") == self.args.version, "its file version is %s" % self.args.version)
        for block, description in (("080403a8", "Sonello 音乐播放器"), ("040904b0", "Sonello music player")):
            texts = {name: version.get(block + "/" + name) for name in
                     ("ProductName", "FileDescription", "FileVersion", "ProductVersion", "CompanyName")}
            p.expect(texts == dict(ProductName="Sonello", FileDescription=description, FileVersion=self.args.version,
                                   ProductVersion=self.args.version, CompanyName=self.args.publisher),
                     "its version block %s names the product (%r)" % (block, texts))
        manifest = self.probe.read("manifest", wine_path(exe))
        p.expect('level="asInvoker"' in manifest and manifest.count("<supportedOS ") == 4 and "<dpiAware" not in manifest,
                 "its manifest asks for no elevation, names Windows 7 to 11 and leaves DPI to Windows")

    def expect_entry(self, hive, folder, mode):
        entry = self.prefix.registry(hive + "\\" + UNINSTALL_KEY)
        p = self.p
        p.expect(entry is not None, "Programs and Features lists Sonello under %s" % hive)
        exe_kb = os.path.getsize(self.args.exe) // 1024
        p.expect(entry.get("DisplayName") == "Sonello" and entry.get("DisplayVersion") == self.args.version
                 and entry.get("Publisher") == self.args.publisher
                 and entry.get("DisplayIcon") == folder + r"\Sonello.exe,0" and entry.get("InstallLocation") == folder
                 and exe_kb <= entry.get("EstimatedSize", 0) < 4 * exe_kb,
                 "with its name, version, publisher, icon, folder and size (%r)" % entry)
        uninstaller = '"%s\\uninstall.exe"' % folder
        p.expect(entry.get("UninstallString") == "%s /%s" % (uninstaller, mode)
                 and entry.get("QuietUninstallString") == "%s /S /%s" % (uninstaller, mode),
                 "and its uninstaller for %s, also silent" % mode)
        return entry

    def expect_shortcut(self, link, folder):
        fields = self.probe.fields("link", wine_path(self.prefix.unix(link)))
        self.p.expect(fields.get("target") == folder + r"\Sonello.exe" and fields.get("arguments") == ""
                      and fields.get("workdir") == r"%APPDATA%\Sonello" and fields.get("workdir-expanded") == self.data,
                      "%s starts the player in %%APPDATA%%\\Sonello (%r)" % (link, fields))

    # ---- uninstalling ----------------------------------------------------------------------------
    def uninstaller_running(self):
        """Whether the uninstaller's copy in %TEMP%, to which the one in the program folder hands
        over at once, still runs in this prefix."""
        mine = b"WINEPREFIX=" + self.prefix.path.encode()
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    command = f.read()
                with open("/proc/%s/environ" % pid, "rb") as f:
                    environment = f.read().split(b"\0")
            except OSError:
                continue
            if b"\\~nsu" in command and mine in environment:
                return True
        return False

    def uninstall(self, entry, *options):
        m = re.fullmatch(r'"([^"]+)" (.*)', entry["QuietUninstallString"])
        code, _ = wine(m.group(1), *(m.group(2).split() + list(options)))
        self.p.expect(code == 0, "the silent uninstaller %s hands over to its copy" % " ".join(("/S",) + options))
        # The copy runs before the first one ends: Wine's CreateProcess returns once it has started.
        self.p.expect(wait_until(lambda: not self.uninstaller_running(), 30), "which ends")

    def expect_removed(self, hive, folder, links):
        p = self.p
        p.expect(not self.exists(folder), "the program folder %s is gone" % folder)
        p.expect(not any(self.exists(link) for link in links), "the shortcuts are gone")
        p.expect(self.prefix.registry(hive + "\\" + UNINSTALL_KEY) is None, "Programs and Features lists it no more")

    # ---- the two installations -------------------------------------------------------------------
    def for_the_current_user(self):
        p = self.p
        took_install = self.install()
        self.expect_program(self.program)
        p.expect(os.listdir(self.prefix.unix(self.data)) == [], "the installer made the empty data folder " + self.data)
        entry = self.expect_entry("HKCU", self.program, "CurrentUser")
        links = [self.profile + r"\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Sonello.lnk",
                 self.profile + r"\Desktop\Sonello.lnk"]
        for link in links:
            self.expect_shortcut(link, self.program)

        started = time.monotonic()
        p.start()
        took_start = time.monotonic() - started
        p.log("silent install %.1f s + start to the main window %.1f s = %.1f s"
              % (took_install, took_start, took_install + took_start))
        song_list = os.path.join(p.folder, "MySongList.xml")
        p.expect(wait_until(lambda: os.path.isfile(song_list), 5), "the player writes MySongList.xml in " + self.data)
        p.expect(os.path.isdir(os.path.join(p.folder, "Lrc")), "and makes its Lrc folder there")
        p.close()

        self.uninstall(entry)
        self.expect_removed("HKCU", self.program, links)
        p.expect(os.path.isfile(song_list), "the data folder is kept with the song lists")

    def for_all_users(self):
        p = self.p
        program = r"C:\Program Files\Sonello"
        self.install("/AllUsers")
        self.expect_program(program)
        entry = self.expect_entry("HKLM", program, "AllUsers")
        links = [r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Sonello.lnk",
                 r"C:\users\Public\Desktop\Sonello.lnk"]
        for link in links:
            self.expect_shortcut(link, program)

        # What Windows runs at the next sign-in of every user: here, one without the folder.
        shutil.rmtree(self.prefix.unix(self.data))
        stub = (self.prefix.registry(ACTIVE_SETUP_KEY) or {}).get("StubPath", "")
        code, _ = wine(self.args.probe, "run", stub)
        p.expect(code == 0 and os.path.isdir(self.prefix.unix(self.data)),
                 "the sign-in command %r makes a user's data folder" % stub)

        with open(os.path.join(self.prefix.unix(self.data), "MySongList.xml"), "w") as f:
            f.write("<歌曲列表/>")
        self.uninstall(entry, "/RemoveData")
        self.expect_removed("HKLM", program, links)
        p.expect(self.prefix.registry(ACTIVE_SETUP_KEY) is None, "the sign-in command is gone")
        p.expect(not self.exists(self.data), "the ticked box removed the data folder")

    def run(self):
        try:
            self.make_prefix()
            code = self.p.run(lambda: (self.for_the_current_user(), self.for_all_users()))
        finally:
            self.prefix.stop()
        if code == 0:
            self.prefix.remove()  # 700 MB; kept after a failure for a look inside
        return code


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--installer", required=True)
    parser.add_argument("--exe", required=True, help="the released Sonello.exe the installer holds")
    parser.add_argument("--version", required=True)
    parser.add_argument("--publisher", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--work", required=True, help="made afresh for this run")
    parser.add_argument("--artifacts", required=True)
    return InstallAndUninstall(parser.parse_args()).run()


if __name__ == "__main__":
    sys.exit(main())
