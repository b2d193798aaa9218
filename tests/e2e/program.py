"""The real Tivora.exe in a throw-away program folder, and its main window's controls as the form
declares them (form_facts.exe), found in the real window by where the design puts them."""
import json
import os
import subprocess
from pathlib import Path

from tivora_e2e import SessionTestCase, wait_until

ROOT = Path(__file__).resolve().parents[2]
PROGRAM = Path(os.environ.get("TIVORA_E2E_PROGRAM", ROOT / "build" / "win32" / "program"))
STUB_VOLUME = Path(os.environ.get("TIVORA_E2E_STUB_VOLUME", ROOT / "build" / "win32" / "tests" / "stub_volume.exe"))
HUNG_WINDOW = Path(os.environ.get("TIVORA_E2E_HUNG_WINDOW", ROOT / "build" / "win32" / "tests" / "hung_window.exe"))

FORM_FACTS = Path(os.environ.get("TIVORA_E2E_FORM_FACTS", ROOT / "build" / "win32" / "tests" / "form_facts.exe"))


def form_facts():
    """Form_Main as its declaration and layout make it: form_facts.exe's JSON, made under Wine once
    per build of it and kept beside it."""
    if not FORM_FACTS.exists():
        raise FileNotFoundError(f"{FORM_FACTS} is not built: cmake --build --preset win32")
    kept = FORM_FACTS.with_suffix(".json")
    if not kept.exists() or kept.stat().st_mtime < FORM_FACTS.stat().st_mtime:
        made = kept.with_suffix(f".{os.getpid()}.tmp")
        with open(made, "wb") as out:
            subprocess.run([ROOT / "scripts" / "wine-run", FORM_FACTS], stdout=out, check=True)
        made.replace(kept)  # whole, also when suites run side by side
    return json.loads(kept.read_text())


FORM = form_facts()
# The class of a control's window under Wine, by its kind (the timer and the menus have no window,
# and the picture box, a surface to print on, is never shown and not looked for).
WINDOW_CLASS = {"CommandButton": "Button", "OptionButton": "Button", "CheckBox": "Button", "TextBox": "Edit",
                "ComboBox": "ComboBox", "Label": "Static"}
WINDOWED = [c for c in FORM["controls"] if c["kind"] in WINDOW_CLASS]
# name: window class, design text, (left, top, width, height) in twips, enabled at start
VISIBLE = {c["name"]: (WINDOW_CLASS[c["kind"]], c["text"], tuple(c["rect"]), c["enabled"])
           for c in WINDOWED if c["visible"]}
TAB_ORDER = FORM["tab_order"]
HIDDEN = {  # never seen at rest (the indicator only while the trigger runs): window class, (left, top) in twips
    c["name"]: (WINDOW_CLASS[c["kind"]], tuple(c["rect"][:2])) for c in WINDOWED if not c["visible"]}
# The settings file's keys in their order: {key: (control name, design value)}.
KEYS = {c["key"]: (c["name"], c["value"]) for c in FORM["controls"] if c["key"]}
# name: BM_GETCHECK's answer at start (an option button's 1 when chosen, a check box's Value) for
# the option buttons and check boxes one sees
CHECKED = {c["name"]: int(c["value"] == "True") if c["kind"] == "OptionButton" else int(c["value"])
           for c in FORM["controls"] if c["kind"] in ("OptionButton", "CheckBox") and c["visible"]}

BM_GETCHECK = 0x00F0
EM_SETSEL = 0x00B1
CB_SETCURSEL = 0x014E
WM_COMMAND = 0x0111
CBN_SELCHANGE = 1
WS_MINIMIZE = 0x20000000
WM_SYSCOMMAND = 0x0112
SC_MINIMIZE = 0xF020


def pixels(twips, dpi=96):
    return round(twips * dpi / 1440)


