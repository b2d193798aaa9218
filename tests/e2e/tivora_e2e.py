"""End-to-end test rig for Tivora: runs a Windows program under Wine on a
private X display and drives it from outside with our driver (driver/driver.cpp).

Each WineSession gets its own copy of the template prefix, its own Xvfb and so
its own wineserver; nothing leaks between tests. Standard library only.

    with WineSession() as s:
        folder = s.program_folder({"Tivora.exe": built_exe})
        s.start(folder.unix / "Tivora.exe")
        main = s.drive("find", "Tivora!!!")
        for c in s.drive("children", main["hwnd"]): ...
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path
from typing import NamedTuple

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("TIVORA_BUILD", ROOT / "build"))
TEMPLATE = Path(os.environ.get("TIVORA_TEMPLATE_PREFIX", BUILD / "wine-template"))
DRIVER = Path(os.environ.get("TIVORA_E2E_DRIVER", BUILD / "e2e" / "driver.exe"))
ARTIFACTS = Path(os.environ.get("TIVORA_E2E_ARTIFACTS", BUILD / "e2e-artifacts"))

# As in scripts/wine-env. Our users run code page 1251, which Wine takes from the locale.
WINE_ENV = {
    "WINEARCH": "win32",
    "WINEDEBUG": os.environ.get("TIVORA_E2E_WINEDEBUG", "-all"),
    "WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree=d;mshtml=d",
    "LC_ALL": "ru_RU.UTF-8",
}

# Commands whose answer is one JSON line per item; every other command prints exactly one.
LIST_COMMANDS = {"children", "list", "monitors"}


class DriverError(RuntimeError):
    """The driver said no: timed out, found nothing, or the target refused."""


class Folder(NamedTuple):
    unix: Path
    windows: str


class WineSession:
    def __init__(self, template=TEMPLATE, driver=DRIVER, use_display=False):
        self.template = Path(template)
        self.driver = Path(driver)
        self.use_display = use_display  # True: run on the caller's DISPLAY instead of our own Xvfb
        self.tmp = self.prefix = self.env = None
        self.xvfb = None
        self.procs = []
        self.folders = []  # the program folders made, by their Windows names
        self.background = []  # the driver's watches
        self.timings = {}

    # --- life cycle -------------------------------------------------------------
    def __enter__(self):
        try:
            self.open()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def open(self):
        if not (self.template / "system.reg").exists():
            raise RuntimeError(f"no Wine template prefix at {self.template} (run scripts/setup)")
        self.tmp = Path(tempfile.mkdtemp(prefix="tivora-e2e-"))
        self.prefix = self.tmp / "prefix"
        t = time.monotonic()
        subprocess.run(["cp", "-a", str(self.template), str(self.prefix)], check=True)
        self.timings["prefix_copy"] = time.monotonic() - t
        env = dict(os.environ, **WINE_ENV, WINEPREFIX=str(self.prefix))
        if not self.use_display:
            env["DISPLAY"] = self._start_xvfb()
        elif not env.get("DISPLAY"):
            raise RuntimeError("use_display=True but DISPLAY is not set")
        self.env = env

    def _start_xvfb(self):
        # -displayfd lets Xvfb pick a free display itself and tell us when it is ready,
        # so sessions running side by side cannot race for the same number.
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        return ":" + number

    def close(self):
        try:
            if self.env:  # end every Wine process of this prefix, then wait for the server to go
                subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True, timeout=30)
                subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True, timeout=30)
            for p in self.procs + self.background:
                try:
                    p.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        finally:
            if self.xvfb:
                self.xvfb.terminate()
                self.xvfb.wait(timeout=10)
                self.xvfb = None
            if self.tmp:
                shutil.rmtree(self.tmp, ignore_errors=True)
            self.tmp = self.env = None

    # --- programs -----------------------------------------------------------------
    def program_folder(self, files, name="Tivora test"):
        """A fresh C:\\<name>\\ (a blank in it on purpose) holding copies of {file name: source path}.

        name may be nested ("Users\\André\\Tivora"). A part that exists in another letter case is
        taken as it stands (Wine's "users" for "Users"), as Windows finds it; the folder keeps the
        name given, and programs in it are started by that name."""
        unix = self.prefix / "drive_c"
        for part in name.split("\\"):
            existing = [p for p in unix.iterdir() if p.name.lower() == part.lower()] if unix.is_dir() else []
            unix = existing[0] if existing else unix / part
        unix.mkdir(parents=True, exist_ok=True)
        for target, source in files.items():
            shutil.copy2(source, unix / target)
        folder = Folder(unix, "C:\\" + name)
        self.folders.append(folder)
        return folder

    def windows_path(self, unix_path):
        """C:\\... for a file inside the prefix's drive C (by the name of a program folder made here,
        when it is in one), else Wine's Z:\\ view of it."""
        p = Path(unix_path).resolve()
        for folder in self.folders:
            try:
                rest = p.relative_to(folder.unix.resolve())
            except ValueError:
                continue
            return "\\".join([folder.windows, *rest.parts])
        try:
            return "C:\\" + str(p.relative_to((self.prefix / "drive_c").resolve())).replace("/", "\\")
        except ValueError:
            return "Z:" + str(p).replace("/", "\\")

    def start(self, exe, args=(), env=None, cwd=None):
        """Starts a program under Wine without waiting; its current folder is cwd (a folder
        inside the prefix's drive C, which Wine gives it as C:\\...), else its own folder.

        It is started by its Windows path, so the program sees C:\\... as its own
        location (as it would when installed), not Z:\\tmp\\...
        """
        exe = Path(exe)
        log = open(self.tmp / f"{exe.stem}-{len(self.procs)}.log", "wb")
        p = subprocess.Popen(["wine", self.windows_path(exe), *map(str, args)], cwd=cwd or exe.parent,
                             env=dict(self.env, **(env or {})), stdout=log, stderr=subprocess.STDOUT)
        log.close()
        self.procs.append(p)
        return p

    def wait_exit(self, timeout=10, proc=None):
        """Waits for the last started program (or proc) to end; returns its exit code."""
        return (proc or self.procs[-1]).wait(timeout=timeout)

    # --- tools --------------------------------------------------------------------
    def _run(self, cmd, env=None, timeout=60):
        # Output goes through files, not pipes: the wineserver and Wine's helper processes
        # that the first Wine command starts inherit its stdout and would hold a pipe open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            rc = subprocess.run(cmd, env=dict(self.env, **(env or {})), stdout=out, stderr=err,
                                stdin=subprocess.DEVNULL, timeout=timeout).returncode
            out.seek(0)
            err.seek(0)
            return rc, out.read(), err.read()

    def wine(self, *args, env=None, check=True, timeout=60, encoding="utf-8"):
        """Runs a Wine command (e.g. "reg", "query", ...) in this prefix; returns (exit code, stdout, stderr)."""
        rc, out, err = self._run(["wine", *map(str, args)], env, timeout)
        out, err = out.decode(encoding, "replace"), err.decode(encoding, "replace")
        if check and rc != 0:
            raise RuntimeError(f"wine {' '.join(map(str, args))}: exit {rc}\n{out}{err}")
        return rc, out, err

    def drive(self, *args, timeout=60):
        """Runs one driver command; returns its JSON object (a list of them for "children" and "list")."""
        rc, out, err = self._run(["wine", str(self.driver), *map(str, args)], timeout=timeout)
        out = out.decode("utf-8")
        if rc != 0:
            err = err.decode("utf-8", "replace").strip()
            raise DriverError(f"driver {' '.join(map(str, args))}: exit {rc}: {err}")
        items = [json.loads(line) for line in out.splitlines() if line.strip()]
        if args and args[0] in LIST_COMMANDS:
            return items
        if len(items) != 1:
            raise DriverError(f"driver {args[0]}: expected one JSON line, got {out!r}")
        return items[0]

    def watch(self, ms, cls=None):
        """Starts the driver's `watch` for ms milliseconds in the background and returns once it
        watches (a Watch; its events() waits for the end of the span)."""
        return Watch(self, ms, cls)

    def control(self, top, control_id):
        """The facts of the control with this id inside the top-level window (a handle or a `find` result)."""
        hwnd = top["hwnd"] if isinstance(top, dict) else top
        hits = [c for c in self.drive("children", hwnd) if c["id"] == control_id]
        if not hits:
            raise DriverError(f"no control with id {control_id} in window {hwnd}")
        return hits[0]

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True,
                              check=True, timeout=30).stdout

    def pixel(self, x, y):
        """The colour of one pixel of the virtual screen, as (red, green, blue)."""
        out = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                             env=self.env, capture_output=True, text=True, check=True, timeout=30).stdout
        found = re.search(r"#([0-9A-Fa-f]{6})", out)
        if not found:
            raise RuntimeError(f"no colour in {out!r}")
        return tuple(int(found.group(1)[i:i + 2], 16) for i in (0, 2, 4))

    def screenshot(self, path):
        Path(path).parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True, timeout=30,
                       capture_output=True)
        return Path(path)


