"""A print server of the tests' own: a private CUPS scheduler whose configuration, socket, spool
and PDF folder lie in a folder of its own under the system's temporary folder, with one queue, PDF,
the server's default, whose jobs become PDF files in that folder. Started by root, the scheduler
runs its filters as lp, who passes through /tmp but not, say, /root (0700) to a checkout there. It
listens on its socket alone, no network port, and leaves the machine's own print server, printers
and default alone, whether or not one runs. Programs reach it through CUPS_SERVER (libcups honours
it, and so Wine does), which start() sets for the processes this one starts and stop() takes back.

    server = PrintServer().start()
    ...  # print from Wine
    server.pdfs()  # the PDF files printed so far
    server.stop()
"""
import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

from tivora_e2e import ARTIFACTS

HERE = Path(__file__).resolve().parent
PPD = Path("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")  # a PostScript printer's description
SYSTEM_SERVER_BIN = Path("/usr/lib/cups")
JOB_LINE = re.compile(r"^(\w) \[[^]]*\] \[Job (\d+)\] (.*)$")  # an error_log line on a job
PROCESS_FAILED = re.compile(r"PID \d+ \(.*\) (stopped with status|crashed on signal)")


class PrintServer:
    def __init__(self):
        self.folder = self.socket = self.cupsd = None
        self.previous_server = None
        self.refused = set()  # the jobs whose refusal a caller was told of

    @property
    def pdf_folder(self):
        return self.folder / "pdf"

    def env(self):
        return dict(os.environ, CUPS_SERVER=str(self.socket))

    def start(self):
        for tool in ("cupsd", "lpadmin", "lpstat", "gs"):
            if shutil.which(tool) is None:
                raise RuntimeError(f"{tool} is missing (scripts/setup installs cups and ghostscript)")
        if not PPD.exists():
            raise RuntimeError(f"{PPD} is missing (scripts/setup installs printer-driver-cups-pdf)")
        self.folder = Path(tempfile.mkdtemp(prefix="tivora-cups-"))
        self.folder.chmod(0o711)  # lp passes through to what the scheduler lays out for it
        try:
            self._configure()
            self._run()
        except BaseException:
            self.stop()
            raise
        return self

    def _configure(self):
        f = self.folder
        for sub in ("spool/tmp", "cache", "state", "log", "pdf", "server-bin/backend"):
            (f / sub).mkdir(parents=True)
        # The system's filters and helpers, and our backend in place of the system's ones.
        for entry in SYSTEM_SERVER_BIN.iterdir():
            if entry.name != "backend":
                (f / "server-bin" / entry.name).symlink_to(entry)
        backend = f / "server-bin" / "backend" / "tivora-pdf"
        shutil.copyfile(HERE / "pdf_backend", backend)
        # As root the scheduler runs a backend that only root may run as root, so that it can
        # write where the queue says; otherwise everything runs as the user who started it.
        backend.chmod(0o700 if os.geteuid() == 0 else 0o755)
        self.socket = f / "cups.sock"
        user = "" if os.geteuid() == 0 else f"User {os.geteuid()}\nGroup {os.getegid()}\n"
        (f / "cups-files.conf").write_text(
            f"ServerRoot {f}\nStateDir {f / 'state'}\nCacheDir {f / 'cache'}\nRequestRoot {f / 'spool'}\n"
            f"TempDir {f / 'spool' / 'tmp'}\nServerBin {f / 'server-bin'}\nServerKeychain {f / 'state'}\n"
            f"AccessLog {f / 'log' / 'access_log'}\nErrorLog {f / 'log' / 'error_log'}\n"
            f"PageLog {f / 'log' / 'page_log'}\nPrintcap {f / 'printcap'}\n{user}")
        # Debug: a filter that failed is logged as it ends, not only once its job is over; and the
        # log that pdfs() reads is never rotated.
        (f / "cupsd.conf").write_text(
            f"Listen {self.socket}\nLogLevel debug\nMaxLogSize 0\nBrowsing No\nBrowseLocalProtocols none\n"
            "WebInterface No\nDefaultShared No\nDefaultAuthType None\n"
            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n  </Limit>\n</Policy>\n")

    def _run(self):
        f = self.folder
        with open(f / "log" / "cupsd.out", "wb") as out:
            self.cupsd = subprocess.Popen(["cupsd", "-f", "-c", str(f / "cupsd.conf"), "-s", str(f / "cups-files.conf")],
                                          stdout=out, stderr=subprocess.STDOUT)
        end = time.monotonic() + 15
        while self._ask("lpstat", "-r").stdout.strip() != "scheduler is running":
            if self.cupsd.poll() is not None or time.monotonic() > end:
                raise RuntimeError("the tests' print server did not come up:\n" + self._log_tail())
            time.sleep(0.1)
        self._ask("lpadmin", "-p", "PDF", "-E", "-v", f"tivora-pdf:{self.pdf_folder}", "-P", str(PPD),
                  "-o", "printer-is-shared=false", check=True)
        self._ask("lpadmin", "-d", "PDF", check=True)
        self.previous_server = os.environ.get("CUPS_SERVER")
        os.environ["CUPS_SERVER"] = str(self.socket)

    def _ask(self, *command, check=False):
        result = subprocess.run(command, env=self.env(), capture_output=True, text=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{' '.join(command)}: {result.stderr.strip()}\n{self._log_tail()}")
        return result

    def _log_tail(self):
        lines = []
        for name in ("cupsd.out", "error_log"):
            path = self.folder / "log" / name
            if path.exists():
                lines += path.read_text(errors="replace").splitlines()[-15:]
        return "\n".join(lines)

    def stop(self):
        if self.cupsd:
            self.cupsd.terminate()
            try:
                self.cupsd.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.cupsd.kill()
                self.cupsd.wait()
            self.cupsd = None
        if os.environ.get("CUPS_SERVER") == str(self.socket):
            if self.previous_server is None:
                os.environ.pop("CUPS_SERVER", None)
            else:
                os.environ["CUPS_SERVER"] = self.previous_server
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)
        self.folder = None

    def pdfs(self):
        """The PDF files of the jobs done so far. A job that the server refused (a filter or the
        backend failed or could not run) fails the first call that sees it, in the error_log's words."""
        if not self.folder:
            return set()
        log = self.folder / "log" / "error_log"
        done, failed = set(), {}
        for line in filter(None, map(JOB_LINE.match, log.read_text(errors="replace").splitlines())):
            level, job, words = line.groups()
            if level == "E" or PROCESS_FAILED.match(words):
                failed.setdefault(job, []).append(words)
            elif words == "Job completed.":
                done.add(job)
        refused = {job: words for job, words in failed.items() if job not in self.refused}
        if refused:
            self.refused |= refused.keys()
            raise AssertionError("the print server refused " + "; ".join(
                f"job {job}: {' '.join(words)}" for job, words in refused.items()))
        return {pdf for pdf in self.pdf_folder.glob("*.pdf") if pdf.stem.split("-")[1] in done}

    def sheets_printed(self, pdf):
        """The sheets of a PDF's job, every copy's, as the page log counts them once the job is done."""
        log, job = self.folder / "log" / "page_log", pdf.stem.split("-")[1]  # PRINTER USER JOB [TIME] total N
        lines = map(str.split, log.read_text().splitlines() if log.exists() else [])
        return next((int(f[6]) for f in lines if f[2] == job and f[5] == "total"), None)

    def keep(self, pdf, name):
        """A copy of a printed PDF among the test artefacts, which outlive the server."""
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        return Path(shutil.copyfile(pdf, ARTIFACTS / name))


class WithPrintServer:
    """A test case mixin: one print server of the tests' own for all the tests of the class."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.server = PrintServer().start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        super().tearDownClass()