class MainWindow:
    """The running program's main window, its controls reachable by their design names."""

    def __init__(self, session, top, dpi=96):
        self.s = session
        self.top = top
        self.hwnd = top["hwnd"]
        self.dpi = dpi
        self.controls = session.drive("children", self.hwnd)

    def at(self, cls, left, top):
        hits = [c for c in self.controls
                if c["class"] == cls and c["rect"][:2] == [pixels(left, self.dpi), pixels(top, self.dpi)]]
        if len(hits) != 1:
            raise AssertionError(f"not one {cls} at ({left}, {top}) twips: {hits}")
        return hits[0]

    def control(self, name):
        if name in VISIBLE:
            cls, _, (left, top, _, _), _ = VISIBLE[name]
        else:
            cls, (left, top) = HIDDEN[name]
        return self.at(cls, left, top)

    def __getitem__(self, name):
        return self.control(name)["hwnd"]

    def facts(self, name):
        return self.s.drive("window", self[name])

    def text(self, name):
        return self.s.drive("gettext", self[name])["text"]

    def click(self, name):
        self.s.drive("click", self[name])

    def checked(self, name):
        return self.s.drive("send", self[name], BM_GETCHECK, 0, 0)["result"]

    def pick(self, name, index):
        """Picks a list entry as the user does: the box selects it and tells its window."""
        combo = self.control(name)
        self.s.drive("send", combo["hwnd"], CB_SETCURSEL, index, 0)
        self.s.drive("send", self.hwnd, WM_COMMAND, (CBN_SELCHANGE << 16) | combo["id"], combo["hwnd"])


def settings_text(values, left, top):
    """A whole settings file as the program writes it: every key with its design value unless values
    gives another (by control name), then the window's position."""
    lines = [f"[{FORM['name']}]"] + [f"{key}={values.get(name, value)}" for key, (name, value) in KEYS.items()]
    return "\n".join(lines + ["[Program_Settings]", f"Form_Left={left}", f"Form_Top={top}", ""])


SETTINGS_EXAMPLE = settings_text({"Check_FullScreen_Brake": "1", "Combo_Percents": "33%", "Option_Volume": "True",
                                  "Option_Message": "False", "Text_Minute": "30", "Text_Hour": "22"}, 600, 450)


def ini_values(text):
    """{section: {key: value}} of a settings file's text."""
    values, section = {}, None
    for line in text.splitlines():
        if line.startswith("[") and line.endswith("]"):
            section = values.setdefault(line[1:-1], {})
        elif "=" in line and section is not None:
            key, value = line.split("=", 1)
            section[key] = value
    return values


def settings_file(text, encoding="cp1251"):
    """A settings file as the program writes it: the system's code page (1251 here), CR LF."""
    return text.replace("\n", "\r\n").encode(encoding)


