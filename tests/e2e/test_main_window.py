"""The main window as a user meets it: the real Tivora.exe under Wine, driven from outside."""
import os
from pathlib import Path

from tivora_e2e import SessionTestCase, run_tests, wait_until

PROGRAM = Path(os.environ.get("TIVORA_E2E_PROGRAM", Path(__file__).resolve().parents[2] / "build" / "program"))

# name, window class, text, (left, top, width, height) in twips, enabled
VISIBLE = [
    ("Command_ON_OFF", "Button", "Старт", (1200, 120, 735, 495), True),
    ("Text_Hour", "Edit", "23", (120, 120, 375, 375), True),
    ("Text_Minute", "Edit", "00", (600, 120, 375, 375), True),
    ("Text_Message", "Edit", "Tivora свое чертово радио!!!", (120, 1560, 2655, 375), True),
    ("Command_Help", "Button", "Справка", (120, 3960, 2655, 255), True),
    ("Option_Message", "Button", "Сообщение", (120, 1320, 2655, 195), True),
    ("Option_Volume", "Button", "Изменение громкости до", (120, 840, 2775, 195), True),
    ("Option_Melody", "Button", "Мелодия (melody.mp3)", (120, 1080, 2775, 195), True),
    ("Combo_Percents", "ComboBox", "50%", (2040, 1080, 735, 315), False),
    ("Command_Test", "Button", "Тест", (2040, 120, 735, 495), True),
    ("Check_AutoStart", "Button", "Загружать программу при загрузке Windows", (120, 2160, 2655, 375), True),
    ("Check_Minimize", "Button", "Сворачивать и стартовать программу при ее загрузке", (120, 2640, 2655, 375), True),
    ("Check_FullScreen_Brake", "Button", "Пытаться сворачивать полноэкранные приложения", (120, 3120, 2655, 375),
     True),
    ("Label_Hour", "Static", "Час", (120, 480, 495, 255), True),
    ("Label_Minute", "Static", "Минута", (600, 480, 615, 255), True),
]
HIDDEN = [  # never visible: name, window class, (left, top) in twips
    ("Label_Indicator", "Static", (960, 240)),
    ("Check_Message_Exit", "Button", (120, 720)),
    ("Check_MsgBox", "Button", (2040, 600)),
]
BM_GETCHECK = 0x00F0


def pixels(twips, dpi=96):
    return round(twips * dpi / 1440)


