"""How long the save of the settings at «Выход» takes on the real system, under Wine, with
Settings.ini on the disk: the keys written in place one by one (as earlier versions saved) against
the save of this build (bench/settings_save.cpp, linked with the built program's libraries):

    python3 bench/settings_save.py [--runs 25] [--build build/win32]

Given another checkout's build folder (built with `cmake --build --preset win32 --target program`),
it times that checkout's save instead. Medians of the runs, in milliseconds."""
import argparse
import json
import os
import subprocess
import sys
from pathlib import Path

from startup import ROOT, build

sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from tivora_e2e import WineSession  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=25)
    parser.add_argument("--build", type=Path, default=ROOT / "build" / "win32")
    args = parser.parse_args()
    tree = args.build.resolve().parents[1]  # the checkout whose headers match its libraries
    flags = [f"-I{tree / 'src'}", f"-I{tree / 'resources'}", "-DUNICODE", "-D_UNICODE", "-DWIN32_LEAN_AND_MEAN",
             "-DNOMINMAX", "-D_WIN32_WINNT=0x0601"]
    libraries = [str(args.build / "libtivora_win32.a"), str(args.build / "libtivora_core.a"), "-luser32", "-lgdi32",
                 "-lcomctl32", "-lshell32", "-lole32", "-loleaut32", "-luuid", "-loleacc", "-lcomdlg32", "-lwinspool"]
    exe = build("settings_save.cpp", "settings_save.exe", *flags, *libraries, console=True)
    with WineSession() as s:
        folder = s.program_folder({"settings_save.exe": exe}, name="Bench")
        commit = subprocess.run(["git", "-C", str(tree), "log", "-1", "--format=%h"], capture_output=True,
                                text=True).stdout.strip()
        print(f"{commit}: load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores at the start")
        rc, out, err = s.wine(folder.windows + "\\settings_save.exe", args.runs, check=False)
        if rc != 0:
            raise SystemExit(f"settings_save failed: {out}{err}")
        result = json.loads(out.strip().splitlines()[-1])
    for name, what in (("in_place", "keys written in place"), ("save", "INI_Functions::Settings(Save)"),
                       ("flush", "a flush of the keys written in place")):
        f = result[name]
        print(f"{what}: {f['median']:.2f} ms median ({f['fastest']:.2f} to {f['slowest']:.2f}), "
              f"{result['keys']} keys, {result['runs']} runs")
    for s in result["scanned"]:
        t = s["time"]
        print(f"a scanner holding the new file {s['hold']} ms after each change: saved {s['saved']} of {s['of']}, "
              f"{s['looks']} looks a save, {t['median']:.0f} ms median ({t['fastest']:.0f} to {t['slowest']:.0f})")


if __name__ == "__main__":
    main()
