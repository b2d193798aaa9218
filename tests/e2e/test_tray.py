"""The tray icon, start-up and shut-down as a user meets them: the real icon clicked with the
mouse, its menu chosen with the keyboard, the close box, a restart, the end of the session."""
import time

from program import KEYS, SETTINGS_EXAMPLE, ProgramTestCase, pixels
from tivora_e2e import DriverError, run_tests, wait_until

NOTICE = ("Программа при нажатии на крестик сворачивается. Показать программу - левый клик по значку. "
          "Выход из программы - правый клик по значку.")


class Tray(ProgramTestCase):
    def test_left_clicks_hide_and_show_and_a_double_click_leaves_the_window_as_it_was(self):
        s, w = self.start_program()
        wait_until(lambda: self.icon_shown(s), what="the tray icon")
        self.click_icon(s)
        wait_until(lambda: not self.visible(s, w), what="hidden")
        self.click_icon(s)
        wait_until(lambda: self.visible(s, w), what="shown")
        self.assertEqual(s.drive("focus", w.hwnd)["active"], w.hwnd)
        self.click_icon(s, repeat=2)
        time.sleep(1)
        self.assertTrue(self.visible(s, w))

    def test_the_menu_hides_starts_tests_and_exits_and_exit_saves_every_key(self):
        s, w = self.start_program()
        self.choose(s, 1)  # "Скрыть"
        wait_until(lambda: not self.visible(s, w), what="hidden from the menu")
        self.choose(s, 2)  # "Старт"
        wait_until(lambda: w.text("Command_ON_OFF") == "Стоп", what="the trigger runs")
        self.choose(s, 3)  # "Тест": the window shows and the message comes
        box = s.drive("msgbox", "Tivora!!!", 5000)
        self.assertEqual(box["text"], "Tivora свое чертово радио!!!")
        self.assertTrue(self.visible(s, w))
        s.drive("answer", box["hwnd"])
        self.choose(s, 4)  # "Выход": no question, the process ends
        self.assertEqual(s.wait_exit(10), 0)
        saved = self.settings()
        for key in KEYS:
            self.assertIn(f"\r\n{key}=", saved)
        self.assertRegex(saved, r"\[Program_Settings\]\r\nForm_Left=-?\d+\r\nForm_Top=-?\d+\r\n$")
        self.assertIn("Form_Main_Text_Hour=23\r\n", saved)
        self.assertFalse(wait_until(lambda: not self.icon_shown(s), what="the icon gone") is None)

    def test_a_prepared_settings_file_comes_back_into_the_window(self):
        s, w = self.start_program(settings=SETTINGS_EXAMPLE)
        self.assertEqual(w.text("Text_Hour"), "22")
        self.assertEqual(w.text("Text_Minute"), "30")
        self.assertEqual(w.text("Combo_Percents"), "33%")
        self.assertEqual(w.checked("Option_Volume"), 1)
        self.assertEqual(w.checked("Option_Message"), 0)
        self.assertEqual(w.checked("Check_FullScreen_Brake"), 1)
        self.assertTrue(s.drive("window", w["Combo_Percents"])["enabled"])
        self.assertFalse(s.drive("window", w["Text_Message"])["enabled"])
        self.assertEqual(s.drive("window", w.hwnd)["screen"][:2], [pixels(600), pixels(450)])

    def test_the_close_box_hides_and_tells_how_once_also_after_a_restart(self):
        s, w = self.start_program()
        left, top, right, bottom = s.drive("window", w.hwnd)["screen"]
        s.xdotool("mousemove", right - 12, top + 11, "click", "1")  # the close box
        box = s.drive("msgbox", "Tivora!!!", 5000)
        self.assertEqual(box["text"], NOTICE)
        self.assertFalse(self.visible(s, w))
        s.drive("answer", box["hwnd"])
        self.click_icon(s)
        wait_until(lambda: self.visible(s, w), what="shown from the tray")
        s.drive("close", w.hwnd)
        wait_until(lambda: not self.visible(s, w), what="hidden again")
        with self.assertRaises(DriverError):
            s.drive("msgbox", "Tivora!!!", 1500)
        self.choose(s, 4)
        s.wait_exit(10)
        self.assertIn("Form_Main_Check_Message_Exit=1\r\n", self.settings())
        s, w = self.start_program(session=s)
        s.drive("close", w.hwnd)
        wait_until(lambda: not self.visible(s, w), what="hidden after the restart")
        with self.assertRaises(DriverError):
            s.drive("msgbox", "Tivora!!!", 1500)

    def test_with_minimize_ticked_it_starts_hidden_and_running(self):
        s, w = self.start_program(settings=SETTINGS_EXAMPLE.replace("Check_Minimize=0", "Check_Minimize=1"),
                                  visible=False)
        wait_until(lambda: w.text("Command_ON_OFF") == "Стоп", what="the trigger runs")
        self.assertFalse(self.visible(s, w))
        self.assertFalse(s.drive("window", w["Text_Hour"])["enabled"])
        self.choose(s, 1)  # the first entry now reads "Показать"
        wait_until(lambda: self.visible(s, w), what="shown from the menu")
        self.assertEqual(w.text("Command_ON_OFF"), "Стоп")  # showing it did not start-and-hide again

    def test_the_end_of_the_windows_session_saves_the_settings(self):
        s, w = self.start_program()
        s.drive("settext", w["Text_Minute"], "45")
        w.click("Check_FullScreen_Brake")
        wait_until(lambda: w.checked("Check_FullScreen_Brake") == 1, what="ticked")
        s.wine("wineboot", "-e", check=False)  # ends the session: the program is killed after it
        s.wait_exit(15)
        saved = self.settings()
        self.assertIsNotNone(saved, "no Settings.ini after the session ended")
        self.assertIn("Form_Main_Text_Minute=45\r\n", saved)
        self.assertIn("Form_Main_Check_FullScreen_Brake=1\r\n", saved)

    def test_the_icon_comes_back_when_the_notification_area_is_made_anew(self):
        s, w = self.start_program()
        wait_until(lambda: self.icon_shown(s), what="the tray icon")
        s.drive("tray-delete", w.hwnd, 1)  # the icons go with the old notification area (ours is number 1)
        wait_until(lambda: not self.icon_shown(s), what="the icon gone")
        s.drive("broadcast", "TaskbarCreated")  # as Explorer says when it has made a new one
        wait_until(lambda: self.icon_shown(s), what="the icon back")


if __name__ == "__main__":
    run_tests(__name__)
