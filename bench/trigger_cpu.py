"""What the running daily trigger costs in CPU: the real Tivora.exe under Wine, several copies
side by side for the same minutes, each in its own Wine session:

    hidden, running    started hidden in the tray with the trigger running (as most users have it)
    hidden, stopped    hidden in the tray, the trigger stopped
    bare tray          a program that is nothing but a window, the common controls and one tray
                       icon (bench/bare_tray.cpp), idle and hidden
    bare tray ticking  the same with a one-second timer that does nothing: the floor of one timer
                       message a second
    shown, running     the window shown, the indicator blinking
    shown, stopped     the window shown, the trigger stopped

Everything each copy makes busy is counted: the program, its wineserver and Wine's helper
processes (all that runs in its prefix) and its own X server, which paints the window; and the
program alone beside it, since an idle wineserver's own housekeeping varies from session to
session by more than a hidden tick costs. Times are the scheduler's nanoseconds where the kernel
keeps them (/proc/PID/schedstat).

    python3 bench/trigger_cpu.py [--minutes 3] [--runs 1]

The programs' wake-ups are counted too: their threads' voluntary context switches
(/proc/PID/task/*/status), each one a wait the thread woke from.

Needs a built win32 preset (scripts/test or scripts/run builds it)."""
import argparse
import datetime
import os
import statistics
import sys
import time
from contextlib import ExitStack
from pathlib import Path

# The driver of the end-to-end tests, from the win32 build, unless CTest names another.
os.environ.setdefault("TIVORA_E2E_DRIVER", str(Path(__file__).resolve().parents[1] / "build" / "win32" / "tests" /
                                               "driver.exe"))
sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from program import PROGRAM, SETTINGS_EXAMPLE, STUB_VOLUME, MainWindow, settings_file  # noqa: E402
from startup import build_bare_tray  # noqa: E402
from tivora_e2e import WineSession, wait_until  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
WM_CLOSE = 0x10
COPIES = ["hidden, running", "hidden, stopped", "bare tray", "bare tray ticking", "shown, running", "shown, stopped"]


def cpu_seconds(pid):
    # The scheduler's own count, in nanoseconds, where the kernel keeps it: the clock-tick count
    # of /proc/PID/stat moves in hundredths of a second, as much as a hidden tick costs in minutes.
    try:
        return int(Path(f"/proc/{pid}/schedstat").read_text().split()[0]) / 1e9
    except (FileNotFoundError, ProcessLookupError, IndexError, ValueError):
        pass
    try:
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime
    except (FileNotFoundError, ProcessLookupError, IndexError):
        return 0.0


def own_cpu(session):
    """The CPU of the program itself (Tivora.exe or bare_tray.exe), without its wineserver."""
    return sum(cpu_seconds(pid) for pid in session_pids(session)
               if process_name(pid).lower().endswith(("tivora.exe", "bare_tray.exe")))


def wakeups(session):
    """How often the program's threads (Tivora.exe or bare_tray.exe) woke: each wake ends in a
    wait again, which the kernel counts as a voluntary context switch."""
    total = 0
    for pid in session_pids(session):
        if process_name(pid).lower().endswith(("tivora.exe", "bare_tray.exe")):
            for status in Path(f"/proc/{pid}/task").glob("*/status"):
                try:
                    total += next(int(line.split()[1]) for line in status.read_text().splitlines()
                                  if line.startswith("voluntary_ctxt_switches"))
                except (OSError, StopIteration, ValueError):
                    pass
    return total


def session_pids(session):
    pids = [session.xvfb.pid] if session.xvfb else []
    marker = f"WINEPREFIX={session.prefix}".encode()
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                if marker in (entry / "environ").read_bytes().split(b"\0"):
                    pids.append(int(entry.name))
            except OSError:
                pass
    return pids


def process_name(pid):
    try:
        return Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0].decode(errors="replace").split("\\")[-1]
    except OSError:
        return "?"


def breakdown(session):
    return {f"{process_name(pid)} ({pid})": cpu_seconds(pid) for pid in session_pids(session)}


def start_tivora(session, hidden, running):
    # The set time half a day away, so that nothing fires while we measure; the closing notice
    # already shown, so that a close only hides.
    hour = (datetime.datetime.now().hour + 12) % 24
    text = (SETTINGS_EXAMPLE.replace("Check_Message_Exit=0", "Check_Message_Exit=1")
            .replace("Text_Hour=22", f"Text_Hour={hour}")
            .replace("Check_Minimize=0", f"Check_Minimize={1 if hidden and running else 0}"))
    folder = session.program_folder({p.name: p for p in PROGRAM.iterdir() if p.is_file()} |
                                    {"volume.exe": STUB_VOLUME})
    (folder.unix / "Settings.ini").write_bytes(settings_file(text))
    session.start(folder.unix / "Tivora.exe")
    top = wait_until(lambda: next((w for w in session.drive("list") if w["class"] == "TivoraForm"
                                   and w["title"] == "Tivora!!! v.1.1" and (w["visible"] or hidden and running)),
                                  None), timeout=30)
    window = MainWindow(session, top)
    if running and not hidden:
        window.click("Command_ON_OFF")
    wait_until(lambda: window.text("Command_ON_OFF") == ("Стоп" if running else "Старт"), what="the trigger's state")
    if hidden and not running:
        session.drive("post", window.hwnd, WM_CLOSE, 0, 0)
    wait_until(lambda: session.drive("window", window.hwnd)["visible"] == (not hidden), what="the window's state")