class Watch:
    """The driver's `watch` running beside the test: every show of a top-level window (of one
    class) and every change of the foreground window while it runs, as the system reported them
    and as its poll saw them."""

    def __init__(self, session, ms, cls=None):
        self.ms = ms
        self.out = session.tmp / f"watch-{len(session.background)}.out"
        args = ["wine", str(session.driver), "watch", str(ms)] + (["--class", cls] if cls else [])
        with open(self.out, "wb") as out, open(self.out.with_suffix(".err"), "wb") as err:
            self.proc = subprocess.Popen(args, env=session.env, stdout=out, stderr=err, stdin=subprocess.DEVNULL)
        session.background.append(self.proc)
        self.start = wait_until(lambda: self._lines()[:1], timeout=30, what="the watch begins")[0]

    def _lines(self):
        text = self.out.read_text(encoding="utf-8") if self.out.exists() else ""
        return [json.loads(line) for line in text.splitlines() if line.strip()]

    def running(self):
        return self.proc.poll() is None

    def events(self):
        """The events of the whole span, in order (waits for its end)."""
        if self.proc.wait(timeout=self.ms / 1000 + 60) != 0:
            raise DriverError(f"driver watch: exit {self.proc.returncode}: "
                              + self.out.with_suffix(".err").read_text(errors="replace").strip())
        lines = self._lines()
        if not lines or not lines[-1].get("watched"):
            raise DriverError(f"driver watch ended without its last line: {lines!r}")
        return [e for e in lines if "event" in e]


