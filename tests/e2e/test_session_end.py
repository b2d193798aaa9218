"""The end of the Windows session (`wineboot -e`: WM_QUERYENDSESSION, WM_ENDSESSION, then Wine
ends the program) while the program waits in one of its modal loops: a message box, an error
report, the tray menu, the help window, the print dialog. Each time the settings file is written
once, with what the user sees in the window; a window still loading writes nothing."""
import os
import time

from print_server import WithPrintServer
from program import SETTINGS_EXAMPLE, ProgramTestCase, ini_values
from test_tray import NOTICE
from tivora_e2e import run_tests, wait_until

START_UP_REPORT = "Ошибка функции Settings№13, 'Несоответствие типа', строка 8"
VOLUME_REPORT = "Ошибка функции vAction№53, 'Файл не найден', строка 5"


class SessionEndCase(ProgramTestCase):
    """Starting with the user's changes, ending the session, reading what was saved."""

    def start_changed(self, **kwargs):
        """Starts with the example settings and changes two of them as the user would: the minute
        typed anew and a tick taken away. Returns the session, the window and the settings the
        user now sees."""
        s, w = self.start_program(settings=SETTINGS_EXAMPLE, **kwargs)
        s.drive("settext", w["Text_Minute"], "45")
        w.click("Check_FullScreen_Brake")
        self.assertEqual(w.text("Text_Minute"), "45")
        wait_until(lambda: w.checked("Check_FullScreen_Brake") == 0, what="the tick taken away")
        seen = ini_values(SETTINGS_EXAMPLE)
        seen["Form_Main"].update(Form_Main_Text_Minute="45", Form_Main_Check_FullScreen_Brake="0")
        left, top = s.drive("window", w.hwnd)["screen"][:2]  # in twips: 15 a pixel at 96 DPI
        seen["Program_Settings"] = {"Form_Left": str(left * 15), "Form_Top": str(top * 15)}
        return s, w, seen

    def file_state(self):
        path = self.folder.unix / "Settings.ini"
        return path.read_bytes(), os.stat(path).st_mtime_ns

    def end_session(self, s):
        """Ends the Windows session while the program waits where the test left it. The file must
        be as it was until then, the program must end without a crash, and nothing may write the
        file once it has ended. (Wine ends the program right after WM_ENDSESSION: a second save
        inside that handler, with the same values, would leave no trace in the file; the values
        saved are what counts.) Returns the values in the file."""
        before = self.file_state()
        self.assertEqual(before[0], self.original, "the file was written before the session ended")
        s.wine("wineboot", "-e", check=False)
        self.assertEqual(s.wait_exit(15), 0)  # ended by the session, not by a crash
        saved = self.file_state()
        time.sleep(1)
        self.assertEqual(self.file_state(), saved, "the file was written again after the program ended")
        log = "".join(p.read_text(errors="replace") for p in s.tmp.glob("Tivora-*.log"))
        self.assertNotIn("Unhandled", log)  # Wine's word for a crash, with or without its dialog
        return ini_values(saved[0].decode("cp1251"))

    def start_program(self, **kwargs):
        s, w = super().start_program(**kwargs)
        self.original = (self.folder.unix / "Settings.ini").read_bytes()
        return s, w


class SessionEnd(SessionEndCase):
    def test_a_report_during_start_up_leaves_the_file_as_it_was_to_the_byte(self):
        broken = SETTINGS_EXAMPLE.replace("Form_Main_Check_MsgBox=0\n", "")
        s, w = self.start_program(settings=broken, visible=False)
        box = s.drive("msgbox", "Tivora!!!", 10000)
        self.assertEqual(box["text"], START_UP_REPORT)
        mtime = self.file_state()[1]
        self.end_session(s)
        content, mtime_after = self.file_state()
        self.assertEqual(content.decode("cp1251"), self.original.decode("cp1251"), "the half-loaded window was saved")
        self.assertEqual(mtime_after, mtime, "the file was written again")

    def test_the_close_notice_on_the_screen_is_saved_as_shown(self):
        s, w, seen = self.start_changed()
        s.drive("close", w.hwnd)
        box = s.drive("msgbox", "Tivora!!!", 5000)
        self.assertEqual(box["text"], NOTICE)
        seen["Form_Main"]["Form_Main_Check_Message_Exit"] = "1"
        # The position is where the window stood before the close box hid it.
        self.assertEqual(self.end_session(s), seen)

    def test_the_open_tray_menu(self):
        s, w, seen = self.start_changed()
        self.open_menu(s)
        self.assertEqual(self.end_session(s), seen)

    def test_the_message_of_the_test_button(self):
        s, w, seen = self.start_changed()
        w.click("Option_Message")
        wait_until(lambda: w.checked("Option_Message") == 1, what="the message action chosen")
        seen["Form_Main"].update(Form_Main_Option_Volume="False", Form_Main_Option_Message="True")
        w.click("Command_Test")
        box = s.drive("msgbox", "Tivora!!!", 5000)
        self.assertEqual(box["text"], "Tivora свое чертово радио!!!")
        self.assertEqual(self.end_session(s), seen)

    def test_an_error_report_of_the_volume_action(self):
        s, w, seen = self.start_changed(volume_stub=False)  # the example's action is the volume
        w.click("Command_Test")
        box = s.drive("msgbox", "Tivora!!!", 5000)
        self.assertEqual(box["text"], VOLUME_REPORT)
        self.assertEqual(self.end_session(s), seen)

    def test_the_open_help_window(self):
        s, w, seen = self.start_changed()
        w.click("Command_Help")
        s.drive("find", "Tivora!!! v.1.1 - Справка", 10000)
        self.assertFalse(s.drive("window", w.hwnd)["enabled"])
        self.assertEqual(self.end_session(s), seen)

    def test_the_open_help_window_with_the_main_window_hidden_in_the_tray(self):
        s, w, seen = self.start_changed()
        w.click("Command_Help")
        s.drive("find", "Tivora!!! v.1.1 - Справка", 10000)
        self.choose(s, 1)  # "Скрыть"
        wait_until(lambda: not self.visible(s, w), what="the main window hidden")
        boxes = s.watch(6000, "#32770")
        self.assertEqual(self.end_session(s), seen)
        self.assertEqual([e["title"] for e in boxes.events() if e["event"] == "show"], [])  # no report


class SessionEndWhilePrinting(WithPrintServer, SessionEndCase):
    """The print dialog of the help window, with a printer to print on."""

    def test_the_print_dialog_of_the_help_window(self):
        s, w, seen = self.start_changed()
        w.click("Command_Help")
        help_window = s.drive("find", "Tivora!!! v.1.1 - Справка", 10000)
        button = next(c for c in s.drive("children", help_window["hwnd"]) if c["class"] == "Button")
        s.drive("click", button["hwnd"])
        dialog = s.drive("msgbox", "Печать", 15000)
        self.assertTrue(any(b["id"] == 1 and b["visible"] for b in dialog["buttons"]))
        before = self.server.pdfs()
        self.assertEqual(self.end_session(s), seen)
        self.assertEqual(self.server.pdfs(), before)  # the session's end is no confirmation


if __name__ == "__main__":
    run_tests(__name__)
