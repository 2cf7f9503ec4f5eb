#!/usr/bin/env python3
"""The Windows installer, end to end under Wine: CPack makes it with NSIS
from this build; it installs silently below Program Files with its Start
menu folder and its entry among the installed programs; the installed
bladeway-cli.exe writes the same programs from the bundled examples as the
build machine's own bladeway-cli (host_comparison.py) and keeps its settings
in %APPDATA%\\bladeway, not beside itself. A tree-mode install in a HARBOR62
folder outside Program Files goes beside it with its own entry, settings
begun from the defaults and its folder on the user's PATH; installed again
elsewhere, the earlier one goes. The uninstallers, run silently, leave
nothing of the program behind but the user's settings.

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

UNINSTALL_ROOT = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
VENDOR_KEY = r"HKLM\Software\Bladeway"
USER_ENVIRONMENT = r"HKCU\Environment"
# The settings a user keeps beside a program outside Program Files.
SETTINGS_FILES = {"Bladeway.INI", "VarTab.Dat"}
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
        # The output goes through files, not pipes: a Wine process that the
        # command starts and that outlives it (the desktop's explorer.exe, a
        # service) holds a pipe open, and reading one to its end waits for
        # that process instead of the command.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run([self.wine, *command], env=self.env, stdout=out,
                                    stderr=err, timeout=timeout)
            texts = []
            for file in (out, err):
                file.seek(0)
                texts.append(file.read().decode("utf-8", errors="replace"))
        return subprocess.CompletedProcess(result.args, result.returncode, *texts)

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

    def value(self, key, name):
        """A registry value as reg.exe prints it; None when missing."""
        result = self.run("reg.exe", "query", key, "/v", name)
        if result.returncode != 0:
            return None
        parts = next((line.split(None, 2) for line in result.stdout.splitlines()
                      if line.strip().startswith(name)), [])
        return parts[2] if len(parts) == 3 else ""

    def user_path_entries(self):
        return [entry for entry in (self.value(USER_ENVIRONMENT, "Path") or "").split(";")
                if entry]


class Install:
    """One install of the program: its folder, name and Start menu folders."""

    def __init__(self, wine, folder, product):
        self.wine = wine
        self.folder = folder
        self.unix_folder = wine.unix(folder)
        self.product = product
        self.menu_folders = [
            wine.unix(wine.variable(base) + "\\Microsoft\\Windows\\Start Menu\\Programs\\" + product)
            for base in ("ProgramData", "APPDATA")]
        self.uninstall_key = UNINSTALL_ROOT + "\\" + product
        self.vendor_key = VENDOR_KEY + "\\" + product

    def program_files(self):
        """The files in the install folder other than the user's settings."""
        if not self.unix_folder.exists():
            return []
        return sorted(str(p.relative_to(self.unix_folder)) for p in self.unix_folder.rglob("*")
                      if p.is_file() and not (p.parent == self.unix_folder and
                                              p.name in SETTINGS_FILES))

    def leftovers(self):
        """What of the install is there: its files, Start menu folder, keys."""
        found = self.program_files() + [str(p) for p in self.menu_folders if p.exists()]
        return found + [key for key in (self.uninstall_key, self.vendor_key)
                        if self.wine.has_key(key)]

    def menu_links(self):
        return sorted(p.name for menu in self.menu_folders if menu.exists()
                      for p in menu.iterdir())

    def uninstall(self, deadline_seconds=60):
        """Runs the uninstaller silently and waits for it: NSIS's copies itself
        to the temporary folder, starts the copy and returns at once. Returns
        what is left when nothing more goes within the time."""
        result = self.wine.run(self.folder + r"\Uninstall.exe", "/S")
        check(result.returncode == 0, f"the uninstaller of {self.product} started "
              f"({result.returncode})")
        deadline = time.monotonic() + deadline_seconds
        while (left := self.leftovers()) and time.monotonic() < deadline:
            time.sleep(0.5)
        return left


