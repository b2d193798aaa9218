"""The help window and printing its text through a real print path: Wine's print dialog, CUPS
and a PDF printer; and the main window taking no input while the help window is open."""
import subprocess
import time
from pathlib import Path

from print_server import PrintServer
from program import PROGRAM, ProgramTestCase
from tivora_e2e import DriverError, run_tests, wait_until

HELP_FILE = PROGRAM / "Справка.txt"


def help_text(raw):
    """The help text as the program builds it: five blanks before each line, CR LF between."""
    lines = raw.decode("cp1251").split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    return "\r\n".join("     " + line for line in lines)


class Help(ProgramTestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = PrintServer().start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def open_help(self, files=None):
        s, w = self.start_program(files=files)
        w.click("Command_Help")
        help_window = s.drive("find", "Tivora!!! v.1.1 - Справка", 10000)
        controls = s.drive("children", help_window["hwnd"])
        text = next(c for c in controls if c["class"] == "Edit")
        button = next(c for c in controls if c["class"] == "Button")
        return s, w, help_window, text, button

    def print_and_wait(self, s, button, confirm=True):
        before = PrintServer.pdfs()
        s.drive("click", button["hwnd"])
        dialog = s.drive("msgbox", "Печать", 15000)
        s.drive("answer", dialog["hwnd"], 1 if confirm else 2)
        if not confirm:
            time.sleep(3)
            return None
        new = wait_until(lambda: PrintServer.pdfs() - before, timeout=30, what="the printed PDF")
        pdf = next(iter(new))
        wait_until(lambda: pdf.stat().st_size > 0 and subprocess.run(["pdfinfo", str(pdf)],
                                                                    capture_output=True).returncode == 0,
                   timeout=15, what="the PDF complete")
        return pdf

    def test_the_help_window_shows_the_text_and_holds_the_main_window_until_closed(self):
        s, w, help_window, text, button = self.open_help()
        self.assertEqual(text["text"], help_text(HELP_FILE.read_bytes()))
        self.assertEqual(button["text"], "Печать справки")
        self.assertEqual(s.drive("window", help_window["hwnd"])["client"], [682, 393])
        self.assertFalse(s.drive("window", w.hwnd)["enabled"])
        self.assertEqual(s.drive("focus", help_window["hwnd"])["focus"]["hwnd"], text["hwnd"])
        left, top, right, bottom = w.facts("Command_Test")["screen"]
        s.xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", "1")
        with self.assertRaises(DriverError):
            s.drive("msgbox", "Tivora!!!", 1500)  # the disabled main window took no click
        s.drive("close", help_window["hwnd"])
        wait_until(lambda: s.drive("window", w.hwnd)["enabled"], what="the main window enabled again")
        wait_until(lambda: s.drive("focus", w.hwnd)["active"] == w.hwnd, what="the main window active")

    def test_printing_gives_a_page_for_each_5800_characters_with_the_words_on_them(self):
        raw = HELP_FILE.read_bytes() * 3  # about three pages
        s, w, help_window, text, button = self.open_help(files={"Справка.txt": self.write_help(raw)})
        pdf = self.print_and_wait(s, button)
        info = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True, check=True).stdout
        pages = int(next(line.split()[-1] for line in info.splitlines() if line.startswith("Pages:")))
        characters = len(help_text(raw))
        self.assertEqual(pages, max(1, -(-characters // 5800)), f"{characters} characters")
        # The text reaches the page as the picture it was drawn on, so it is ink, not words that
        # pdftotext could read: every page carries a page's worth of it.
        for page in range(1, pages + 1):
            self.assertGreater(self.ink(pdf, page), 0.01, f"page {page}")
        # Cancelling prints nothing.
        before = PrintServer.pdfs()
        self.assertIsNone(self.print_and_wait(s, button, confirm=False))
        self.assertEqual(PrintServer.pdfs(), before)

    @staticmethod
    def ink(pdf, page):
        """The share of dark pixels on a page."""
        png = subprocess.run(["pdftoppm", "-r", "40", "-f", str(page), "-l", str(page), "-gray", "-png", str(pdf)],
                             capture_output=True, check=True).stdout
        share = subprocess.run(["convert", "png:-", "-threshold", "50%", "-negate", "-format", "%[fx:mean]", "info:"],
                               input=png, capture_output=True, check=True).stdout
        return float(share)

    def write_help(self, raw):
        path = Path(self.start_session().tmp) / "Справка.txt"
        path.write_bytes(raw)
        return path


if __name__ == "__main__":
    run_tests(__name__)
