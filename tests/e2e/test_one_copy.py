"""One copy per program folder: a second start from the same folder brings the running copy's window
forward and ends without touching the settings file, the tray or the autostart value; a copy in
another folder is another installation and runs beside it."""
import subprocess
import time

from program import SC_MINIMIZE, SETTINGS_EXAMPLE, WM_SYSCOMMAND, WS_MINIMIZE, ProgramTestCase
from tivora_e2e import run_tests, wait_until

RUN_KEY = r"HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
HIDDEN_WITH_AUTOSTART = (SETTINGS_EXAMPLE.replace("Check_Minimize=0", "Check_Minimize=1")
                         .replace("Check_AutoStart=0", "Check_AutoStart=1")
                         .replace("Check_Message_Exit=0", "Check_Message_Exit=1"))


class OneCopy(ProgramTestCase):
    def start_by(self, s, windows_path, cwd):
        """Starts a program by the Windows path given (as a user's shortcut may name it)."""
        log = open(s.tmp / f"by-path-{len(s.procs)}.log", "wb")
        p = subprocess.Popen(["wine", windows_path], cwd=cwd, env=s.env, stdout=log, stderr=subprocess.STDOUT)
        log.close()
        s.procs.append(p)
        return p

    def copies(self, s):
        """{process id: its main window} of every running copy."""
        windows = s.drive("list")
        pids = {w["pid"] for w in windows if w["class"] == "TivoraApplication"}
        return {pid: [w for w in windows if w["pid"] == pid and w["class"] == "TivoraForm"] for pid in pids}

    def registered(self, s):
        return s.drive("regvalue", RUN_KEY, "Tivora!!! v.1.1")["data"]

    def test_after_exit_with_the_help_window_open_a_new_start_runs_beside_it(self):
        s, w = self.start_program()
        w.click("Command_Help")
        help_window = s.drive("find", "Tivora!!! v.1.1 - Справка", 10000)
        self.choose(s, 4)  # "Выход": the main window saves and goes, the help window stays
        s.drive("find-gone", "Tivora!!! v.1.1", 10000)
        s.start(self.folder.unix / "Tivora.exe")
        started = self.main_window(s)
        self.assertNotEqual(started.top["pid"], w.top["pid"])
        self.assertTrue(s.drive("window", help_window["hwnd"])["visible"])

    def test_a_second_start_shows_the_hidden_copy_and_ends_leaving_everything_else_alone(self):
        s, w = self.start_program(settings=HIDDEN_WITH_AUTOSTART, visible=False)
        wait_until(lambda: w.text("Command_ON_OFF") == "Стоп", what="the trigger runs")
        wait_until(lambda: not self.visible(s, w), what="hidden in the tray")
        wait_until(lambda: self.registered(s), timeout=15, what="the Run value written at start-up")
        s.wine("reg", "delete", RUN_KEY, "/v", "Tivora!!! v.1.1", "/f")  # so that a new write would show
        settings = self.folder.unix / "Settings.ini"
        before = (settings.read_bytes(), settings.stat().st_mtime_ns)

        # Started again, by its folder's name in other letters, as a shortcut may name it.
        second = self.start_by(s, self.folder.windows.upper() + "\\TIVORA.EXE", self.folder.unix)
        self.assertEqual(s.wait_exit(30, proc=second), 0)
        wait_until(lambda: self.visible(s, w), what="the running copy's window shown")
        self.assertFalse(s.drive("window", w.hwnd)["style"] & WS_MINIMIZE)
        self.assertEqual(s.drive("focus", w.hwnd)["foreground"], w.hwnd)
        copies = self.copies(s)
        self.assertEqual(list(copies), [w.top["pid"]], "one process left")
        self.assertEqual(len(copies[w.top["pid"]]), 1)
        self.assertEqual(w.text("Command_ON_OFF"), "Стоп")  # its trigger runs on
        time.sleep(2)  # a registry tool started by the second start would have written by now
        self.assertIsNone(self.registered(s))
        self.assertEqual((settings.read_bytes(), settings.stat().st_mtime_ns), before)

        # The tray's entry now hides it: the running copy knows its window is shown.
        self.choose(s, 1)
        wait_until(lambda: not self.visible(s, w), what="hidden from the tray")

    def test_the_same_folder_through_a_drive_letter_of_its_own_is_one_copy(self):
        s = self.prepare_program()
        # T: is the program folder itself, as a subst or a mapped drive makes it.
        (s.prefix / "dosdevices" / "t:").symlink_to(self.folder.unix)
        s, w = self.start_program(session=s, visible=False)
        second = self.start_by(s, "T:\\Tivora.exe", self.folder.unix)
        self.assertEqual(s.wait_exit(30, proc=second), 0)
        self.assertEqual(list(self.copies(s)), [w.top["pid"]], "one process")

    def test_a_copy_in_another_folder_runs_beside_and_a_minimised_window_is_restored(self):
        s, w = self.start_program(settings=SETTINGS_EXAMPLE)
        files = {p.name: p for p in self.folder.unix.iterdir() if p.suffix in (".exe", ".txt", ".mp3")}
        other = s.program_folder(files, "Tivora other")
        s.start(other.unix / "Tivora.exe")
        wait_until(lambda: len(self.copies(s)) == 2, timeout=20, what="a second installation runs")
        other_pid = next(pid for pid in self.copies(s) if pid != w.top["pid"])
        other_window = wait_until(lambda: next((x for x in self.copies(s)[other_pid] if x["visible"]), None),
                                  timeout=20, what="its window is up")

        s.drive("post", w.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0)
        wait_until(lambda: s.drive("window", w.hwnd)["style"] & WS_MINIMIZE, what="minimised")
        second = s.start(self.folder.unix / "Tivora.exe")
        self.assertEqual(s.wait_exit(30, proc=second), 0)
        wait_until(lambda: not s.drive("window", w.hwnd)["style"] & WS_MINIMIZE, what="restored")
        wait_until(lambda: s.drive("focus", w.hwnd)["foreground"] == w.hwnd, what="in front")
        self.assertEqual(sorted(self.copies(s)), sorted([w.top["pid"], other_pid]))
        self.assertTrue(s.drive("window", other_window["hwnd"])["visible"])


if __name__ == "__main__":
    run_tests(__name__)
