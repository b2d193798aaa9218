"""What the disk and other programs refuse the settings file: a program folder that cannot be
written, a disk that fills up, and another program (a backup or sync tool) holding Settings.ini
open at start-up or at «Выход». Settings.ini is afterwards the old file to the byte, nothing is left
beside it, and the user is told that a change was not kept. And what the user made of the file:
hidden, behind a link, marked read-only."""
import errno
import os
import shutil
import subprocess

from program import SETTINGS_EXAMPLE, ProgramTestCase
from tivora_e2e import ARTIFACTS, DRIVER, run_tests, wait_until

FILE = "\nC:\\Tivora test\\Settings.ini\n\n"  # the report names the file on a line of its own
NOT_SAVED = "Не удалось сохранить настройки в файл" + FILE
NOT_READ = "Не удалось прочитать файл настроек" + FILE
HELD = "Конфликт совместного доступа."  # the system's words for the refusal (Wine's, in Russian)
READ_ONLY = ("Файл настроек\nC:\\Tivora test\\Settings.ini\nотмечен атрибутом «Только чтение», и программа его "
             "не изменяет.\n\nИзменения настроек, сделанные после запуска программы, в него не записаны.")


class SettingsFaults(ProgramTestCase):
    def prepare(self):
        s = self.prepare_program(settings=SETTINGS_EXAMPLE)
        self.ini = self.folder.unix / "Settings.ini"
        self.original = self.ini.read_bytes()
        return s

    def mount(self, *commands):
        """Mounts over the program folder (the tests run as root); unmounted when the test ends,
        passed or failed."""
        if os.geteuid() != 0:
            self.skipTest("mounting needs root")
        self.addCleanup(subprocess.run, ["umount", "-l", str(self.folder.unix)])
        for args in commands:
            subprocess.run(["mount", *args, str(self.folder.unix)], check=True)

    def hold(self, s, ms):
        """Another program holds Settings.ini open, sharing nothing, for ms milliseconds; returns
        once it holds it."""
        out = s.tmp / f"hold-{len(s.background)}.out"
        with open(out, "wb") as log:
            s.background.append(subprocess.Popen(["wine", str(DRIVER), "hold", self.folder.windows + "\\Settings.ini",
                                                  str(ms)], env=s.env, stdout=log, stderr=log))
        wait_until(lambda: b"holding" in out.read_bytes(), timeout=30, what="the file held")
        return s.background[-1]

    def exit_told(self, s, reason, screenshot=None):
        """«Выход» from the tray menu: a box says the settings were not saved, and why; answered,
        the program ends."""
        self.choose(s, 4)
        box = s.drive("msgbox", "Tivora!!!", 15000)
        self.assertTrue(box["text"].startswith(NOT_SAVED + reason + "\n"), box["text"])
        if screenshot:
            s.screenshot(ARTIFACTS / screenshot)  # to look at
        s.drive("answer", box["hwnd"])
        self.assertEqual(s.wait_exit(10), 0)

    def assertKept(self):
        self.assertEqual(self.ini.read_bytes(), self.original)
        self.assertEqual(sorted(p.name for p in self.folder.unix.glob("Settings*")), ["Settings.ini"])

    def test_a_folder_that_cannot_be_written(self):
        s = self.prepare()
        self.mount(["--bind", self.folder.unix], ["-o", "remount,ro,bind"])
        s, w = self.start_program(session=s)
        s.drive("settext", w["Text_Minute"], "45")
        self.exit_told(s, "Доступ запрещён.", "test_settings_faults.read_only.png")
        self.assertKept()

    def fill_the_disk(self, s, room, reason="Диск полностью заполнен."):
        """The program folder on a disk just big enough for its files, filled up but for room bytes."""
        files = shutil.copytree(self.folder.unix, s.tmp / "files")
        size = sum(p.stat().st_size // 1024 + 4 for p in files.iterdir()) + 64
        self.mount(["-t", "tmpfs", "-o", f"size={size}k", "tmpfs"])
        shutil.copytree(files, self.folder.unix, dirs_exist_ok=True)
        filler = self.folder.unix / "filler"
        with open(filler, "wb", buffering=0) as f, self.assertRaises(OSError) as full:
            while True:
                f.write(bytes(4096))
        self.assertEqual(full.exception.errno, errno.ENOSPC)
        os.truncate(filler, filler.stat().st_size - room)
        self.assertEqual(os.statvfs(self.folder.unix).f_bavail * 4096, room)
        s, w = self.start_program(session=s)
        s.drive("settext", w["Text_Message"], "Спокойной ночи! " * 400)  # 6 400 bytes in code page 1251
        self.exit_told(s, reason)
        self.assertKept()

    def test_a_full_disk(self):
        self.fill_the_disk(self.prepare(), 0)

    # Wine's WritePrivateProfileStringW says done when the disk ran full in its write: the new file,
    # cut off in the message, must not take the old one's place (the values do not read back).
    def test_a_disk_with_room_for_the_old_file_but_not_the_long_message(self):
        self.fill_the_disk(self.prepare(), 4096, "Ошибка записи.")

    def test_a_file_held_through_the_start_is_told_and_never_saved_over(self):
        s = self.prepare()
        holder = self.hold(s, 8000)  # beyond the 5 s the start waits
        s.start(self.folder.unix / "Tivora.exe")
        box = s.drive("msgbox", "Tivora!!!", 15000)
        self.assertTrue(box["text"].startswith(NOT_READ + HELD + "\n"), box["text"])
        holder.wait(30)
        s.drive("answer", box["hwnd"])
        w = self.main_window(s)
        self.assertEqual([w.text("Text_Hour"), w.text("Text_Minute")], ["23", "00"])  # the design's
        s.drive("settext", w["Text_Minute"], "45")
        self.choose(s, 4)
        self.assertEqual(s.wait_exit(10), 0)
        self.assertKept()

    def test_a_file_held_at_exit(self):
        s, w = self.start_program(session=self.prepare())
        s.drive("settext", w["Text_Minute"], "45")
        holder = self.hold(s, 6000)  # beyond the 3 s the save waits
        self.exit_told(s, HELD)
        holder.wait(30)
        self.assertKept()

    # Only the real file system shows these: Wine keeps the hidden mark in an extended attribute (its
    # ReplaceFileW does not carry it over), the read-only one in the mode bits, and presents a Unix
    # symbolic link as the file it names.
    def test_a_hidden_file_behind_a_link_is_saved_through_it_and_a_read_only_one_is_told(self):
        s = self.prepare()
        sync = s.program_folder({}, "Sync")
        target = sync.unix / "Tivora.ini"
        self.ini.rename(target)
        self.ini.symlink_to(target)
        s.wine("cmd", "/c", "attrib", "+h", sync.windows + "\\Tivora.ini")
        s, w = self.start_program(session=s)
        s.drive("settext", w["Text_Minute"], "45")
        self.choose(s, 4)
        self.assertEqual(s.wait_exit(10), 0)  # no box: saved
        self.assertEqual(os.readlink(self.ini), str(target))
        self.assertIn("Form_Main_Text_Minute=45\r\n", target.read_bytes().decode("cp1251"))
        listed = s.wine("cmd", "/c", "attrib", sync.windows + "\\Tivora.ini")[1]
        flags = listed[:listed.index(sync.windows)]
        self.assertIn("H", flags)
        self.assertEqual([p.name for p in sync.unix.iterdir()], ["Tivora.ini"])
        self.assertEqual(sorted(p.name for p in self.folder.unix.glob("Settings*")), ["Settings.ini"])
        saved = target.read_bytes()
        target.chmod(0o444)  # Wine's read-only mark (root could write the file all the same)
        s, w = self.start_program(session=s)
        s.drive("settext", w["Text_Minute"], "50")
        self.choose(s, 4)
        box = s.drive("msgbox", "Tivora!!!", 15000)
        self.assertEqual(box["text"], READ_ONLY)
        s.screenshot(ARTIFACTS / "test_settings_faults.read_only_file.png")  # to look at
        s.drive("answer", box["hwnd"])
        self.assertEqual(s.wait_exit(10), 0)
        self.assertEqual(target.read_bytes(), saved)
        self.assertEqual([p.name for p in sync.unix.iterdir()], ["Tivora.ini"])


if __name__ == "__main__":
    run_tests(__name__)
