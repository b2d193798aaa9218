"""The real print of the shipped help text under Wine, to a PDF printer on the tests' own CUPS
server: how long the program is busy from the print dialog's confirmation until it answers
again, and how long until the PDF file is whole. Medians of several prints:

    python3 bench/print_help.py [--runs 5]

Each measurement includes one run of our driver (a Wine process), whose own time is measured
apart and taken off."""
import argparse
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
os.environ.setdefault("TIVORA_E2E_DRIVER", str(ROOT / "build" / "win32" / "tests" / "driver.exe"))
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from print_server import PrintServer  # noqa: E402
from program import PROGRAM, MainWindow  # noqa: E402
from tivora_e2e import WineSession, wait_until  # noqa: E402

WM_NULL = 0


def pages_of(pdf):
    info = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True, check=True).stdout
    return int(next(line.split()[-1] for line in info.splitlines() if line.startswith("Pages:")))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    driver, busy, whole = [], [], []
    server = PrintServer().start()
    try:
        with WineSession() as s:
            folder = s.program_folder({p.name: p for p in PROGRAM.iterdir() if p.is_file()}, name="Tivora")
            s.start(folder.unix / "Tivora.exe")
            top = wait_until(lambda: next((w for w in s.drive("list") if w["class"] == "TivoraForm"
                                           and w["title"] == "Tivora!!! v.1.1" and w["visible"]), None),
                             timeout=20, what="the main window")
            MainWindow(s, top).click("Command_Help")
            help_window = s.drive("find", "Tivora!!! v.1.1 - Справка", 10000)
            button = next(c for c in s.drive("children", help_window["hwnd"]) if c["class"] == "Button")
            for run in range(args.runs + 1):  # the first print (libraries loading) is left out
                t = time.monotonic()
                s.drive("send", help_window["hwnd"], WM_NULL, 0, 0)
                driver.append(time.monotonic() - t)
                before = server.pdfs()
                s.drive("click", button["hwnd"])
                dialog = s.drive("msgbox", "Печать", 15000)
                s.drive("answer", dialog["hwnd"], 1)  # the user confirms
                confirmed = time.monotonic()
                s.drive("send", help_window["hwnd"], WM_NULL, 0, 0)  # answered once the print is done
                answered = time.monotonic()
                pdf = next(iter(wait_until(lambda: server.pdfs() - before, timeout=60, interval=0.02,
                                           what="the PDF")))
                done = time.monotonic()
                if run > 0:
                    busy.append(answered - confirmed)
                    whole.append(done - confirmed)
        pages = pages_of(pdf)
    finally:
        server.stop()
    own = statistics.median(driver)
    print(f"printing the shipped help ({pages} sheets), medians of {args.runs}: the program busy for "
          f"{(statistics.median(busy) - own) * 1000:.0f} ms after the confirmation (a driver run of "
          f"{own * 1000:.0f} ms taken off), the PDF whole {statistics.median(whole) * 1000:.0f} ms after it")


if __name__ == "__main__":
    main()
