"""Start-up time (process start to a visible window) and peak memory of the real Tivora.exe,
against a bare tray program (a window, the common controls of version 6 and one tray icon, added
before the window shows: bench/bare_tray.cpp) and a bare Win32 program that opens one empty
window (bench/bare_window.cpp), side by side under Wine:

    python3 bench/startup.py [--runs 15]

They are started in turn by a small launcher inside Wine, which times them to the millisecond
and reads their peak memory; the first start of each (a cold one) is left out. Medians."""
import argparse
import json
import os
import statistics
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from program import PROGRAM  # noqa: E402
from tivora_e2e import WineSession  # noqa: E402

OUT = ROOT / "build" / "bench"


def build(source, target, *libraries, console=False, resources=None):
    """Builds a bench program as the program is built: 32-bit, static, -O2."""
    OUT.mkdir(parents=True, exist_ok=True)
    objects = []
    if resources:
        objects.append(str(OUT / (resources + ".o")))
        subprocess.run(["i686-w64-mingw32-windres", "-I", str(ROOT / "resources"), str(ROOT / "bench" / resources),
                        "-o", objects[0]], check=True)
    subprocess.run(["i686-w64-mingw32-g++-posix", "-std=c++20", "-O2", "-s", "-static", "-municode",
                    "-mconsole" if console else "-mwindows", str(ROOT / "bench" / source), *objects,
                    "-o", str(OUT / target), *libraries], check=True)
    return OUT / target


def build_bare_tray():
    return build("bare_tray.cpp", "bare_tray.exe", "-lcomctl32", resources="bare_tray.rc")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()
    bare = build("bare_window.cpp", "bare_window.exe")
    tray = build_bare_tray()
    launcher = build("launcher.cpp", "launcher.exe", "-lpsapi", console=True)
    with WineSession() as s:
        tivora = s.program_folder({p.name: p for p in PROGRAM.iterdir() if p.is_file()}, name="Tivora")
        bare_folder = s.program_folder({"bare_window.exe": bare, "bare_tray.exe": tray}, name="Bare")
        programs = {"Tivora.exe": tivora.windows + "\\Tivora.exe", "bare tray": bare_folder.windows + "\\bare_tray.exe",
                    "bare window": bare_folder.windows + "\\bare_window.exe"}
        results = {name: [] for name in programs}
        print(f"load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores at the start")
        for run in range(args.runs + 1):
            for name, path in programs.items():
                rc, out, err = s.wine(str(launcher), path, 1500, check=False)
                if rc != 0:
                    raise SystemExit(f"launcher failed for {name}: {out}{err}")
                if run > 0:
                    results[name].append(json.loads(out.strip().splitlines()[-1]))
    summary = {}
    for name, runs in results.items():
        summary[name] = {key: statistics.median(r[key] for r in runs) for key in runs[0]}
        print(f"{name}: start to visible window {summary[name]['visible_ms']:.1f} ms, "
              f"peak working set {summary[name]['peak_working_set'] / 1024:.0f} KiB, "
              f"peak private {summary[name]['peak_pagefile'] / 1024:.0f} KiB (medians of {args.runs})")
    t = summary["Tivora.exe"]
    for name, target in (("bare tray", "targets: start at most 1.2x, working set 1.05x, private 1.1x"),
                         ("bare window", "")):
        b = summary[name]
        print(f"against the {name}: start {t['visible_ms'] / b['visible_ms']:.2f}x, "
              f"working set {t['peak_working_set'] / b['peak_working_set']:.2f}x, "
              f"private {t['peak_pagefile'] / b['peak_pagefile']:.2f}x" + (f" ({target})" if target else ""))


if __name__ == "__main__":
    main()
