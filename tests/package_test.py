"""The zip users download holds exactly the program folder that scripts/run starts: the same
files, byte for byte. Run by CTest in the win32 build."""
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

build = Path(sys.argv[1])
program = build / "program"
with tempfile.TemporaryDirectory() as out:
    subprocess.run(["cpack", "--config", str(build / "CPackConfig.cmake"), "-B", out], check=True,
                   capture_output=True)
    package = Path(out) / "Tivora-1.1-win32.zip"
    with zipfile.ZipFile(package) as z:
        packed = {info.filename: z.read(info) for info in z.infolist() if not info.is_dir()}
expected = {"Tivora.exe", "Справка.txt", "melody.mp3", "volume.exe"}
folder = {p.name: p.read_bytes() for p in program.iterdir() if p.is_file()}
problems = []
if set(packed) != expected:
    problems.append(f"the zip holds {sorted(packed)}, not {sorted(expected)}")
if set(folder) != expected:
    problems.append(f"the program folder holds {sorted(folder)}, not {sorted(expected)}")
for name in expected & set(packed) & set(folder):
    if packed[name] != folder[name]:
        problems.append(f"{name} differs between the zip and the program folder")
for problem in problems:
    print(problem)
print("package: " + ("FAILED" if problems else "the zip is the program folder"))
sys.exit(1 if problems else 0)