def wait_until(check, timeout=5.0, interval=0.1, what="condition"):
    """Calls check() until it returns something truthy; returns that, or fails after timeout."""
    end = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() >= end:
            raise AssertionError(f"{what} not met within {timeout} s (last: {value!r})")
        time.sleep(interval)


class SessionTestCase(unittest.TestCase):
    """A TestCase whose sessions leave a screenshot (and the programs' output) in
    TIVORA_E2E_ARTIFACTS when the test fails, taken before the session goes away."""

    def run(self, result=None):
        self._result = result if result is not None else self.defaultTestResult()
        return super().run(self._result)

    def start_session(self, **kwargs):
        session = WineSession(**kwargs).__enter__()
        self.addCleanup(session.close)
        self.addCleanup(self._artifacts_if_failed, session)  # cleanups run last-in first-out
        return session

    def _artifacts_if_failed(self, session):
        problems = self._result.failures + self._result.errors
        if not any(getattr(test, "test_case", test) is self for test, _ in problems):
            return
        name = self.id().replace("__main__", Path(sys.argv[0]).stem, 1)
        try:
            shot = session.screenshot(ARTIFACTS / f"{name}.png")
            for log in session.tmp.glob("*.log"):
                shutil.copy(log, ARTIFACTS / f"{name}.{log.name}")
            print(f"\nscreenshot of the failure: {shot}", file=sys.stderr)
        except Exception as e:  # a missing screenshot must not hide the real failure
            print(f"\ncould not save a screenshot: {e}", file=sys.stderr)


