"""The program in a folder whose name the system's 8-bit code page cannot write, as a per-user
install puts it: C:\\Users\\André\\Tivora on a Russian system (code page 1251 has no "é"), and
C:\\Users\\Пётр\\Tivora on a Western one (code page 1252 has no Cyrillic); and a message that the
code page cannot write, on a Western, a Russian and a Japanese system (1252, 1251, 932)."""
from program import SETTINGS_EXAMPLE, STUB_VOLUME, ProgramTestCase
from tivora_e2e import DriverError, run_tests, wait_until

ANDRE = "Users\\André\\Tivora"
PETR = "Users\\Пётр\\Tivora"
WESTERN = {"LC_ALL": "C.UTF-8"}  # Wine's code page 1252
CODE_PAGES = {1252: "en_US.UTF-8", 1251: "ru_RU.UTF-8", 932: "ja_JP.UTF-8"}
UTF16_MARK = b"\xff\xfe"
RUN_KEY = r"HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"


class UnicodeFolder(ProgramTestCase):
    def start_up(self, folder=ANDRE, session=None, env=None, settings=None, encoding="cp1251"):
        """Starts the program, makes sure that it reported nothing on the way up, and gives its main
        window once it shows."""
        s, w = self.start_program(folder=folder, session=session, env=env, settings=settings, encoding=encoding,
                                  visible=False)
        try:
            box = s.drive("msgbox", "Tivora!!!", 2000)
        except DriverError:
            return s, self.main_window(s)
        self.fail(f"a report at start-up: {box['text']}")

    def exit_from_the_tray(self, s):
        self.choose(s, 4)  # "Выход"
        self.assertEqual(s.wait_exit(10), 0)

    def saved(self, encoding):
        """The settings file's text: in the code page, or in UTF-16 when it begins with its mark."""
        raw = (self.folder.unix / "Settings.ini").read_bytes()
        return raw[2:].decode("utf-16-le") if raw.startswith(UTF16_MARK) else raw.decode(encoding)

    def test_the_saved_settings_come_back_and_a_change_survives_exit_and_restart(self):
        s, w = self.start_up(settings=SETTINGS_EXAMPLE)
        self.assertEqual(self.folder.windows, "C:\\Users\\André\\Tivora")
        self.assertEqual(w.text("Text_Hour"), "22")
        self.assertEqual(w.text("Text_Minute"), "30")
        self.assertEqual(w.text("Combo_Percents"), "33%")
        self.assertEqual(w.checked("Option_Volume"), 1)
        self.assertEqual(w.checked("Check_FullScreen_Brake"), 1)

        w.click("Option_Message")
        wait_until(lambda: s.drive("window", w["Text_Message"])["enabled"], what="the message box enabled")
        s.drive("settext", w["Text_Hour"], "21")
        s.drive("settext", w["Text_Message"], "Спокойной ночи, André ✓")
        self.exit_from_the_tray(s)
        saved = self.saved("cp1251")
        self.assertIn("Form_Main_Text_Hour=21\r\n", saved)
        self.assertIn("Form_Main_Option_Message=True\r\n", saved)
        # Neither "é" nor "✓" is in the code page: the file turned Unicode to keep them.
        self.assertIn("Form_Main_Text_Message=Спокойной ночи, André ✓\r\n", saved)
        # Nothing went to the folder the code page makes of the name.
        users = self.folder.unix.parents[1]
        self.assertEqual(sorted(p.name for p in users.iterdir() if p.name.startswith("Andr")), ["André"])

        s, w = self.start_up(session=s)
        self.assertEqual(w.text("Text_Hour"), "21")
        self.assertEqual(w.checked("Option_Message"), 1)
        self.assertEqual(w.text("Text_Message"), "Спокойной ночи, André ✓")

    def test_on_a_western_system_a_cyrillic_user_name_keeps_the_settings_too(self):
        settings = SETTINGS_EXAMPLE.replace("Tivora свое чертово радио!!!", "Good night")
        s, w = self.start_up(folder=PETR, env=WESTERN, settings=settings, encoding="cp1252")
        self.assertEqual(self.folder.windows, "C:\\Users\\Пётр\\Tivora")
        self.assertEqual(w.text("Text_Hour"), "22")
        self.assertEqual(w.text("Text_Message"), "Good night")
        s.drive("settext", w["Text_Minute"], "45")
        self.exit_from_the_tray(s)
        self.assertIn("Form_Main_Text_Minute=45\r\n", self.saved("cp1252"))
        s, w = self.start_up(folder=PETR, session=s, env=WESTERN)
        self.assertEqual(w.text("Text_Minute"), "45")

    def test_a_message_the_code_page_cannot_write_survives_exit_and_a_new_start(self):
        message = "Пора спать, Иван. Ұйықтау уақыты — әжеңе қоңырау шал"
        for code_page, locale in CODE_PAGES.items():
            with self.subTest(code_page):
                env = {"LC_ALL": locale}
                s, w = self.start_up(folder="Tivora", env=env)
                s.drive("settext", w["Text_Message"], message)
                self.exit_from_the_tray(s)
                self.assertTrue((self.folder.unix / "Settings.ini").read_bytes().startswith(UTF16_MARK))
                s, w = self.start_up(folder="Tivora", session=s, env=env)
                self.assertEqual(w.text("Text_Message"), message)

    def test_on_a_russian_system_a_russian_file_comes_back_byte_for_byte(self):
        s, w = self.start_up(folder="Tivora", settings=SETTINGS_EXAMPLE)
        before = (self.folder.unix / "Settings.ini").read_bytes()
        self.exit_from_the_tray(s)
        self.assertEqual((self.folder.unix / "Settings.ini").read_bytes(), before)

    def test_the_melody_and_the_volume_tool_start_from_the_folder(self):
        s, w = self.start_up()
        # A recorder of ours plays .mp3 files: it notes the command line it was started with.
        recorder = s.program_folder({"recorder.exe": STUB_VOLUME}, "Recorder")
        s.wine("reg", "add", r"HKCR\.mp3", "/ve", "/d", "test.mp3file", "/f")
        s.wine("reg", "add", r"HKCR\test.mp3file\shell\open\command", "/ve", "/d",
               f'"{recorder.windows}\\recorder.exe" "%1"', "/f")
        w.click("Option_Melody")
        w.click("Command_Test")
        log = recorder.unix / "recorder-calls.txt"  # the stub records under the name it has
        played = wait_until(lambda: log.exists() and log.read_text(encoding="utf-8").splitlines(), timeout=15,
                            what="the melody opened")
        self.assertEqual(len(played), 1)
        self.assertTrue(played[0].endswith(f' "{self.folder.windows}\\melody.mp3"'), played[0])

        w.click("Option_Volume")
        w.click("Command_Test")
        calls = wait_until(self.volume_calls, timeout=15, what="the volume tool started")
        self.assertEqual(calls[0][1], f'"{self.folder.windows}\\volume.exe" setsysvolume 32767,5')

    def test_autostart_registers_the_quoted_path_whole(self):
        s, w = self.start_up()
        registered = lambda: s.drive("regvalue", RUN_KEY, "Tivora!!! v.1.1")["data"]
        self.assertIsNone(registered())
        w.click("Check_AutoStart")
        data = wait_until(registered, timeout=15, what="the Run value written")
        self.assertEqual(data, '"C:\\Users\\André\\Tivora\\Tivora.exe"')


if __name__ == "__main__":
    run_tests(__name__)
