"""The per-user installer as a user (or an administrator's silent deployment) meets it under Wine:
`msiexec /i … /qn` puts the program into %LOCALAPPDATA%\\Programs\\Tivora with a Start-menu shortcut
and an entry under installed apps; the program runs from there and saves its settings beside
itself; a newer version goes over it, closing the running copy first and keeping Settings.ini and
the autostart value; removal takes away the files, the shortcut, the entry and the autostart value
and leaves Settings.ini."""
import os
import re
import shutil
import subprocess
import tempfile
from pathlib import Path

from program import PROGRAM, ProgramTestCase, ini_values
from tivora_e2e import BUILD, Folder, run_tests, wait_until

ROOT = Path(__file__).resolve().parents[2]
INSTALLER = Path(os.environ.get("TIVORA_E2E_INSTALLER", BUILD / "win32" / "installer" / "Tivora-1.1-win32.msi"))
ACTIONS = Path(os.environ.get("TIVORA_E2E_INSTALLER_ACTIONS", INSTALLER.parent / "installer_actions.dll"))
RUN_KEY = r"HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
RUN_VALUE = "Tivora!!! v.1.1"
PROGRAM_FILES = {"Tivora.exe", "Справка.txt", "melody.mp3", "volume.exe"}


class Installer(ProgramTestCase):
    @classmethod
    def setUpClass(cls):
        # A test build of a newer version: the same program folder under a higher product version.
        cls.work = Path(tempfile.mkdtemp(prefix="tivora-installer-"))
        cls.newer = cls.work / "Tivora-1.1.1-win32.msi"
        subprocess.run([str(ROOT / "scripts" / "make-installer"), str(PROGRAM), str(ACTIONS), str(cls.newer), "1.1.1"],
                       check=True, capture_output=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def session(self):
        s = self.start_session()
        for msi in (INSTALLER, self.newer):
            shutil.copy(msi, s.prefix / "drive_c" / msi.name)
        return s

    def msiexec(self, s, *args):
        rc, _, _ = s.wine("msiexec", *args, "/qn", check=False, timeout=180)
        return rc

    def unix(self, s, windows_path):
        """Where a C:\\ path of the prefix lies."""
        assert windows_path[:3].upper() == "C:\\", windows_path
        here = s.prefix / "drive_c"
        for part in windows_path[3:].split("\\"):
            matches = [p for p in here.iterdir() if p.name.lower() == part.lower()] if here.is_dir() else []
            here = matches[0] if matches else here / part
        return here

    def known_folder(self, s, variable):
        rc, out, _ = s.wine("cmd", "/c", f"echo %{variable}%", env={"LC_ALL": "C"})
        return out.strip()

    def install_folder(self, s):
        windows = self.known_folder(s, "LOCALAPPDATA") + "\\Programs\\Tivora"
        return Folder(self.unix(s, windows), windows)

    def shortcut(self, s):
        return self.unix(s, self.known_folder(s, "APPDATA") + "\\Microsoft\\Windows\\Start Menu\\Programs\\Tivora!!!.lnk")

    def entries(self, s):
        """{product code: {value: data}} of every entry under installed apps named Tivora!!!."""
        found = {}
        for root in ("HKCU", "HKLM"):
            key = root + r"\Software\Microsoft\Windows\CurrentVersion\Uninstall"
            rc, out, _ = s.wine("reg", "query", key, "/s", check=False, env={"LC_ALL": "C"})
            for block in out.replace("\r", "").split("\n\n"):
                lines = [l for l in block.split("\n") if l.strip()]
                if not lines:
                    continue
                values = {}
                for line in lines[1:]:
                    m = re.match(r"\s+(\S.*?)\s+(REG_\w+)\s*(.*)$", line)
                    if m:
                        values[m.group(1)] = m.group(3)
                if values.get("DisplayName") == "Tivora!!!":
                    found[lines[0].rsplit("\\", 1)[1]] = dict(values, _key=lines[0])
        return found

    def autostart(self, s):
        return s.drive("regvalue", RUN_KEY, RUN_VALUE)["data"]

    def installed_files(self, folder):
        return {p.name: p.read_bytes() for p in folder.unix.iterdir() if p.is_file()} if folder.unix.is_dir() else {}

    def start_installed(self, s, folder):
        s.start(folder.unix / "Tivora.exe")
        return self.main_window(s)

    def test_install_run_upgrade_while_running_and_remove(self):
        s = self.session()
        self.assertEqual(self.msiexec(s, "/i", "C:\\" + INSTALLER.name), 0)
        folder = self.folder = self.install_folder(s)
        files = self.installed_files(folder)
        self.assertEqual(set(files), PROGRAM_FILES)
        for name in PROGRAM_FILES:
            self.assertEqual(files[name], (PROGRAM / name).read_bytes(), name)
        entries = self.entries(s)
        self.assertEqual(len(entries), 1, entries)
        entry = next(iter(entries.values()))
        self.assertEqual(entry["DisplayVersion"], "1.1")
        self.assertEqual(entry["Publisher"], "Tivora")
        self.assertEqual(entry["InstallLocation"].rstrip("\\").lower(), folder.windows.lower())
        self.assertIn("MsiExec.exe /X{", entry["UninstallString"])
        lnk = self.shortcut(s).read_bytes()
        target = folder.windows + "\\Tivora.exe"
        self.assertTrue(target.encode("cp1251") in lnk or target.encode("utf-16-le") in lnk, "the shortcut's target")

        # Started from its Start-menu shortcut, the installed copy keeps its settings beside itself.
        s.wine("start", "/unix", str(self.shortcut(s)))
        w = self.main_window(s)
        w.click("Check_AutoStart")
        wait_until(lambda: self.autostart(s), timeout=15, what="the Run value written")
        self.assertEqual(self.autostart(s), f'"{target}"')
        s.drive("settext", w["Text_Hour"], "21")
        self.choose(s, 4)  # "Выход"
        wait_until(lambda: not any(x["class"] == "TivoraApplication" for x in s.drive("list")), timeout=15,
                   what="the program ended")
        saved = ini_values(self.settings())["Form_Main"]
        self.assertEqual((saved["Form_Main_Check_AutoStart"], saved["Form_Main_Text_Hour"]), ("1", "21"))

        # The newer version goes over a running copy: asked to close, it saves what the user set.
        w = self.start_installed(s, folder)
        s.drive("settext", w["Text_Minute"], "45")
        self.assertEqual(self.msiexec(s, "/i", "C:\\" + self.newer.name), 0)
        self.assertEqual(s.wait_exit(30), 0)
        saved = ini_values(self.settings())["Form_Main"]
        self.assertEqual((saved["Form_Main_Check_AutoStart"], saved["Form_Main_Text_Hour"],
                          saved["Form_Main_Text_Minute"]), ("1", "21", "45"))
        self.assertEqual(self.autostart(s), f'"{target}"')
        files = self.installed_files(folder)
        self.assertEqual(set(files), PROGRAM_FILES | {"Settings.ini"})
        entries = self.entries(s)
        self.assertEqual([e["DisplayVersion"] for e in entries.values()], ["1.1.1"])
        self.assertTrue(self.shortcut(s).exists())

        # Removed while it runs: closed first, then its files, shortcut, entry and autostart value
        # go; Settings.ini, the user's own, stays.
        self.start_installed(s, folder)
        self.assertEqual(self.msiexec(s, "/x", "C:\\" + self.newer.name), 0)
        self.assertEqual(s.wait_exit(30), 0)
        self.assertEqual(set(self.installed_files(folder)), {"Settings.ini"})
        self.assertFalse(self.shortcut(s).exists())
        self.assertEqual(self.entries(s), {})
        self.assertIsNone(self.autostart(s))

    def test_removal_leaves_an_autostart_value_of_a_copy_elsewhere(self):
        # The zip unpacked elsewhere registers under the same name: not the installer's to remove.
        s = self.session()
        self.assertEqual(self.msiexec(s, "/i", "C:\\" + INSTALLER.name), 0)
        elsewhere = '"C:\\Tools\\Tivora\\Tivora.exe"'
        s.wine("reg", "add", RUN_KEY, "/v", RUN_VALUE, "/t", "REG_SZ", "/d", elsewhere, "/f")
        self.assertEqual(self.autostart(s), elsewhere)
        self.assertEqual(self.msiexec(s, "/x", "C:\\" + INSTALLER.name), 0)
        self.assertEqual(self.installed_files(self.install_folder(s)), {})
        self.assertEqual(self.autostart(s), elsewhere)


if __name__ == "__main__":
    run_tests(__name__)