class _TimedResult(unittest.TextTestResult):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.cases = []  # (test, seconds), in the order run

    def startTest(self, test):
        self._t0 = time.monotonic()
        super().startTest(test)

    def stopTest(self, test):
        self.cases.append((test, time.monotonic() - self._t0))
        super().stopTest(test)


def _headline(text):
    """The exception line of a traceback (what went wrong), or the first line of a skip reason."""
    lines = text.strip().splitlines() or [""]
    frames = [i for i, line in enumerate(lines) if line.startswith('  File "')]
    i = frames[-1] + 1 if frames else 0
    while i < len(lines) - 1 and lines[i].startswith("    "):  # the frame's source line and ^^^ marks
        i += 1
    return lines[i]


def _outcomes(result):
    """[(test id, seconds)] and {test id: (failure|error|skipped, text)} of a finished run.
    Subtest failures count against their test; a failed setUpClass appears as a case of its own."""
    problems = {}
    for tag, items in (("failure", result.failures), ("error", result.errors), ("skipped", result.skipped),
                       ("failure", [(t, "unexpected success") for t in result.unexpectedSuccesses])):
        for test, text in items:
            problems.setdefault(getattr(test, "test_case", test).id(), (tag, text))
    cases = [(test.id(), seconds) for test, seconds in result.cases]
    cases += [(i, 0.0) for i in problems if i not in dict(cases)]
    return cases, problems


def write_junit(result, suite_name, path):
    """JUnit-style XML of a finished run: testsuite / testcase / failure|error|skipped."""
    cases, problems = _outcomes(result)
    count = {tag: sum(1 for t, _ in problems.values() if t == tag) for tag in ("failure", "error", "skipped")}
    suite = ET.Element("testsuite", name=suite_name, tests=str(len(cases)), failures=str(count["failure"]),
                       errors=str(count["error"]), skipped=str(count["skipped"]),
                       time=f"{sum(s for _, s in cases):.3f}")
    for test_id, seconds in cases:
        fixture = re.fullmatch(r"(\w+) \((.+)\)", test_id)  # e.g. "setUpClass (module.Class)"
        name, cls = fixture.groups() if fixture else reversed(test_id.rsplit(".", 1))
        if cls.startswith("__main__"):  # a test file run as a script: name its classes after the file
            cls = suite_name + cls[len("__main__"):]
        case = ET.SubElement(suite, "testcase", classname=cls, name=name, time=f"{seconds:.3f}")
        if test_id in problems:
            tag, text = problems[test_id]
            ET.SubElement(case, tag, message=_headline(text)[:300]).text = text
    Path(path).parent.mkdir(parents=True, exist_ok=True)
    ET.ElementTree(suite).write(path, encoding="utf-8", xml_declaration=True)


def run_tests(module, argv=None):
    """Runs a test module (or, given names such as Class.test_x on the command line,
    just those), prints the results, writes JUnit XML to $TIVORA_TEST_XML if set and
    exits non-zero when anything failed or nothing ran."""
    if isinstance(module, str):
        module = sys.modules[module]
    names = sys.argv[1:] if argv is None else argv
    loader = unittest.defaultTestLoader
    suite = loader.loadTestsFromNames(names, module) if names else loader.loadTestsFromModule(module)
    runner = unittest.TextTestRunner(verbosity=2, resultclass=_TimedResult, stream=sys.stdout)
    result = runner.run(suite)
    if os.environ.get("TIVORA_TEST_XML"):
        name = Path(sys.argv[0]).stem if module.__name__ == "__main__" else module.__name__
        write_junit(result, name, os.environ["TIVORA_TEST_XML"])
    cases, problems = _outcomes(result)
    tags = [problems.get(i, ("passed",))[0] for i, _ in cases]
    failed = len(tags) - tags.count("passed") - tags.count("skipped")
    print(f"{tags.count('passed')} passed, {failed} failed, {tags.count('skipped')} skipped")
    sys.exit(0 if failed == 0 and result.testsRun > 0 else 1)


__all__ = ["WineSession", "Watch", "DriverError", "Folder", "SessionTestCase", "wait_until", "run_tests", "write_junit",
           "ROOT", "DRIVER", "TEMPLATE", "ARTIFACTS"]
