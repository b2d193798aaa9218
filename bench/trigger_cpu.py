"""What the running daily trigger costs in CPU: the real Tivora.exe under Wine, twice side by
side for the same minutes, once with the trigger running and once stopped. Everything each
copy makes busy is counted: the program, its wineserver and Wine's helper processes (all that
runs in its prefix) and its own X server, which paints the blinking indicator.

    python3 bench/trigger_cpu.py [--minutes 3] [--runs 1]

Needs a built win32 preset (scripts/test or scripts/run builds it)."""
import argparse
import os
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from program import PROGRAM, STUB_VOLUME, MainWindow  # noqa: E402
from tivora_e2e import WineSession, wait_until  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    try:
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime
    except (FileNotFoundError, ProcessLookupError, IndexError):
        return 0.0


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


def session_cpu(session):
    return sum(cpu_seconds(pid) for pid in session_pids(session))


def process_name(pid):
    try:
        return Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0].decode(errors="replace").split("\\")[-1]
    except OSError:
        return "?"


def session_breakdown(session):
    return {f"{process_name(pid)}": cpu_seconds(pid) for pid in session_pids(session)}


def start(session):
    folder = session.program_folder({p.name: p for p in PROGRAM.iterdir() if p.is_file()} |
                                    {"volume.exe": STUB_VOLUME})
    session.start(folder.unix / "Tivora.exe")
    top = wait_until(lambda: next((w for w in session.drive("list")
                                   if w["class"] == "TivoraForm" and w["visible"]), None), timeout=30)
    return MainWindow(session, top)


def one_run(minutes):
    with WineSession() as running, WineSession() as stopped:
        window = start(running)
        start(stopped)
        window.click("Command_ON_OFF")
        wait_until(lambda: window.text("Command_ON_OFF") == "Стоп")
        time.sleep(5)  # let both settle
        before = (session_cpu(running), session_cpu(stopped))
        parts_before = session_breakdown(running)
        t0 = time.monotonic()
        time.sleep(minutes * 60)
        elapsed = time.monotonic() - t0
        after = (session_cpu(running), session_cpu(stopped))
        parts_after = session_breakdown(running)
        if os.environ.get("TIVORA_BENCH_VERBOSE"):
            for name, seconds in sorted(parts_after.items()):
                print(f"  running copy, {name}: {(seconds - parts_before.get(name, 0)) / elapsed * 100:.4f}%")
        return [(a - b) / elapsed for a, b in zip(after, before)]  # core-seconds per second


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--minutes", type=float, default=3)
    parser.add_argument("--runs", type=int, default=1)
    args = parser.parse_args()
    differences = []
    for run in range(args.runs):
        running, stopped = one_run(args.minutes)
        differences.append(running - stopped)
        print(f"run {run + 1}: running {running * 100:.4f}% of a core, stopped {stopped * 100:.4f}%, "
              f"trigger {(running - stopped) * 100:.4f}% ({(running - stopped) * 3600:.2f} CPU s per hour)")
    median = statistics.median(differences)
    print(f"trigger CPU, median of {args.runs} run(s) of {args.minutes:g} min: {median * 100:.4f}% of one core "
          f"= {median * 3600:.2f} CPU seconds per hour (target: under 0.05%)")


if __name__ == "__main__":
    main()