class ProgramTestCase(SessionTestCase):
    dpi = 96  # the display scale of the program started last

    def prepare_program(self, dpi=96, volume_stub=True, files=None, settings=None, folder="Tivora test",
                        encoding="cp1251", start_in=None):
        """A session with Tivora.exe in C:\\<folder>\\ (C:\\Tivora test\\ unless told otherwise; with the
        stub volume tool unless told not to) and a Settings.ini of the given text (in the given code
        page), not started yet: for what must happen before. Given start_in ({file name: source
        path}), the program's current folder will be C:\\Start folder\\ with those files, as when a
        user starts it from another folder (such as the Downloads folder where the zip was
        unpacked); otherwise the program folder."""
        s = self.start_session()
        self.dpi = dpi
        if dpi != 96:  # Wine takes the display scale from both keys
            for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
                s.wine("reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", dpi, "/f")
        program_files = {p.name: p for p in PROGRAM.iterdir() if p.is_file()}
        program_files.pop("volume.exe", None)
        if volume_stub:
            program_files["volume.exe"] = STUB_VOLUME
        program_files.update(files or {})
        self.folder = s.program_folder(program_files, folder)
        if settings is not None:
            (self.folder.unix / "Settings.ini").write_bytes(settings_file(settings, encoding))
        self.start_folder = self.folder if start_in is None else s.program_folder(start_in, "Start folder")
        return s

    def start_program(self, dpi=96, volume_stub=True, env=None, files=None, settings=None, session=None,
                      visible=True, folder="Tivora test", encoding="cp1251", start_in=None):
        """Starts Tivora.exe as prepare_program lays it out; again in the same folder when given its
        session (or first there, given a session from prepare_program)."""
        if session is None:
            session = self.prepare_program(dpi, volume_stub, files, settings, folder, encoding, start_in)
        session.start(self.folder.unix / "Tivora.exe", env=env, cwd=self.start_folder.unix)
        return session, self.main_window(session, visible, self.dpi)

    def main_window(self, s, visible=True, dpi=96):
        top = wait_until(lambda: next((w for w in s.drive("list") if w["class"] == "TivoraForm"
                                       and w["title"] == "Tivora!!! v.1.1" and (w["visible"] or not visible)), None),
                         timeout=20, what="the main window is up")
        return MainWindow(s, top, dpi)

    def visible(self, s, w):
        return s.drive("window", w.hwnd)["visible"]

    def icon_position(self, s):
        """The middle of our icon: the first at the right end of the taskbar, 3 pixels from its
        edge, as wide as a small icon (16 pixels at 96 DPI, more at a larger scale)."""
        tray = s.drive("find", "", 5000, "--class", "Shell_TrayWnd")
        left, top, right, bottom = tray["rect"]
        return right - 3 - round(8 * self.dpi / 96), (top + bottom) // 2

    def icon_shown(self, s):
        """Our icon (a pale moon on navy) sits at the right end of the taskbar."""
        x, y = self.icon_position(s)
        half = round(6 * self.dpi / 96)
        shot = s.screenshot(s.tmp / "tray.png")
        crop = f"{2 * half}x{2 * half}+{x - half}+{y - half}"
        moon = subprocess.run(["convert", str(shot), "-crop", crop, "-fx",
                               "(r>0.8)*(g>0.8)*(b<0.8)", "-format", "%[fx:mean]", "info:"],
                              capture_output=True, text=True, check=True).stdout
        return float(moon) > 0.1  # neither the taskbar nor the desktop has that pale yellow

    def click_icon(self, s, button="1", repeat=1):
        x, y = self.icon_position(s)
        s.xdotool("mousemove", x, y, "click", "--repeat", repeat, "--delay", 120, button)

    def tray_menu(self, s):
        """The open tray menu (a visible #32768 window), or None."""
        return next((m for m in s.drive("list") if m["class"] == "#32768" and m["visible"]), None)

    def open_menu(self, s):
        """Opens the icon's menu with the right button; returns its window."""
        self.click_icon(s, "3")
        return wait_until(lambda: self.tray_menu(s), what="the tray menu opens")

    def choose(self, s, entry, entries=4):
        """Opens the icon's menu with the right button and clicks its entry number (1 to 4)."""
        menu = self.open_menu(s)
        left, top, right, bottom = s.drive("window", menu["hwnd"])["screen"]
        height = (bottom - top - 6) / entries  # a 3-pixel frame around equal entries
        s.xdotool("mousemove", (left + right) // 2, int(top + 3 + (entry - 0.5) * height), "click", "1")

    def settings(self):
        """The program's Settings.ini as text, or None."""
        path = self.folder.unix / "Settings.ini"
        return path.read_bytes().decode("cp1251") if path.exists() else None

    def volume_calls(self):
        """(local start time, command line) of each start of the stub volume tool."""
        return self.stub_calls(self.folder, "volume")

    def stub_calls(self, folder, name):
        """(local start time, command line) of each start of the recording stub as NAME.exe in the folder."""
        log = folder.unix / f"{name}-calls.txt"
        if not log.exists():
            return []
        return [tuple(line.split("\t", 1)) for line in log.read_text(encoding="utf-8").splitlines()]
