"""Autostart through Wine's own reg tool, and the hour box correcting what is typed into it."""
import re

from program import EM_SETSEL, SETTINGS_EXAMPLE, ProgramTestCase
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

    def test_a_saved_tick_registers_again_at_start_up(self):
        s, w = self.start_program(settings=SETTINGS_EXAMPLE.replace("Check_AutoStart=0", "Check_AutoStart=1"))
        self.assertEqual(w.checked("Check_AutoStart"), 1)
        data = wait_until(lambda: self.registered(s), timeout=15, what="the Run value written at start-up")
        self.assertEqual(data, f'"{self.folder.windows}\\Tivora.exe"')

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
