#!/usr/bin/env python3
"""The Windows build of bladeway-cli, run under Wine with Windows paths
(Z:\\...) as its arguments, writes the same programs and INDICE.Prg as the
build machine's own build: flat and tree mode, a first run into empty
folders and a second run over the files the first one left. The Windows
run's folders have a name outside ASCII, so the arguments and the file
names travel as UTF-16 there. Standard library only.

Exit code 0 when every file matches, 1 on a difference, 77 when a tool is
missing."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

DATE = "03/14/25"
DESTINATION = "Programme-\u00fc"  # "Programme-ü": not ASCII, not in every ANSI code page


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


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--linux-cli", required=True)
    parser.add_argument("--windows-cli", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--wine", default="wine")
    args = parser.parse_args()
    if shutil.which(args.wine) is None or not Path(args.linux_cli).exists():
        print(f"skipped: {args.wine} or {args.linux_cli} is missing")
        return 77

    source = Path(args.source)
    keys = source / "examples" / "keys" / "Harbor.dat"
    wine_env = dict(os.environ, WINEDEBUG="-all")  # WINEPREFIX as the caller set it
    compared = 0
    with tempfile.TemporaryDirectory(prefix="bladeway-same-bytes-") as work:
        work = Path(work)
        for mode in ("flat", "tree"):
            templates = source / "examples" / "templates" / mode
            roots = {}
            for system in ("linux", "windows"):
                root = work / system / mode
                dest = root / DESTINATION
                (dest / "SRG" / "P").mkdir(parents=True)
                (root / "Bladeway.INI").touch()
                roots[system] = dest
            for attempt in ("first run", "second run"):
                codes = {}
                codes["linux"] = run([args.linux_cli, "generate", "--settings",
                                      str(roots["linux"].parent / "Bladeway.INI"),
                                      "--mode", mode, "--translate", "xl", "--date", DATE,
                                      "--templates", str(templates),
                                      "--dest", str(roots["linux"]), str(keys)])
                codes["windows"] = run([args.wine, args.windows_cli, "generate", "--settings",
                                        windows_path(roots["windows"].parent / "Bladeway.INI"),
                                        "--mode", mode, "--translate", "xl", "--date", DATE,
                                        "--templates", windows_path(templates),
                                        "--dest", windows_path(roots["windows"]),
                                        windows_path(keys)], env=wine_env)
                linux, windows = (files_below(roots[s]) for s in ("linux", "windows"))
                label = f"{mode} mode, {attempt}"
                if not linux:
                    print(f"FAIL {label}: the Linux run wrote nothing")
                    return 1
                if codes["linux"] != codes["windows"]:
                    print(f"FAIL {label}: exit codes {codes}")
                    return 1
                if linux != windows:
                    for name in sorted(set(linux) | set(windows)):
                        if linux.get(name) != windows.get(name):
                            print(f"FAIL {label}: {name} differs or is missing on one side")
                    return 1
                compared += len(linux)
                print(f"ok   {label}: {len(linux)} files byte-identical "
                      f"({sum(map(len, linux.values()))} bytes)")
    print(f"all {compared} files compared are byte-identical")
    return 0


if __name__ == "__main__":
    sys.exit(main())
