"""A PDF printer of the tests' own: CUPS with a cups-pdf queue named PDF, the default printer.
The files it prints land in ~/PDF of the user who prints."""
import os
import shutil
import subprocess
import time
from pathlib import Path

PDF_FOLDER = Path(os.path.expanduser("~")) / "PDF"


class PrintServer:
    def __init__(self):
        self.cupsd = None

    def start(self):
        if shutil.which("cupsd") is None:
            raise RuntimeError("cupsd is missing (scripts/setup installs cups)")
        if subprocess.run(["lpstat", "-r"], capture_output=True, text=True).stdout.strip() != "scheduler is running":
            Path("/run/cups").mkdir(parents=True, exist_ok=True)
            self.cupsd = subprocess.Popen(["cupsd", "-f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(100):
                if subprocess.run(["lpstat", "-r"], capture_output=True, text=True).stdout.strip() == \
                        "scheduler is running":
                    break
                time.sleep(0.1)
            else:
                raise RuntimeError("cupsd did not come up")
        subprocess.run(["lpadmin", "-p", "PDF", "-E", "-v", "cups-pdf:/", "-m", "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"],
                       check=True, capture_output=True)
        subprocess.run(["lpadmin", "-d", "PDF"], check=True, capture_output=True)
        PDF_FOLDER.mkdir(parents=True, exist_ok=True)
        return self

    def stop(self):
        if self.cupsd:
            self.cupsd.terminate()
            self.cupsd.wait(timeout=10)
            self.cupsd = None

    @staticmethod
    def pdfs():
        return set(PDF_FOLDER.glob("*.pdf")) if PDF_FOLDER.exists() else set()
