"""Where the main window stands and whether the user can see it: the position saved while it is
minimised, a saved position that is off the screen, a minimised window that the program shows,
and a start hidden in the tray that leaves the user's program in front."""
from program import SC_MINIMIZE, SETTINGS_EXAMPLE, WM_SYSCOMMAND, WS_MINIMIZE, ProgramTestCase, ini_values
from tivora_e2e import ARTIFACTS, run_tests, wait_until

MESSAGE = "Tivora свое чертово радио!!!"


def placed(left, top, text=SETTINGS_EXAMPLE):
    """The example settings with the window's position (in twips) put in."""
    return text.replace("Form_Left=600\n", f"Form_Left={left}\n").replace("Form_Top=450\n", f"Form_Top={top}\n")


class Placement(ProgramTestCase):
    def frame(self, s, w):
        return s.drive("window", w.hwnd)

    def minimised(self, s, w):
        return bool(self.frame(s, w)["style"] & WS_MINIMIZE)

    def minimise(self, s, w):
        """As the minimise box does."""
        s.drive("post", w.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0)
        wait_until(lambda: self.minimised(s, w), what="minimised")

    def drag(self, s, w, dx, dy):
        """Drags the window by its title bar; returns where it then stands."""
        left, top = self.frame(s, w)["screen"][:2]
        s.xdotool("mousemove", left + 60, top + 10, "mousedown", "1")
        s.xdotool("mousemove", left + 60 + dx // 2, top + 10 + dy // 2)
        s.xdotool("mousemove", left + 60 + dx, top + 10 + dy, "mouseup", "1")
        wait_until(lambda: self.frame(s, w)["screen"][:2] != [left, top], what="the window moved")
        return self.frame(s, w)["screen"][:2]

    def saved_position(self):
        return ini_values(self.settings())["Program_Settings"]

    def assertRestoredAt(self, s, w, where):
        frame = self.frame(s, w)
        self.assertTrue(frame["visible"])
        self.assertFalse(frame["style"] & WS_MINIMIZE, "still minimised")
        self.assertEqual(frame["screen"][:2], where)

    def test_a_minimised_window_saves_where_it_stood_and_comes_back_there(self):
        s, w = self.start_program(settings=SETTINGS_EXAMPLE)
        where = self.drag(s, w, 200, 100)
        self.minimise(s, w)
        self.choose(s, 4)  # "Выход"
        self.assertEqual(s.wait_exit(10), 0)
        twips = {"Form_Left": str(where[0] * 15), "Form_Top": str(where[1] * 15)}
        self.assertEqual(self.saved_position(), twips)
        s, w = self.start_program(session=s)
        self.assertRestoredAt(s, w, where)
        # The end of the Windows session with the window minimised saves the same.
        self.minimise(s, w)
        s.wine("wineboot", "-e", check=False)
        s.wait_exit(15)
        self.assertEqual(self.saved_position(), twips)

    def start_placed(self, left, top):
        """Starts with the window's position at (left, top) twips in the file; checks that the whole
        window comes up on a work area and that the file is not written until the exit, which
        saves where the window then stood. Returns the window's frame on the screen and the work
        area it is on."""
        s, w = self.start_program(settings=placed(left, top))
        written = (self.folder.unix / "Settings.ini").read_bytes()
        wait_until(lambda: self.icon_shown(s), what="the icon")  # the taskbar is there: the work area is final
        frame = self.frame(s, w)["screen"]
        s.screenshot(ARTIFACTS / f"test_placement.position_{left}_{top}.png")  # to look at
        work = [m["work"] for m in s.drive("monitors")]
        inside = lambda a: a[0] <= frame[0] and a[1] <= frame[1] and frame[2] <= a[2] and frame[3] <= a[3]
        area = next((a for a in work if inside(a)), None)
        self.assertIsNotNone(area, f"{frame} is not wholly on a work area {work}")
        self.assertEqual((self.folder.unix / "Settings.ini").read_bytes(), written,
                         "the file was written before the exit")
        self.choose(s, 4)
        self.assertEqual(s.wait_exit(10), 0)
        self.assertEqual(self.saved_position(), {"Form_Left": str(frame[0] * 15), "Form_Top": str(frame[1] * 15)})
        return frame, area

    def test_a_position_far_right_and_above_the_screen_comes_up_on_it(self):
        frame, area = self.start_placed(600000, -300000)
        # Moved no farther than onto the work area: to its top, by its right edge.
        self.assertEqual([frame[1], frame[2]], [area[1], area[2]])

    def test_the_minimised_spot_saved_by_an_older_version_comes_up_on_the_screen(self):
        frame, area = self.start_placed(-480000, -480000)
        self.assertEqual(frame[:2], area[:2])

    def test_a_position_on_the_screen_is_kept(self):
        frame, area = self.start_placed(600, 450)
        self.assertEqual(frame[:2], [40, 30])

    def test_a_minimised_window_that_the_program_shows_is_restored(self):
        s, w = self.start_program()
        where = self.frame(s, w)["screen"][:2]
        # The action: the window and the message box come up.
        self.minimise(s, w)
        self.choose(s, 3)  # "Тест"
        box = s.drive("msgbox", "Tivora!!!", 5000)
        self.assertEqual(box["text"], MESSAGE)
        self.assertRestoredAt(s, w, where)
        s.drive("answer", box["hwnd"])
        # A left click on the icon hides a minimised window (it is shown), the next one shows it.
        self.minimise(s, w)
        self.click_icon(s)
        wait_until(lambda: not self.frame(s, w)["visible"], what="hidden by the first click")
        self.click_icon(s)
        wait_until(lambda: self.frame(s, w)["visible"], what="shown by the second click")
        self.assertRestoredAt(s, w, where)
        # The menu's first entry does the same.
        self.minimise(s, w)
        self.choose(s, 1)  # "Скрыть"
        wait_until(lambda: not self.frame(s, w)["visible"], what="hidden from the menu")
        self.choose(s, 1)  # "Показать"
        wait_until(lambda: self.frame(s, w)["visible"], what="shown from the menu")
        self.assertRestoredAt(s, w, where)

    def test_started_hidden_it_never_shows_nor_takes_the_foreground(self):
        s = self.prepare_program(settings=SETTINGS_EXAMPLE.replace("Check_Minimize=0", "Check_Minimize=1"))
        s.start(s.prefix / "drive_c" / "windows" / "notepad.exe")
        notepad = wait_until(lambda: next((x for x in s.drive("list") if x["class"] == "Notepad" and x["visible"]),
                                          None), timeout=20, what="notepad is up")["hwnd"]
        wait_until(lambda: s.drive("focus", notepad)["foreground"] == notepad, what="notepad in front")
        watch = s.watch(10000, "TivoraForm")
        s, w = self.start_program(session=s, visible=False)
        wait_until(lambda: w.text("Command_ON_OFF") == "Стоп", what="the trigger runs")
        self.assertTrue(watch.running(), "the watch ended before the start-up did")
        events = watch.events()
        ours = [e for e in events if e["pid"] == w.top["pid"]]
        self.assertEqual(ours, [], "our window was shown or came to the front")
        self.assertFalse(self.frame(s, w)["visible"])
        self.assertEqual(s.drive("focus", notepad)["foreground"], notepad)


if __name__ == "__main__":
    run_tests(__name__)
