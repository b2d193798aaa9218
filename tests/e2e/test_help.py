"""The help window and printing its text through a real print path: Wine's print dialog, a CUPS
server of the tests' own and a PDF printer; and the main window taking no input while the help
window is open."""
import re
import subprocess
import tempfile
import time
from pathlib import Path

from print_server import WithPrintServer
from program import PROGRAM, ProgramTestCase
from tivora_e2e import ARTIFACTS, DriverError, run_tests, wait_until

HELP_FILE = PROGRAM / "Справка.txt"
COPIES, PAGES, FROM, TO, PROPERTIES = 1154, 1058, 1152, 1153, 1025  # controls of the print dialog


def help_text(raw):
    """The help text as the program builds it: five blanks before each line, CR LF between."""
    lines = raw.decode("cp1251").split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    return "\r\n".join("     " + line for line in lines)


def drawn(text):
    """The characters DrawText puts on the picture: an ampersand marks the next one and is not
    drawn itself (two draw one)."""
    return re.sub(r"&(.)", r"\1", text, flags=re.S)


def squeezed(text):
    """The text without its blanks and line breaks, which wrapping moves about."""
    return "".join(text.split())


def run(*command):
    return subprocess.run(command, capture_output=True, check=True).stdout


class Help(WithPrintServer, ProgramTestCase):
    def open_help(self, files=None, env=None, dpi=96):
        s, w = self.start_program(files=files, env=env, dpi=dpi)
        w.click("Command_Help")
        help_window = s.drive("find", "Tivora!!! v.1.1 - Справка", 10000)
        controls = s.drive("children", help_window["hwnd"])
        text = next(c for c in controls if c["class"] == "Edit")
        button = next(c for c in controls if c["class"] == "Button")
        return s, w, help_window, text, button

    def print_and_wait(self, s, button, confirm=True, title="Печать", answers=(), properties=None):
        before = self.server.pdfs()
        s.drive("click", button["hwnd"])
        dialog = s.drive("msgbox", title, 15000)
        for control, text in answers:  # the dialog's answers: a control's text, or a click (None)
            hwnd = s.control(dialog, control)["hwnd"]
            s.drive(*(("click", hwnd) if text is None else ("settext", hwnd, text)))
        if properties:  # what the user sets in the driver's own dialog, opened with «Свойства»
            s.drive("click", s.control(dialog, PROPERTIES)["hwnd"])
            sheet = s.drive("msgbox", "Настройки", 15000)
            properties(sheet, s.drive("children", sheet["hwnd"]))
            s.drive("answer", sheet["hwnd"], 1)
        self.assertEqual(dialog["owner"], button["parent"])  # modal to the help window,
        self.assertFalse(s.drive("window", button["parent"])["enabled"])  # which takes no input meanwhile
        s.drive("answer", dialog["hwnd"], 1 if confirm else 2)
        if not confirm:
            time.sleep(3)
            return None
        new = wait_until(lambda: self.server.pdfs() - before, timeout=60, what="the printed PDF")
        return next(iter(new))

    def read_pdf(self, pdf):
        """The number of sheets, the text on them as a PDF reader finds it, and, checked on the
        way, that the text is drawn as text or in images of at least 300 dots per inch."""
        info = run("pdfinfo", pdf).decode()
        sheets = int(next(line.split()[-1] for line in info.splitlines() if line.startswith("Pages:")))
        text = run("pdftotext", "-enc", "UTF-8", pdf, "-").decode()
        fonts = run("pdffonts", pdf).decode().splitlines()[2:]
        images = [line.split() for line in run("pdfimages", "-list", pdf).decode().splitlines()[2:]]
        self.assertTrue(fonts or images, "nothing drawn")
        for image in images:  # page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
            self.assertGreaterEqual(min(int(image[12]), int(image[13])), 300, image)
        return sheets, text

    def read_pages(self, pdf):
        """The words on the sheets as a reader of the paper sees them: the pages rendered and read."""
        words = []
        with tempfile.TemporaryDirectory() as folder:
            run("pdftoppm", "-r", "200", "-gray", "-png", pdf, f"{folder}/page")
            for page in sorted(Path(folder).glob("page*.png")):
                words.append(run("tesseract", page, "-", "-l", "rus").decode())
        return "\n".join(words)

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

    def test_at_175_percent_on_a_small_screen_the_window_fits_and_its_button_is_whole(self):
        s, w, help_window, text, button = self.open_help(dpi=168)  # 1 194 pixels wide as designed
        frame = s.drive("window", help_window["hwnd"])
        left, top, right, bottom = frame["screen"]
        self.assertTrue(0 <= left and right <= 1024 and 0 <= top and bottom <= 768, (left, top, right, bottom))
        # The button keeps its size and its margins to the right and bottom edges (those of the
        # text box too); only the text box shrinks.
        p = lambda twips: (twips * 168 + 720) // 1440  # as Windows rounds: halves up
        width, height = frame["client"]
        margin_right, margin_bottom = p(10230) - p(8520) - p(1575), p(5895) - p(5400) - p(375)
        self.assertEqual(button["rect"], [width - margin_right - p(1575), height - margin_bottom - p(375), p(1575), p(375)])
        text_bottom = p(5895) - p(120) - p(5175)
        self.assertEqual(text["rect"], [p(120), p(120), width - p(120) - margin_right, height - p(120) - text_bottom])
        self.assertLess(width, p(10230))
        s.screenshot(ARTIFACTS / "help-at-168-dpi.png")

    def test_the_shipped_help_reaches_paper_whole_in_text(self):
        s, w, help_window, text, button = self.open_help()
        pdf = self.server.keep(self.print_and_wait(s, button), "shipped-help.pdf")
        sheets, on_paper = self.read_pdf(pdf)
        expected = drawn(help_text(HELP_FILE.read_bytes()))
        # Every line of it, once, in order: the lines that a sheet cannot hold go on the next one.
        self.assertEqual(squeezed(on_paper), squeezed(expected))
        self.assertGreater(sheets, 1)
        # And a reader of the paper finds its second half, which once fell below the first sheet.
        read = self.read_pages(pdf)
        for heading in ("ФЛАЖКИ", "ЗНАЧОК В ОБЛАСТИ УВЕДОМЛЕНИЙ", "ЗАКРЫТИЕ И ВЫХОД", "НАСТРОЙКИ",
                        "СПРАВКА И ПЕЧАТЬ"):
            self.assertIn(heading, read)
        last_line = expected.rstrip().splitlines()[-1].split()
        self.assertIn(" ".join(last_line[-3:]), " ".join(read.split()))

    def test_a_long_text_begins_a_sheet_for_each_5800_characters_and_loses_nothing(self):
        raw = HELP_FILE.read_bytes() * 3
        characters = len(help_text(raw))
        self.assertGreater(characters, 12000)
        s, w, help_window, text, button = self.open_help(files={"Справка.txt": self.write_help(raw)})
        pdf = self.server.keep(self.print_and_wait(s, button), "long-help.pdf")
        sheets, on_paper = self.read_pdf(pdf)
        self.assertGreaterEqual(sheets, -(-characters // 5800), f"{characters} characters")
        self.assertEqual(squeezed(on_paper), squeezed(drawn(help_text(raw))))
        # Cancelling prints nothing.
        before = self.server.pdfs()
        self.assertIsNone(self.print_and_wait(s, button, confirm=False))
        self.assertEqual(self.server.pdfs(), before)

    def test_two_copies_asked_for_are_printed(self):
        s, w, help_window, text, button = self.open_help()
        pdf = self.print_and_wait(s, button, answers=[(COPIES, "2")])
        self.assertEqual(wait_until(lambda: self.server.sheets_printed(pdf), timeout=30, what="the page log"),
                         2 * self.read_pdf(pdf)[0], "the print server prints each sheet of the job twice")

    def test_a_range_of_pages_prints_those_sheets_alone(self):
        s, w, help_window, text, button = self.open_help()
        sheets, on_paper = self.read_pdf(self.print_and_wait(s, button, answers=[(PAGES, None), (FROM, "2"), (TO, "2")]))
        self.assertEqual(sheets, 1)
        self.assertGreater(squeezed(drawn(help_text(HELP_FILE.read_bytes()))).find(squeezed(on_paper)), 0, "a later part")

    def test_a_paper_and_its_orientation_set_in_the_drivers_own_dialog_reach_paper(self):
        # Wine's PostScript driver keeps a private part in its settings block, but what its dialog
        # sets (paper, orientation) lies in public fields, among them the form's name.
        def a5_across(sheet, controls):
            s.drive("choose", next(c for c in controls if c["class"] == "ListBox")["hwnd"], "A5")
            s.drive("click", next(c for c in controls if c["text"].replace("&", "") == "Альбомная")["hwnd"])

        s, w, help_window, text, button = self.open_help()
        pdf = self.server.keep(self.print_and_wait(s, button, properties=a5_across), "help-a5-across.pdf")
        info = dict(line.split(":", 1) for line in run("pdfinfo", pdf).decode().splitlines() if ":" in line)
        self.assertTrue(info["Page size"].strip().endswith("(A5)"), info["Page size"])
        self.assertEqual(info["Page rot"].strip(), "90")  # across
        sheets, on_paper = self.read_pdf(pdf)
        self.assertEqual(squeezed(on_paper), squeezed(drawn(help_text(HELP_FILE.read_bytes()))))
        self.assertGreater(sheets, 2)  # the smaller sheet holds fewer lines

    def test_on_a_western_and_a_japanese_system_the_help_reads_and_prints_whole(self):
        # The system's code page for programs that are not Unicode: 1252 on an English Windows, 932
        # on a Japanese one (the print dialog speaks the system's language there).
        for locale, dialog in (("en_US.UTF-8", "Print"), ("ja_JP.UTF-8", "印刷")):
            with self.subTest(locale):
                s, w, help_window, text, button = self.open_help(env={"LC_ALL": locale})
                self.assertEqual(text["text"], help_text(HELP_FILE.read_bytes()))
                s.screenshot(ARTIFACTS / f"help-window-{locale}.png")
                pdf = self.server.keep(self.print_and_wait(s, button, title=dialog), f"help-{locale}.pdf")
                self.assertEqual(squeezed(self.read_pdf(pdf)[1]), squeezed(drawn(help_text(HELP_FILE.read_bytes()))))

    def write_help(self, raw):
        path = Path(self.start_session().tmp) / "Справка.txt"
        path.write_bytes(raw)
        return path


if __name__ == "__main__":
    run_tests(__name__)
