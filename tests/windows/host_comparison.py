"""What the Windows tests share: bladeway-cli.exe run under Wine on the example
keys, flat and tree mode, a first run into empty folders and a second run
over the files it left, against the build machine's own bladeway-cli: every
program and INDICE.Prg must have the same bytes. The Windows run's
destination has a name outside ASCII, so its arguments and file names travel
as UTF-16. Standard library only."""

import subprocess
import sys
from pathlib import Path

DATE = "03/14/25"
DESTINATION = "Programme-\u00fc"  # "Programme-ü": not ASCII, not in every ANSI code page
KEYS = Path("examples") / "keys" / "Harbor.dat"
TEMPLATES = Path("examples") / "templates"


def windows_path(path):
    """The path as Wine's drive Z: (the build machine's root) names it."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def files_below(folder):
    """Every file below `folder` by its relative path, with its bytes."""
    folder = Path(folder)
    return {
        str(path.relative_to(folder)): path.read_bytes()
        for path in sorted(folder.rglob("*"))
        if path.is_file()
    }


def run(command, env=None):
    result = subprocess.run(command, env=env, capture_output=True, timeout=120)
    if result.returncode not in (0, 1):  # 1: done, with problems the report names
        sys.stdout.buffer.write(result.stdout + result.stderr)
        raise SystemExit(f"failed ({result.returncode}): {command}")
    return result.returncode


def compare_generated(linux_cli, windows_command, windows_examples, source, work, wine_env,
                      windows_settings=True):
    """Generates the example keys' programs with both tools into folders below
    `work` and compares them. `windows_command` starts the Windows tool (Wine
    and its path); `windows_examples` is the examples folder as that tool
    names it. The Linux tool reads an empty settings file beside its
    destination; so does the Windows one with `windows_settings`, otherwise it
    reads the settings file it finds itself. Returns the number of files
    compared, or None after printing the first difference."""
    source, work = Path(source), Path(work)
    compared = 0
    for mode in ("flat", "tree"):
        roots = {}
        for system in ("linux", "windows"):
            root = work / system / mode
            dest = root / DESTINATION
            (dest / "SRG" / "P").mkdir(parents=True)
            (root / "Bladeway.INI").touch()
            roots[system] = dest
        windows_ini = windows_path(roots["windows"].parent / "Bladeway.INI")
        windows_settings_option = ["--settings", windows_ini] if windows_settings else []
        options = ["--mode", mode, "--translate", "xl", "--date", DATE]
        for attempt in ("first run", "second run"):
            codes = {
                "linux": run([linux_cli, "generate", "--settings",
                              str(roots["linux"].parent / "Bladeway.INI"), *options,
                              "--templates", str(source / TEMPLATES / mode),
                              "--dest", str(roots["linux"]), str(source / KEYS)]),
                "windows": run([*windows_command, "generate", *windows_settings_option, *options,
                                "--templates", windows_examples + "\\templates\\" + mode,
                                "--dest", windows_path(roots["windows"]),
                                windows_examples + "\\keys\\Harbor.dat"], env=wine_env)}
            linux, windows = (files_below(roots[s]) for s in ("linux", "windows"))
            label = f"{mode} mode, {attempt}"
            if not linux:
                print(f"FAIL {label}: the Linux run wrote nothing")
                return None
            if codes["linux"] != codes["windows"]:
                print(f"FAIL {label}: exit codes {codes}")
                return None
            if linux != windows:
                for name in sorted(set(linux) | set(windows)):
                    if linux.get(name) != windows.get(name):
                        print(f"FAIL {label}: {name} differs or is missing on one side")
                return None
            compared += len(linux)
            print(f"ok   {label}: {len(linux)} files byte-identical "
                  f"({sum(map(len, linux.values()))} bytes)")
    return compared