def make_installer(cpack, build, work):
    result = subprocess.run([cpack, "-G", "NSIS", "-B", str(work)], cwd=build,
                            capture_output=True, text=True, timeout=300)
    if result.returncode != 0:
        raise SystemExit(f"cpack failed:\n{result.stdout}{result.stderr}")
    installers = list(Path(work).glob("Bladeway-*-win64.exe"))
    if len(installers) != 1:
        raise SystemExit(f"cpack made no single installer: {sorted(Path(work).iterdir())}")
    return installers[0]


def install(wine, installer, *options):
    result = wine.run(str(installer), "/S", *options)
    check(result.returncode == 0, f"silent install {' '.join(options)} ({result.returncode})")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("--build", "--cpack", "--linux-cli", "--source", "--version"):
        parser.add_argument(option, required=True)
    parser.add_argument("--gui", required=True, help="1 when the installer ships bladeway.exe")
    parser.add_argument("--wine", default="wine")
    args = parser.parse_args()
    missing = [tool for tool in ("makensis", args.wine) if shutil.which(tool) is None]
    missing += [] if Path(args.linux_cli).exists() else [args.linux_cli]
    if missing:
        print(f"skipped: {', '.join(missing)} missing")
        return 77

    wine = Wine(args.wine)
    flat = Install(wine, wine.variable("ProgramW6432") + r"\Bladeway", "Bladeway")
    # A shop's tree-mode install: outside Program Files, in a HARBOR62 folder.
    tree = Install(wine, r"C:\CNC\HARBOR62\Bladeway", "Bladeway (tree mode)")
    moved_tree = Install(wine, r"C:\CNC\Millrun\HARBOR62\Bladeway", tree.product)
    app_data = wine.variable("APPDATA")
    user_settings = wine.unix(app_data + r"\bladeway")
    defaults = Path(args.source, "packaging", "settings", "Bladeway.INI").read_bytes()
    defaults = defaults.replace(b"\n", b"\r\n")
    # Left by an earlier run in this build's prefix: the test's own.
    shutil.rmtree(user_settings, ignore_errors=True)
    shutil.rmtree(wine.unix(r"C:\CNC"), ignore_errors=True)
    programs = ["bladeway-cli.exe"] + (["bladeway.exe"] if args.gui == "1" else [])
    links = sorted(["Uninstall.lnk"] + (["Bladeway.lnk"] if args.gui == "1" else []))
    with tempfile.TemporaryDirectory(prefix="bladeway-installer-") as work:
        # The Linux tool's runs keep their journals here, not in the user's folder.
        os.environ["XDG_STATE_HOME"] = str(Path(work) / "state")
        work = Path(work)
        started = time.monotonic()
        installer = make_installer(args.cpack, args.build, work / "package")
        print(f"ok   {installer.name}: {installer.stat().st_size} bytes, "
              f"made in {time.monotonic() - started:.1f} s")
        try:
            install(wine, installer)
            expected = sorted([*programs, "LICENSE.txt", "Uninstall.exe",
                               "defaults/bladeway/Bladeway.INI"] +
                              [str(p.relative_to(Path(args.source)))
                               for p in (Path(args.source) / "examples").rglob("*")
                               if p.is_file() and not p.name.startswith(".git")])
            check(flat.program_files() == expected,
                  f"{flat.folder} holds {flat.program_files()}")
            licence = Path(args.source, "LICENSE").read_bytes().replace(b"\n", b"\r\n")
            check((flat.unix_folder / "LICENSE.txt").read_bytes() == licence,
                  "the licence is installed with Windows line ends")
            check(Path(args.source, "examples", "keys", "Harbor.dat").read_bytes() ==
                  (flat.unix_folder / "examples" / "keys" / "Harbor.dat").read_bytes(),
                  "the example keys are installed byte for byte")
            check(flat.menu_links() == links,
                  f"the Start menu folder Bladeway holds {flat.menu_links()}")
            check(args.version == wine.value(flat.uninstall_key, "DisplayVersion"),
                  f"the installed programs list Bladeway {args.version}")

            cli = flat.folder + r"\bladeway-cli.exe"
            result = wine.run(cli, "--version")
            check(result.stdout.strip() == f"bladeway-cli {args.version}",
                  f"the installed tool says {result.stdout.strip()!r}")
            compared = compare_generated(args.linux_cli, [args.wine, cli],
                                         flat.folder + r"\examples", args.source, work / "runs",
                                         wine.env, windows_settings=False)
            check(compared is not None,
                  f"the installed tool's programs are the Linux tool's ({compared} files)")

            settings = app_data + r"\bladeway\Bladeway.INI"
            result = wine.run(cli, "config", "path")
            check(result.stdout.strip() == settings, f"its settings file is {result.stdout.strip()}")
            # A user's first start begins from the installed defaults (the
            # main window at its design size), as the Linux package does.
            first = user_settings / "Bladeway.INI"
            check(first.exists() and first.read_bytes() == defaults,
                  r"the first start copies defaults\bladeway\Bladeway.INI into %APPDATA%\bladeway")
            result = wine.run(cli, "config", "set", "Paths", "Source", r"C:\keys")
            check(result.returncode == 0 and
                  b"Source=C:\\keys" in (user_settings / "Bladeway.INI").read_bytes(),
                  r"a setting it stores lands in %APPDATA%\bladeway\Bladeway.INI")
            check(not (flat.unix_folder / "Bladeway.INI").exists(),
                  "no settings file beside the program")

            # Beside it, a tree-mode install outside Program Files, on PATH.
            install(wine, installer, "/PATH", "/D=" + tree.folder)
            check(tree.program_files() == expected, f"{tree.folder} holds the same files")
            check(flat.program_files() == expected and wine.has_key(flat.uninstall_key),
                  "the flat install stays beside the tree-mode one")
            check(tree.menu_links() == links, f"the Start menu folder {tree.product} holds "
                  f"{tree.menu_links()}")
            result = wine.run(tree.folder + r"\bladeway-cli.exe", "config", "path")
            check(result.stdout.strip() == tree.folder + r"\Bladeway.INI" and
                  (tree.unix_folder / "Bladeway.INI").read_bytes() == defaults,
                  "its first start keeps its own settings beside it, begun from the defaults")
            check(wine.user_path_entries().count(tree.folder) == 1,
                  f"the user's PATH names its folder: {wine.user_path_entries()}")

            # Installed again elsewhere: the earlier tree-mode install goes.
            install(wine, installer, "/PATH", "/D=" + moved_tree.folder)
            check(moved_tree.program_files() == expected, f"{moved_tree.folder} holds the files")
            check(tree.program_files() == [] and
                  sorted(p.name for p in tree.unix_folder.iterdir()) == ["Bladeway.INI"],
                  f"{tree.folder} keeps only the user's settings, no second uninstaller")
            check(wine.value(tree.uninstall_key, "InstallLocation") == moved_tree.folder,
                  "one entry among the installed programs, for the new folder")
            check(wine.user_path_entries().count(moved_tree.folder) == 1 and
                  tree.folder not in wine.user_path_entries(),
                  f"PATH names the new folder alone: {wine.user_path_entries()}")

            left = moved_tree.uninstall()
            check(not left, f"the tree-mode uninstaller removed its files, Start menu folder "
                  f"and entries; left: {left}")
            check(moved_tree.folder not in wine.user_path_entries(),
                  "and its folder from the user's PATH")
            check(wine.has_key(flat.uninstall_key) and flat.program_files() == expected,
                  "the flat install is untouched")
        finally:
            for each in (tree, moved_tree):
                if (each.unix_folder / "Uninstall.exe").exists():
                    each.uninstall()
            left = flat.uninstall() if flat.unix_folder.exists() else ["no install"]
        check(not left, "the uninstaller removed the install folder, the Start menu folder, "
              r"the entry among the installed programs and HKLM\Software\Bladeway"
              + (f"; left: {left}" if left else ""))
        check(not flat.unix_folder.exists() and not wine.has_key(VENDOR_KEY),
              "nothing of the flat install is left")
        check((user_settings / "Bladeway.INI").exists(), "the user's settings are kept")
    shutil.rmtree(user_settings, ignore_errors=True)
    shutil.rmtree(wine.unix(r"C:\CNC"), ignore_errors=True)
    if FAILURES:
        print(f"{len(FAILURES)} checks failed")
        return 1
    print("the installer installs, runs and uninstalls cleanly")
    return 0


if __name__ == "__main__":
    sys.exit(main())