class MainWindow(SessionTestCase):
    def start_program(self, dpi=96):
        s = self.start_session()
        if dpi != 96:
            s.wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", dpi, "/f")
        folder = s.program_folder({p.name: p for p in PROGRAM.iterdir() if p.is_file()})
        s.start(folder.unix / "Tivora.exe")
        main = wait_until(lambda: next((w for w in s.drive("list")
                                        if w["class"] == "TivoraForm" and w["visible"]), None),
                          timeout=20, what="the main window shows")
        return s, main, s.drive("children", main["hwnd"])

    def find(self, controls, cls, left, top, dpi=96):
        hits = [c for c in controls if c["class"] == cls and c["rect"][:2] == [pixels(left, dpi), pixels(top, dpi)]]
        self.assertEqual(len(hits), 1, f"one {cls} at ({left}, {top}) twips: {hits}")
        return hits[0]

    def test_every_control_is_at_its_place_with_its_design_text_and_state(self):
        s, main, controls = self.start_program()
        window = s.drive("window", main["hwnd"])
        self.assertEqual(window["client"], [pixels(2880), pixels(4305)])
        for name, cls, text, (left, top, width, height), enabled in VISIBLE:
            with self.subTest(name):
                c = self.find(controls, cls, left, top)
                self.assertEqual(c["text"], text)
                self.assertTrue(c["visible"])
                self.assertEqual(c["enabled"], enabled)
                self.assertEqual(c["rect"][2], pixels(width))
                if cls != "ComboBox":  # a drop-down box takes the height its font needs
                    self.assertEqual(c["rect"][3], pixels(height))
        for name, cls, (left, top) in HIDDEN:
            with self.subTest(name):
                self.assertFalse(self.find(controls, cls, left, top)["visible"])
        option = self.find(controls, "Button", 120, 1320)
        self.assertEqual(s.drive("send", option["hwnd"], BM_GETCHECK, 0, 0)["result"], 1)
        for left, top in [(120, 840), (120, 1080), (120, 2160), (120, 2640), (120, 3120)]:
            self.assertEqual(s.drive("send", self.find(controls, "Button", left, top)["hwnd"], BM_GETCHECK, 0, 0)
                             ["result"], 0)
        focus = s.drive("focus", main["hwnd"])["focus"]
        self.assertEqual(focus["text"], "Старт")

    def test_at_120_dpi_the_layout_scales_with_the_screen(self):
        s, main, controls = self.start_program(dpi=120)
        self.assertEqual(s.drive("window", main["hwnd"])["client"], [pixels(2880, 120), pixels(4305, 120)])
        for name, cls, text, (left, top, width, height), enabled in VISIBLE:
            with self.subTest(name):
                c = self.find(controls, cls, left, top, dpi=120)
                self.assertEqual(c["rect"][2], pixels(width, 120))

    def test_the_window_comes_up_centred_beside_its_hidden_application_window(self):
        s, main, controls = self.start_program()
        left, top, right, bottom = s.drive("window", main["hwnd"])["screen"]
        # Centred on the 1024 x 768 desktop (which has no taskbar until a tray icon appears).
        self.assertLessEqual(abs((left + right) / 2 - 512), 1)
        self.assertLessEqual(abs((top + bottom) / 2 - 384), 1)
        app = s.drive("find", "Tivora!!!", 2000, "--class", "TivoraApplication")
        self.assertFalse(app["visible"])
        self.assertEqual(app["pid"], main["pid"])

    def test_a_real_mouse_click_ticks_a_check_box_and_a_second_unticks_it(self):
        s, main, controls = self.start_program()
        box = self.find(controls, "Button", 120, 2640)
        l, t, r, b = s.drive("window", box["hwnd"])["screen"]
        s.xdotool("mousemove", l + 6, (t + b) // 2, "click", "1")
        wait_until(lambda: s.drive("send", box["hwnd"], BM_GETCHECK, 0, 0)["result"] == 1, what="ticked")
        s.xdotool("click", "1")
        wait_until(lambda: s.drive("send", box["hwnd"], BM_GETCHECK, 0, 0)["result"] == 0, what="unticked")

    def test_tab_visits_only_visible_enabled_controls_from_the_start_button(self):
        s, main, controls = self.start_program()
        expected = [self.find(controls, cls, left, top)["hwnd"]
                    for name, cls, text, (left, top, _, _), enabled in VISIBLE
                    if enabled and cls != "Static"]
        self.assertEqual(s.drive("focus", main["hwnd"])["focus"]["hwnd"], expected[0])
        sent = s.drive("keys", main["hwnd"], *["TAB"] * len(expected))["sent_to"]
        visited = [expected[0]] + sent[1:] + [s.drive("focus", main["hwnd"])["focus"]["hwnd"]]
        self.assertEqual(visited, expected + [expected[0]])

    def test_a_third_character_typed_into_the_hour_box_is_refused(self):
        s, main, controls = self.start_program()
        hour = self.find(controls, "Edit", 120, 120)
        s.drive("send", hour["hwnd"], 0x00B1, 2, 2)  # EM_SETSEL: the caret after "23"
        s.drive("type", hour["hwnd"], "5")
        self.assertEqual(s.drive("gettext", hour["hwnd"])["text"], "23")
        minute = self.find(controls, "Edit", 600, 120)
        s.drive("send", minute["hwnd"], 0x00B1, 0, 2)
        s.drive("type", minute["hwnd"], "459")
        self.assertEqual(s.drive("gettext", minute["hwnd"])["text"], "45")


if __name__ == "__main__":
    run_tests(__name__)
