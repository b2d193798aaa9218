"""The zip users download and the per-user installer hold exactly the program folder that
scripts/run starts: the same files, byte for byte; the installer asks for no elevation and
installs into the user's own programs folder. Run by CTest in the win32 build."""
import shutil
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

build = Path(sys.argv[1])
program = build / "program"
expected = {"Tivora.exe", "Справка.txt", "melody.mp3", "volume.exe"}
folder = {p.name: p.read_bytes() for p in program.iterdir() if p.is_file()}
problems = []
if set(folder) != expected:
    problems.append(f"the program folder holds {sorted(folder)}, not {sorted(expected)}")


def compare(what, packed):
    if set(packed) != expected:
        problems.append(f"the {what} holds {sorted(packed)}, not {sorted(expected)}")
    for name in expected & set(packed) & set(folder):
        if packed[name] != folder[name]:
            problems.append(f"{name} differs between the {what} and the program folder")


def msi(tool, *args):
    return subprocess.run([tool, *map(str, args)], check=True, capture_output=True, text=True).stdout


with tempfile.TemporaryDirectory() as out:
    out = Path(out)
    subprocess.run(["cpack", "--config", str(build / "CPackConfig.cmake"), "-B", str(out)], check=True,
                   capture_output=True)
    with zipfile.ZipFile(out / "Tivora-1.1-win32.zip") as z:
        compare("zip", {info.filename: z.read(info) for info in z.infolist() if not info.is_dir()})

    installer = out / "Tivora-1.1-win32.msi"
    if shutil.which("msiextract") is None or not installer.exists():
        problems.append("no installer beside the zip (are wixl and msitools installed?)")
    else:
        unpacked = out / "unpacked"
        msi("msiextract", "-C", unpacked, installer)
        files = [p for p in unpacked.rglob("*") if p.is_file()]
        compare("installer", {p.name: p.read_bytes() for p in files})
        places = {str(p.parent.relative_to(unpacked)) for p in files}
        if places != {"Programs/Tivora"}:
            problems.append(f"the installer puts the files into {sorted(places)}, not Programs/Tivora")
        properties = dict(line.split("\t", 1) for line in msi("msiinfo", "export", installer, "Property").splitlines()[3:])
        for name, value in {"ProductName": "Tivora!!!", "ProductVersion": "1.1", "Manufacturer": "Tivora"}.items():
            if properties.get(name) != value:
                problems.append(f"the installer's {name} is {properties.get(name)!r}, not {value!r}")
        if "ALLUSERS" in properties:
            problems.append("the installer installs for all users")
        summary = msi("msiinfo", "suminfo", installer)
        source = next((int(line.split()[1]) for line in summary.splitlines() if line.startswith("Source:")), 0)
        if not source & 8:  # "elevated privileges are not required"
            problems.append("the installer asks for elevation")
        sequence = {row[0]: int(row[-1]) for row in (line.split("\t") for line in
                    msi("msiinfo", "export", installer, "InstallExecuteSequence").splitlines()[3:]) if len(row) >= 3}
        if not sequence.get("RemoveAutostart", 0) > sequence.get("InstallFinalize", 10**9):
            problems.append("the autostart value goes before the removal is final (InstallFinalize)")
        directories = msi("msiinfo", "export", installer, "Directory")
        if "LocalAppDataFolder" not in directories:
            problems.append("the installer does not install under %LOCALAPPDATA%")

for problem in problems:
    print(problem)
print("package: " + ("FAILED" if problems else "the zip and the installer are the program folder"))
sys.exit(1 if problems else 0)
