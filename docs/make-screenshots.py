"""Takes the README's screenshots of the real program under Wine: the main window, the tray
menu and the help window. Run after a win32 build (scripts/run or scripts/test):

    python3 docs/make-screenshots.py
"""
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from program import PROGRAM, MainWindow  # noqa: E402
from tivora_e2e import WineSession, wait_until  # noqa: E402

DOCS = ROOT / "docs"


def crop(shot, rect, target, margin=0):
    left, top, right, bottom = rect
    subprocess.run(["convert", str(shot), "-crop",
                    f"{right - left + 2 * margin}x{bottom - top + 2 * margin}+{left - margin}+{top - margin}",
                    "+repage", str(target)], check=True)
    print(f"wrote {target}")


def main():
    with WineSession(driver=ROOT / "build" / "win32" / "tests" / "driver.exe") as s:
        folder = s.program_folder({p.name: p for p in PROGRAM.iterdir() if p.is_file()}, name="Tivora")
        s.start(folder.unix / "Tivora.exe")
        top = wait_until(lambda: next((w for w in s.drive("list") if w["class"] == "TivoraForm" and w["visible"]),
                                      None), timeout=20)
        window = MainWindow(s, top)
        time.sleep(1)
        shot = s.screenshot(s.tmp / "main.png")
        crop(shot, s.drive("window", window.hwnd)["screen"], DOCS / "main-window.png")

        # The tray menu opens at the icon, at the right end of the taskbar.
        tray = s.drive("find", "", 5000, "--class", "Shell_TrayWnd")
        left, top_, right, bottom = tray["rect"]
        s.xdotool("mousemove", right - 11, (top_ + bottom) // 2, "click", "3")
        menu = wait_until(lambda: next((w for w in s.drive("list") if w["class"] == "#32768" and w["visible"]),
                                       None))
        m = s.drive("window", menu["hwnd"])["screen"]
        s.xdotool("mousemove", (m[0] + m[2]) // 2, m[1] + 8)  # off the icon, so that its tooltip goes
        time.sleep(0.8)
        shot = s.screenshot(s.tmp / "menu.png")
        crop(shot, (m[0] - 40, m[1] - 10, 1024, 768), DOCS / "tray-menu.png")
        s.xdotool("key", "Escape")
        time.sleep(0.3)

        window.click("Command_Help")
        help_window = s.drive("find", "Tivora!!! v.1.1 - Справка", 10000)
        time.sleep(1)
        shot = s.screenshot(s.tmp / "help.png")
        crop(shot, s.drive("window", help_window["hwnd"])["screen"], DOCS / "help-window.png")


if __name__ == "__main__":
    main()
