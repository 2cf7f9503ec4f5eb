#!/usr/bin/env python3
"""The Windows installer, end to end under Wine: CPack makes it with NSIS
from this build; it installs silently below Program Files with its Start
menu folder and its entry among the installed programs; the installed
bladeway-cli.exe writes the same programs from the bundled examples as the
build machine's own bladeway-cli (host_comparison.py) and keeps its settings
in %APPDATA%\\bladeway, not beside itself; the uninstaller, run silently,
leaves nothing of the program behind but the user's settings.

The Wine prefix is the build's (WINEPREFIX as the caller set it). Exit code
0 when all holds, 1 otherwise, 77 when makensis, Wine or the Linux tool is
missing."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from host_comparison import compare_generated

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bladeway"
VENDOR_KEY = r"HKLM\Software\Bladeway"
FAILURES = []


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message)
    if not condition:
        FAILURES.append(message)
    return condition


class Wine:
    def __init__(self, wine):
        self.wine = wine
        # No menu entries for the build machine's desktop from the shortcuts.
        overrides = os.environ.get("WINEDLLOVERRIDES", "")
        self.env = dict(os.environ, WINEDEBUG="-all",
                        WINEDLLOVERRIDES=";".join(filter(None, [overrides,
                                                                "winemenubuilder.exe=d"])))

    def run(self, *command, timeout=120):
        return subprocess.run([self.wine, *command], env=self.env, capture_output=True,
                              timeout=timeout, text=True, encoding="utf-8", errors="replace")

    def output(self, *command):
        result = self.run(*command)
        # A Wine program now and then fails under load with no word (seen
        # with winepath while the uninstaller ran): once more before giving up.
        if result.returncode != 0:
            result = self.run(*command)
        if result.returncode != 0:
            raise SystemExit(f"failed ({result.returncode}): {command}\n{result.stderr}")
        return result.stdout.strip()

    def variable(self, name):
        return self.output("cmd.exe", "/c", f"echo %{name}%")

    def unix(self, path):
        """A Windows path of the prefix as a path on the build machine."""
        return Path(self.output("winepath.exe", "-u", path))

    def has_key(self, key):
        return self.run("reg.exe", "query", key).returncode == 0


def make_installer(cpack, build, work):
    result = subprocess.run([cpack, "-G", "NSIS", "-B", str(work)], cwd=build,
                            capture_output=True, text=True, timeout=300)
    if result.returncode != 0:
        raise SystemExit(f"cpack failed:\n{result.stdout}{result.stderr}")
    installers = list(Path(work).glob("Bladeway-*-win64.exe"))
    if len(installers) != 1:
        raise SystemExit(f"cpack made no single installer: {sorted(Path(work).iterdir())}")
    return installers[0]


def start_menu_folders(wine):
    """Where the Bladeway Start menu folder may be: all users' or this user's."""
    return [wine.unix(wine.variable(base) + r"\Microsoft\Windows\Start Menu\Programs\Bladeway")
            for base in ("ProgramData", "APPDATA")]


def leftovers(wine, folder, menu_folders):
    """What of an installed copy is there: its folder, Start menu folder,
    registry keys."""
    found = [str(path) for path in [folder, *menu_folders] if path.exists()]
    return found + [key for key in (UNINSTALL_KEY, VENDOR_KEY) if wine.has_key(key)]


def uninstall(wine, folder, menu_folders, uninstaller, deadline_seconds=60):
    """Runs the uninstaller silently and waits for it: NSIS's copies itself
    to the temporary folder, starts the copy and returns at once. Returns
    what is left when nothing more goes within the time."""
    result = wine.run(uninstaller, "/S")
    check(result.returncode == 0, f"the uninstaller started ({result.returncode})")
    deadline = time.monotonic() + deadline_seconds
    while (left := leftovers(wine, folder, menu_folders)) and time.monotonic() < deadline:
        time.sleep(0.5)
    return left


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True)
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--linux-cli", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--gui", required=True, help="1 when the installer ships bladeway.exe")
    parser.add_argument("--wine", default="wine")
    args = parser.parse_args()
    for tool in ("makensis", args.wine):
        if shutil.which(tool) is None:
            print(f"skipped: {tool} is missing")
            return 77
    if not Path(args.linux_cli).exists():
        print(f"skipped: {args.linux_cli} is missing")
        return 77

    wine = Wine(args.wine)
    program_files = wine.variable("ProgramW6432")
    install_dir = program_files + r"\Bladeway"
    folder = wine.unix(install_dir)
    app_data = wine.variable("APPDATA")
    user_settings = wine.unix(app_data + r"\bladeway")
    menu_folders = start_menu_folders(wine)
    # Left by an earlier run in this build's prefix: the test's own.
    shutil.rmtree(user_settings, ignore_errors=True)
    programs = ["bladeway-cli.exe"] + (["bladeway.exe"] if args.gui == "1" else [])
    with tempfile.TemporaryDirectory(prefix="bladeway-installer-") as work:
        work = Path(work)
        started = time.monotonic()
        installer = make_installer(args.cpack, args.build, work / "package")
        print(f"ok   {installer.name}: {installer.stat().st_size} bytes, "
              f"made in {time.monotonic() - started:.1f} s")
        try:
            result = wine.run(str(installer), "/S")
            check(result.returncode == 0, f"silent install ({result.returncode})")
            installed = sorted(str(p.relative_to(folder)) for p in folder.rglob("*")
                               if p.is_file()) if folder.exists() else []
            expected = sorted([*programs, "LICENSE.txt", "Uninstall.exe",
                               "defaults/bladeway/Bladeway.INI"] +
                              [str(p.relative_to(Path(args.source)))
                               for p in (Path(args.source) / "examples").rglob("*")
                               if p.is_file() and not p.name.startswith(".git")])
            check(installed == expected, f"{install_dir} holds {installed}")
            licence = Path(args.source, "LICENSE").read_bytes().replace(b"\n", b"\r\n")
            check((folder / "LICENSE.txt").read_bytes() == licence,
                  "the licence is installed with Windows line ends")
            check(Path(args.source, "examples", "keys", "Harbor.dat").read_bytes() ==
                  (folder / "examples" / "keys" / "Harbor.dat").read_bytes(),
                  "the example keys are installed byte for byte")
            menus = [menu for menu in menu_folders if menu.exists()]
            links = sorted(p.name for menu in menus for p in menu.iterdir())
            check(links == sorted(["Uninstall.lnk"] + (["Bladeway.lnk"] if args.gui == "1"
                                                        else [])),
                  f"the Start menu folder Bladeway holds {links}")
            version = wine.run("reg.exe", "query", UNINSTALL_KEY, "/v", "DisplayVersion")
            check(args.version in version.stdout,
                  f"the installed programs list Bladeway {args.version}")

            cli = install_dir + r"\bladeway-cli.exe"
            result = wine.run(cli, "--version")
            check(result.stdout.strip() == f"bladeway-cli {args.version}",
                  f"the installed tool says {result.stdout.strip()!r}")
            compared = compare_generated(args.linux_cli, [args.wine, cli],
                                         install_dir + r"\examples", args.source, work / "runs",
                                         wine.env, windows_settings=False)
            check(compared is not None,
                  f"the installed tool's programs are the Linux tool's ({compared} files)")

            settings = app_data + r"\bladeway\Bladeway.INI"
            result = wine.run(cli, "config", "path")
            check(result.stdout.strip() == settings, f"its settings file is {result.stdout.strip()}")
            # A user's first start begins from the installed defaults (the
            # main window at its design size), as the Linux package does.
            defaults = Path(args.source, "packaging", "settings", "Bladeway.INI").read_bytes()
            first = user_settings / "Bladeway.INI"
            check(first.exists() and first.read_bytes() == defaults.replace(b"\n", b"\r\n"),
                  r"the first start copies defaults\bladeway\Bladeway.INI into %APPDATA%\bladeway")
            result = wine.run(cli, "config", "set", "Paths", "Source", r"C:\keys")
            check(result.returncode == 0 and
                  b"Source=C:\\keys" in (user_settings / "Bladeway.INI").read_bytes(),
                  r"a setting it stores lands in %APPDATA%\bladeway\Bladeway.INI")
            check(not (folder / "Bladeway.INI").exists(), "no settings file beside the program")
        finally:
            uninstaller = install_dir + r"\Uninstall.exe"
            left = (uninstall(wine, folder, menu_folders, uninstaller) if folder.exists()
                    else ["no install"])
        check(not left, "the uninstaller removed the install folder, the Start menu folder, "
              r"the entry among the installed programs and HKLM\Software\Bladeway"
              + (f"; left: {left}" if left else ""))
        check((user_settings / "Bladeway.INI").exists(), "the user's settings are kept")
    shutil.rmtree(user_settings, ignore_errors=True)
    if FAILURES:
        print(f"{len(FAILURES)} checks failed")
        return 1
    print("the installer installs, runs and uninstalls cleanly")
    return 0


if __name__ == "__main__":
    sys.exit(main())
