"""What a screen reader hears of the real program under Wine: every control of the main window and
the help window has a name that says what it is, read as a screen reader reads it, through the
system's accessibility interface from another process; and naming the inputs moved nothing on
the screen."""
import subprocess
import time

from program import ROOT, VISIBLE, ProgramTestCase
from tivora_e2e import run_tests

ROLE_TEXT, ROLE_COMBO_BOX = 42, 46
# The inputs, which have no caption: named by the label beside them or by a name of their own.
INPUTS = {
    "Text_Hour": ("Час", ROLE_TEXT, "23"),
    "Text_Minute": ("Минута", ROLE_TEXT, "00"),
    "Text_Message": ("Текст сообщения", ROLE_TEXT, "Tivora свое чертово радио!!!"),
    "Combo_Percents": ("Громкость", ROLE_COMBO_BOX, "50%"),
}


class Accessibility(ProgramTestCase):
    def test_every_control_is_announced_by_what_it_is(self):
        s, w = self.start_program()
        heard = {name: s.drive("acc", w[name]) for name in VISIBLE}
        for name, (_, caption, _, _) in VISIBLE.items():
            with self.subTest(name):
                if name in INPUTS:
                    expected_name, role, value = INPUTS[name]
                    self.assertEqual(heard[name]["name"], expected_name)
                    self.assertEqual(heard[name]["role"], role)
                    self.assertEqual(heard[name]["value"], value)
                else:  # buttons, option buttons, check boxes and labels: their caption
                    self.assertEqual(heard[name]["name"], caption)
        # Where the keyboard's focus lands in the percentage box: its inner edit, named as the box.
        inner = next(c for c in s.drive("children", w.hwnd) if c["parent"] == w["Combo_Percents"])
        inner_heard = s.drive("acc", inner["hwnd"])
        self.assertEqual((inner_heard["name"], inner_heard["role"]), ("Громкость", ROLE_TEXT))
        for name, facts in heard.items():
            print(f"{name}: {facts['name']!r}, role {facts['role']} ({facts['role_text']}), value {facts['value']!r}")

        w.click("Command_Help")
        help_window = s.drive("find", "Tivora!!! v.1.1 - Справка", 10000)
        controls = {c["class"]: c for c in s.drive("children", help_window["hwnd"])}
        text = s.drive("acc", controls["Edit"]["hwnd"])
        self.assertEqual(text["name"], "Справка")
        self.assertEqual(text["role"], ROLE_TEXT)
        self.assertTrue(text["read_only"], "the help text can be read, not changed")
        self.assertTrue(text["value"].startswith("     Tivora!!!"))
        self.assertEqual(s.drive("acc", controls["Button"]["hwnd"])["name"], "Печать справки")

    def test_naming_the_inputs_moved_nothing_on_the_screen(self):
        # The README's screenshot of the main window at 96 DPI, taken before the inputs had names,
        # and the window now: the same to the pixel.
        s, w = self.start_program()
        time.sleep(1)
        left, top, right, bottom = s.drive("window", w.hwnd)["screen"]
        shot = s.screenshot(s.tmp / "main.png")
        window = s.tmp / "window.png"
        subprocess.run(["convert", str(shot), "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage",
                        str(window)], check=True)
        compared = subprocess.run(["compare", "-metric", "AE", str(window), str(ROOT / "docs" / "main-window.png"),
                                   str(s.tmp / "difference.png")], capture_output=True, text=True)
        self.assertEqual(compared.stderr.strip(), "0", "pixels differ from docs/main-window.png")


if __name__ == "__main__":
    run_tests(__name__)
