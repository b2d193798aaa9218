"""Autostart through Wine's own reg tool, and the hour box correcting what is typed into it."""
import re

from program import EM_SETSEL, SETTINGS_EXAMPLE, STUB_VOLUME, ProgramTestCase
from tivora_e2e import run_tests, wait_until

RUN_KEY = r"HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
EM_GETSEL = 0x00B0


class Autostart(ProgramTestCase):
    def registered(self, s):
        """The data of our Run value, or None."""
        rc, out, _ = s.wine("reg", "query", RUN_KEY, "/v", "Tivora!!! v.1.1", check=False, env={"LC_ALL": "C"})
        match = re.search(r"Tivora!!! v\.1\.1\s+REG_SZ\s+(.*)", out)
        return match.group(1).strip() if rc == 0 and match else None

    def test_ticking_registers_the_quoted_path_and_unticking_removes_it(self):
        s, w = self.start_program()
        self.assertIsNone(self.registered(s))
        w.click("Check_AutoStart")
        data = wait_until(lambda: self.registered(s), timeout=15, what="the Run value written")
        self.assertEqual(data, f'"{self.folder.windows}\\Tivora.exe"')
        w.click("Check_AutoStart")
        wait_until(lambda: self.registered(s) is None, timeout=15, what="the Run value removed")

    def test_an_earlier_versions_value_for_this_program_goes_and_other_values_stay(self):
        s = self.prepare_program()
        value = lambda name: s.drive("regvalue", RUN_KEY, name)["data"]
        self_unquoted = self.folder.windows.upper() + "\\TIVORA.EXE"  # as an earlier version wrote it
        s.wine("reg", "add", RUN_KEY, "/v", "Tivora!!! v.1.0", "/t", "REG_SZ", "/d", self_unquoted, "/f")
        s.wine("reg", "add", RUN_KEY, "/v", "Other", "/t", "REG_SZ", "/d", '"C:\\Other\\Tivora.exe"', "/f")
        s, w = self.start_program(session=s)
        w.click("Check_AutoStart")
        wait_until(lambda: value("Tivora!!! v.1.1") and value("Tivora!!! v.1.0") is None, timeout=15,
                   what="ours written, the earlier one gone")
        self.assertEqual(value("Other"), '"C:\\Other\\Tivora.exe"')

    def test_a_saved_tick_registers_again_at_start_up_and_a_copy_elsewhere_beside_it(self):
        s, w = self.start_program(settings=SETTINGS_EXAMPLE.replace("Check_AutoStart=0", "Check_AutoStart=1"))
        self.assertEqual(w.checked("Check_AutoStart"), 1)
        data = wait_until(lambda: self.registered(s), timeout=15, what="the Run value written at start-up")
        self.assertEqual(data, f'"{self.folder.windows}\\Tivora.exe"')
        other = s.program_folder({p.name: p for p in self.folder.unix.iterdir()}, "Tivora other")
        s.start(other.unix / "Tivora.exe")  # ticked too: a value of its own, named with its folder
        beside = lambda: s.drive("regvalue", RUN_KEY, f"Tivora!!! v.1.1 ({other.windows})")["data"]
        wait_until(lambda: beside() == f'"{other.windows}\\Tivora.exe"', timeout=20, what="the other's value")
        self.assertEqual(self.registered(s), data)
        w.click("Check_AutoStart")  # unticked in the first copy: its own value goes, the other's stays
        wait_until(lambda: self.registered(s) is None and beside(), timeout=15, what="only the first's removed")

    def test_a_reg_tool_beside_the_program_or_in_its_start_folder_never_runs(self):
        # A reg.exe lying in the program folder or in the folder the program was started from (the
        # Downloads folder the zip was unpacked in) must not stand in for the system's: the recording
        # stub, named reg.exe, in both; ticked in the saved settings, so that start-up registers too.
        planted = {"reg.exe": STUB_VOLUME}
        s, w = self.start_program(settings=SETTINGS_EXAMPLE.replace("Check_AutoStart=0", "Check_AutoStart=1"),
                                  files=planted, start_in=planted)
        self.assertNotEqual(self.start_folder, self.folder)
        path = f'"{self.folder.windows}\\Tivora.exe"'

        def planted_calls():
            return self.stub_calls(self.folder, "reg") + self.stub_calls(self.start_folder, "reg")

        def settled(expected, what):
            """Waits until the Run value is as expected or a planted tool has run."""
            wait_until(lambda: planted_calls() or self.registered(s) == expected, timeout=15, what=what)
            self.assertEqual(planted_calls(), [])
            self.assertEqual(self.registered(s), expected)

        settled(path, "the Run value written at start-up")
        w.click("Check_AutoStart")
        settled(None, "the Run value removed")
        w.click("Check_AutoStart")
        settled(path, "the Run value written again")

    def test_typing_24_into_the_hour_box_leaves_23_with_the_caret_at_its_end(self):
        s, w = self.start_program()
        hour = w["Text_Hour"]
        left, top, right, bottom = w.facts("Text_Hour")["screen"]
        s.xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", "1")  # selects "23"
        wait_until(lambda: s.drive("send", hour, EM_GETSEL, 0, 0)["result"] == 2 << 16, what="the hour selected")
        s.drive("type", hour, "24")
        self.assertEqual(w.text("Text_Hour"), "23")
        self.assertEqual(s.drive("send", hour, EM_GETSEL, 0, 0)["result"], 2 | (2 << 16))
        s.drive("send", w["Text_Minute"], EM_SETSEL, 0, -1)
        s.drive("type", w["Text_Minute"], "x")
        self.assertEqual(w.text("Text_Minute"), "0")


if __name__ == "__main__":
    run_tests(__name__)
