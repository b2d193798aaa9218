"""The tray icon at the display scales users set, from 125 % to 250 %: the shell's callbacks as
the window gets them, and real clicks on the icon. The shell puts its mouse message where a
mouse move has its pixel X; at 168 and 216 DPI a pixel is no whole number of twips."""
from program import ProgramTestCase
from tivora_e2e import run_tests, wait_until

CALLBACK = 0x200  # the icon's callback message, WM_MOUSEMOVE
LEFT_DOWN, LEFT_UP, RIGHT_DOWN, RIGHT_UP = 0x201, 0x202, 0x204, 0x205


class Scales(ProgramTestCase):
    def close_menu(self, s):
        """Closes the open tray menu as a user does who changed their mind: a click elsewhere."""
        s.xdotool("mousemove", 20, 20, "click", "1")  # the desktop, away from the window and the menu
        wait_until(lambda: self.tray_menu(s) is None, what="the menu closed")

    def check_the_tray_at(self, dpi):
        s, w = self.start_program(dpi=dpi)
        # The program runs at that scale: its window is two inches wide, and whole where it is
        # taller than the screen (nothing in it follows its bottom edge).
        whole = lambda twips: (twips * dpi + 720) // 1440  # as Windows rounds: halves up
        self.assertEqual(s.drive("window", w.hwnd)["client"], [whole(2880), whole(4305)])
        wait_until(lambda: self.icon_shown(s), what="the tray icon")

        def callback(*messages):  # as the shell sends them, wParam being the icon's uID
            for message in messages:
                s.drive("post", w.hwnd, CALLBACK, 1, message)

        callback(LEFT_DOWN, LEFT_UP)
        wait_until(lambda: not self.visible(s, w), what="hidden by a left click's callbacks")
        callback(RIGHT_DOWN, LEFT_DOWN, LEFT_UP)  # the right button pressed without a release
        wait_until(lambda: self.visible(s, w), what="shown by a left click's callbacks")
        self.assertIsNone(self.tray_menu(s), "a menu opened before the right button was released")
        callback(RIGHT_UP)
        wait_until(lambda: self.tray_menu(s), what="the menu opens when the right button is released")
        self.close_menu(s)

        self.click_icon(s)
        wait_until(lambda: not self.visible(s, w), what="hidden by a click on the icon")
        self.click_icon(s)
        wait_until(lambda: self.visible(s, w), what="shown by a click on the icon")
        self.assertIsNone(self.tray_menu(s))
        self.click_icon(s, "3")
        wait_until(lambda: self.tray_menu(s), what="the menu opens on a right click")
        self.close_menu(s)
        self.assertTrue(self.visible(s, w))

    def test_at_120_dpi(self):
        self.check_the_tray_at(120)

    def test_at_144_dpi(self):
        self.check_the_tray_at(144)

    def test_at_168_dpi(self):
        self.check_the_tray_at(168)

    def test_at_192_dpi(self):
        self.check_the_tray_at(192)

    def test_at_216_dpi(self):
        self.check_the_tray_at(216)

    def test_at_240_dpi(self):
        self.check_the_tray_at(240)


if __name__ == "__main__":
    run_tests(__name__)