def start_bare_tray(session, bare, ticking=False):
    folder = session.program_folder({"bare_tray.exe": bare}, name="Bare")
    session.start(folder.unix / "bare_tray.exe", args=["hidden,ticking" if ticking else "hidden"])
    wait_until(lambda: any(w["class"] == "BareTray" for w in session.drive("list")), timeout=30)


def one_run(minutes, bare):
    with ExitStack() as stack:
        sessions = {name: stack.enter_context(WineSession()) for name in COPIES}
        for name, session in sessions.items():
            if name.startswith("bare tray"):
                start_bare_tray(session, bare, ticking=name.endswith("ticking"))
            else:
                start_tivora(session, hidden=name.startswith("hidden"), running=name.endswith("running"))
        time.sleep(10)  # let them all settle
        load = os.getloadavg()[0]
        before = {name: session_cpu(s) for name, s in sessions.items()}
        own_before = {name: own_cpu(s) for name, s in sessions.items()}
        parts_before = {name: breakdown(s) for name, s in sessions.items()}
        wakes_before = {name: wakeups(s) for name, s in sessions.items()}
        t0 = time.monotonic()
        time.sleep(minutes * 60)
        elapsed = time.monotonic() - t0
        after = {name: session_cpu(s) for name, s in sessions.items()}
        own = {name: (own_cpu(s) - own_before[name]) / elapsed for name, s in sessions.items()}
        wakes = {name: (wakeups(s) - wakes_before[name]) / elapsed * 3600 for name, s in sessions.items()}
        if os.environ.get("TIVORA_BENCH_VERBOSE"):
            for name, s in sessions.items():
                for part, seconds in sorted(breakdown(s).items()):
                    share = (seconds - parts_before[name].get(part, 0)) / elapsed * 100
                    if share > 0:
                        print(f"  {name}, {part}: {share:.4f}%")
        load = (load + os.getloadavg()[0]) / 2
        # core-seconds per second: everything of each copy, and its program alone
        return {name: (after[name] - before[name]) / elapsed for name in sessions}, own, load, wakes


def session_cpu(session):
    return sum(cpu_seconds(pid) for pid in session_pids(session))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--minutes", type=float, default=3)
    parser.add_argument("--runs", type=int, default=1)
    args = parser.parse_args()
    bare = build_bare_tray()
    runs = []
    owns = []
    wakes = []
    for run in range(args.runs):
        shares, own, load, woken = one_run(args.minutes, bare)
        runs.append(shares)
        owns.append(own)
        wakes.append(woken)
        print(f"run {run + 1} (load average {load:.1f} on {os.cpu_count()} cores): " +
              ", ".join(f"{name} {share * 100:.4f}% (itself {own[name] * 100:.4f}%)" for name, share in shares.items()))
    median = {name: statistics.median(r[name] for r in runs) for name in COPIES}
    hidden = statistics.median(r["hidden, running"] - r["hidden, stopped"] for r in runs)
    shown = statistics.median(r["shown, running"] - r["shown, stopped"] for r in runs)
    floor = statistics.median(r["bare tray ticking"] - r["bare tray"] for r in runs)
    print(f"medians of {args.runs} run(s) of {args.minutes:g} min, share of one core: " +
          ", ".join(f"{name} {share * 100:.4f}%" for name, share in median.items()))
    print(f"the trigger hidden: {hidden * 100:.4f}% of a core above hidden and stopped (target at most 0.02%), "
          f"{hidden * 3600:.2f} CPU s per hour; hidden and stopped is "
          f"{(median['hidden, stopped'] - median['bare tray']) * 100:+.4f}% against the bare tray program; "
          f"a bare timer message a second costs {floor * 100:.4f}%")
    itself = {name: statistics.median(r[name] for r in owns) for name in COPIES}
    print("the programs themselves, without their wineservers: " +
          ", ".join(f"{name} {share * 100:.4f}%" for name, share in itself.items()))
    woken = {name: statistics.median(r[name] for r in wakes) for name in COPIES}
    print("the programs' wake-ups per hour (target hidden and running at most 20): " +
          ", ".join(f"{name} {count:.0f}" for name, count in woken.items()))
    print(f"the trigger shown, blinking: {shown * 100:.4f}% of a core above shown and stopped "
          f"(target at most 0.15%), {shown * 3600:.2f} CPU s per hour")


if __name__ == "__main__":
    main()
