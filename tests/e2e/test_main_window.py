"""The main window as a user meets it: the real Tivora.exe under Wine, driven from outside."""
import time

from program import BM_GETCHECK, CHECKED, EM_SETSEL, HIDDEN, TAB_ORDER, VISIBLE, ProgramTestCase, pixels
from tivora_e2e import run_tests, wait_until


class MainWindow(ProgramTestCase):
    def test_every_control_is_at_its_place_with_its_design_text_and_state(self):
        s, w = self.start_program()
        self.assertEqual(s.drive("window", w.hwnd)["client"], [pixels(2880), pixels(4305)])
        for name, (cls, text, (left, top, width, height), enabled) in VISIBLE.items():
            with self.subTest(name):
                c = w.control(name)
                self.assertEqual(c["text"], text)
                self.assertTrue(c["visible"])
                self.assertEqual(c["enabled"], enabled)
                self.assertEqual(c["rect"][2], pixels(width))
                if cls != "ComboBox":  # a drop-down box takes the height its font needs
                    self.assertEqual(c["rect"][3], pixels(height))
        for name in HIDDEN:
            with self.subTest(name):
                if name == "Label_Indicator":  # its window stays; at rest it shows nothing of its blue
                    left, top, right, bottom = w.facts(name)["screen"]
                    self.assertNotEqual(s.pixel((left + right) // 2, (top + bottom) // 2), (0, 0, 192))
                else:
                    self.assertFalse(w.control(name)["visible"])
        for name, checked in CHECKED.items():
            self.assertEqual(w.checked(name), checked, name)
        self.assertEqual(s.drive("focus", w.hwnd)["focus"]["hwnd"], w["Command_ON_OFF"])

    def test_the_indicator_blinks_while_the_trigger_runs_and_rests_after_a_stop(self):
        s, w = self.start_program()
        # What the user sees: the square's middle in its blue, or in the window's grey.
        left, top, right, bottom = w.facts("Label_Indicator")["screen"]
        shown = lambda: s.pixel((left + right) // 2, (top + bottom) // 2) == (0, 0, 192)
        w.click("Command_ON_OFF")
        wait_until(lambda: w.text("Command_ON_OFF") == "Стоп", what="the trigger runs")

        def watch():  # two seconds: two blinks, whatever their phase
            seen = []
            for _ in range(20):
                seen.append(shown())
                time.sleep(0.1)
            return seen

        seen = watch()
        self.assertIn(True, seen)
        self.assertIn(False, seen)
        w.click("Command_ON_OFF")
        wait_until(lambda: w.text("Command_ON_OFF") == "Старт", what="the trigger stopped")
        self.assertNotIn(True, watch())

    def test_at_120_dpi_the_layout_scales_with_the_screen(self):
        s, w = self.start_program(dpi=120)
        self.assertEqual(s.drive("window", w.hwnd)["client"], [pixels(2880, 120), pixels(4305, 120)])
        for name, (cls, text, (left, top, width, height), enabled) in VISIBLE.items():
            with self.subTest(name):
                self.assertEqual(w.control(name)["rect"][2], pixels(width, 120))

    def test_the_window_comes_up_centred_beside_its_hidden_application_window(self):
        s, w = self.start_program()
        left, top, right, bottom = s.drive("window", w.hwnd)["screen"]
        # Centred on the 1024 x 768 desktop (which has no taskbar until a tray icon appears).
        self.assertLessEqual(abs((left + right) / 2 - 512), 1)
        self.assertLessEqual(abs((top + bottom) / 2 - 384), 1)
        app = s.drive("find", "Tivora!!!", 2000, "--class", "TivoraApplication")
        self.assertFalse(app["visible"])
        self.assertEqual(app["pid"], w.top["pid"])

    def test_a_real_mouse_click_ticks_a_check_box_and_a_second_unticks_it(self):
        s, w = self.start_program()
        l, t, r, b = w.facts("Check_Minimize")["screen"]
        s.xdotool("mousemove", l + 6, (t + b) // 2, "click", "1")
        wait_until(lambda: w.checked("Check_Minimize") == 1, what="ticked")
        s.xdotool("click", "1")
        wait_until(lambda: w.checked("Check_Minimize") == 0, what="unticked")

    def test_tab_visits_only_visible_enabled_controls_from_the_start_button(self):
        s, w = self.start_program()
        expected = [w[name] for name in TAB_ORDER if VISIBLE[name][3]]
        self.assertEqual(s.drive("focus", w.hwnd)["focus"]["hwnd"], expected[0])
        sent = s.drive("keys", w.hwnd, *["TAB"] * len(expected))["sent_to"]
        visited = [expected[0]] + sent[1:] + [s.drive("focus", w.hwnd)["focus"]["hwnd"]]
        self.assertEqual(visited, expected + [expected[0]])

    def test_a_third_character_typed_into_the_hour_box_is_refused(self):
        s, w = self.start_program()
        s.drive("send", w["Text_Hour"], EM_SETSEL, 2, 2)  # the caret after "23"
        s.drive("type", w["Text_Hour"], "5")
        self.assertEqual(w.text("Text_Hour"), "23")
        s.drive("send", w["Text_Minute"], EM_SETSEL, 0, 2)
        s.drive("type", w["Text_Minute"], "459")
        self.assertEqual(w.text("Text_Minute"), "45")


if __name__ == "__main__":
    run_tests(__name__)
