#!/usr/bin/env python3
"""The installed product: `cmake --install` into a staging folder puts every
file where desktops and tools look for it, the desktop entry and the AppStream
metainfo pass their validators, the man pages render without warnings, the
bash completion completes, both programs print their version and the desktop
program its usage without a display, and the Debian package holds the same
files with its library dependencies, its default settings as a conffile, and
passes lintian without errors (when lintian is installed).

As root it also runs the installed command-line tool as the ordinary user
"nobody": settings in the user's configuration folder, started from a copy of
the system's default settings, the template mode by the program's folder (an
install below a HARBOR62 folder works in tree mode), and a program run from
the user's own folder keeping its settings beside it."""

import argparse
import gzip
import json
import os
import pwd
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

parser = argparse.ArgumentParser()
parser.add_argument("--build", required=True)
parser.add_argument("--source", required=True)
parser.add_argument("--cmake", default="cmake")
parser.add_argument("--cpack", default="cpack")
parser.add_argument("--gui", choices=["ON", "OFF"], default="ON")
args = parser.parse_args()
source = Path(args.source)
APP_ID = "org.bladeway.Bladeway"
DEFAULT_SETTINGS = "/etc/xdg/bladeway/Bladeway.INI"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def project_version():
    text = (source / "CMakeLists.txt").read_text()
    return re.search(r"project\(Bladeway VERSION ([0-9.]+)", text).group(1)


def expected_files(prefix, gui):
    files = {"bin/bladeway-cli", "share/man/man1/bladeway-cli.1.gz",
             "share/bash-completion/completions/bladeway-cli",
             "share/doc/bladeway/copyright", "share/doc/bladeway/changelog.Debian.gz"}
    if gui:
        files |= {"bin/bladeway", "share/man/man1/bladeway.1.gz",
                  f"share/applications/{APP_ID}.desktop", f"share/metainfo/{APP_ID}.metainfo.xml",
                  f"share/icons/hicolor/scalable/apps/{APP_ID}.svg"}
        files |= {f"share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png"
                  for size in (16, 32, 48, 64, 256)}
    # The default settings go where the programs look, whatever the prefix.
    return {f"{prefix}/{name}" for name in files} | {DEFAULT_SETTINGS}


def without_display():
    """The environment of a session that has no display."""
    return {key: value for key, value in os.environ.items()
            if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}


def install(destination, prefix):
    env = dict(os.environ, DESTDIR=str(destination))
    result = run([args.cmake, "--install", args.build, "--prefix", prefix], env=env)
    check(result.returncode == 0, f"cmake --install --prefix {prefix}: {result.stderr}")
    return {"/" + str(path.relative_to(destination)) for path in destination.rglob("*")
            if path.is_file()}


def complete(script, line):
    """What the completion offers for the last word of `line`."""
    program = f"""
source /usr/share/bash-completion/bash_completion
source {script}
COMP_LINE="{line}"; read -ra COMP_WORDS <<<"$COMP_LINE"
[[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
COMP_CWORD=$((${{#COMP_WORDS[@]}} - 1)); COMP_POINT=${{#COMP_LINE}}
_bladeway_cli bladeway-cli "${{COMP_WORDS[COMP_CWORD]}}" "${{COMP_WORDS[COMP_CWORD-1]}}"
printf '%s\\n' "${{COMPREPLY[@]}}"
"""
    return set(run(["bash", "-c", program]).stdout.split())


def check_installed_tree(root, gui, version):
    usr = root / "usr"
    if gui:
        desktop = usr / "share/applications" / f"{APP_ID}.desktop"
        result = run(["desktop-file-validate", str(desktop)])
        check(result.returncode == 0 and result.stdout == "",
              f"desktop-file-validate: {result.stdout}{result.stderr}")
        metainfo = usr / "share/metainfo" / f"{APP_ID}.metainfo.xml"
        result = run(["appstreamcli", "validate", "--no-net", "--explain", str(metainfo)])
        check(result.returncode == 0, f"appstreamcli validate: {result.stdout}{result.stderr}")
        check(f'<release version="{version}"' in metainfo.read_text(),
              "the metainfo's release is not the project's version")
        check("Icon=" + APP_ID in desktop.read_text(), "the desktop entry names another icon")
    for page in usr.glob("share/man/man1/*.1.gz"):
        text = gzip.decompress(page.read_bytes()).decode()
        check(f'"Bladeway {version}"' in text, f"{page.name}: not the project's version")
        result = run(["man", "--warnings", "-E", "UTF-8", "-l", str(page)],
                     env=dict(os.environ, MANWIDTH="80"))
        check(result.returncode == 0 and result.stderr == "",
              f"{page.name} renders with warnings: {result.stderr}")
    completion = usr / "share/bash-completion/completions/bladeway-cli"
    if Path("/usr/share/bash-completion/bash_completion").exists():
        for line, offered in [("bladeway-cli ", {"sheet", "config", "generate", "index"}),
                              ("bladeway-cli index ", {"show", "check", "repair"}),
                              ("bladeway-cli index repair --d", {"--dry-run"}),
                              ("bladeway-cli config ", {"get", "set", "path"}),
                              ("bladeway-cli config set --settings x.ini Paths ",
                               {"Source", "Template", "Destination"}),
                              ("bladeway-cli generate --mode ", {"flat", "tree"}),
                              ("bladeway-cli generate --translate X", {"xl", "xh"}),
                              ("bladeway-cli generate --dr", {"--dry-run"})]:
            got = complete(completion, line)
            check(offered <= got, f"completion of '{line}' offers {sorted(got)}")
    else:
        failures.append("bash-completion is not installed")
    programs = ["bladeway-cli"] + (["bladeway"] if gui else [])
    for program in programs:
        result = run([str(usr / "bin" / program), "--version"], env=without_display())
        check(result.returncode == 0 and result.stdout == f"{program} {version}\n",
              f"{program} --version printed {result.stdout!r} {result.stderr!r}")
    if gui:
        result = run([str(usr / "bin/bladeway"), "--help"], env=without_display())
        check(result.returncode == 0 and result.stderr == ""
              and result.stdout.startswith("Usage: bladeway [--help | --version]\n")
              and "bladeway-cli" in result.stdout,
              f"bladeway --help without a display: {result.returncode} {result.stdout!r} "
              f"{result.stderr!r}")
    documents = usr / "share/doc/bladeway"
    check((documents / "copyright").read_text().startswith(
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"),
        "the copyright file is not in the machine-readable format")
    changelog = gzip.decompress((documents / "changelog.Debian.gz").read_bytes()).decode()
    check(changelog.startswith(f"bladeway ({version}) "),
          f"the changelog's newest entry is not {version}: {changelog.splitlines()[:1]}")
    check((root / DEFAULT_SETTINGS[1:]).read_bytes()
          == (source / "packaging/settings/Bladeway.INI").read_bytes(),
          "the installed default settings differ from packaging/settings/Bladeway.INI")


def as_nobody(command, home, **env):
    """`command` run as the user nobody with the given home."""
    environment = {"PATH": "/usr/bin:/bin", "HOME": str(home), **env}
    return run(["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "env", "-i"]
               + [f"{key}={value}" for key, value in environment.items()] + command)


def check_ordinary_user(work, tree_root):
    """Settings and template mode of installed and own-folder programs."""
    home = work / "home"
    home.mkdir()
    shutil.chown(home, "nobody")
    examples = source / "examples"
    cli = str(tree_root / "opt/harbor62/bin/bladeway-cli")
    # The first start copies the system's default settings; the copy is the user's.
    system_config = tree_root / "etc/xdg"
    result = as_nobody([cli, "config", "get", "Positions", "MainWidth"], home,
                       XDG_CONFIG_DIRS=str(system_config))
    check(result.returncode == 0 and result.stdout == "6810\n",
          f"first start's MainWidth: {result.stdout!r} {result.stderr!r}")
    # Installed where the user cannot write: settings in ~/.config (a folder of
    # its own for a tree-mode install) started from the default, mode by the
    # folder. The rules of the places: ChooseSettingsPlace, LocateSettings.
    user_settings = home / ".config/bladeway-tree/Bladeway.INI"
    result = as_nobody([cli, "config", "set", "Paths", "Template",
                        str(examples / "templates" / "tree")], home)
    check(result.returncode == 0, f"config set as nobody: {result.stderr}")
    result = as_nobody([cli, "config", "path"], home)
    check(result.stdout == f"{home}/.config/bladeway-tree/Bladeway.INI\n",
          f"installed settings at {result.stdout!r}")
    settings = user_settings.read_bytes() if user_settings.is_file() else b""
    check(b"Template=" in settings and b"MainWidth=6810" in settings,
          "the user's settings lack the value set or the default")
    check(not (tree_root / "opt/harbor62/bin/Bladeway.INI").exists(),
          "settings written beside the installed program")
    destination = home / "out"
    as_nobody(["mkdir", "-p", str(destination / "SRG" / "P")], home)
    result = as_nobody([cli, "generate", "--dry-run", "--json", "--dest", str(destination),
                        str(examples / "keys" / "Harbor.dat")], home)
    report = json.loads(result.stdout or "{}")
    check(report.get("mode") == "tree", f"the HARBOR62 install works in {report.get('mode')} mode")
    check(report.get("summary", {}).get("wouldWrite") == 12, f"not all to write: {result.stdout}")
    # A program run from the user's own folder, which the user can write: settings beside it.
    own = home / "bladeway"
    own.mkdir()
    shutil.copy(cli, own)
    shutil.chown(own, "nobody")
    result = as_nobody([str(own / "bladeway-cli"), "config", "set", "Paths", "Source", "/k"], home)
    check((own / "Bladeway.INI").is_file(), f"settings not beside the own copy: {result.stderr}")


def check_package(work, installed):
    """The .deb holds what the install puts below /usr, with library dependencies."""
    result = run([args.cpack, "-G", "DEB", "-B", str(work / "package")], cwd=args.build)
    check(result.returncode == 0, f"cpack: {result.stdout}{result.stderr}")
    packages = list((work / "package").glob("bladeway_*.deb"))
    check([p.name for p in packages] == [f"bladeway_{project_version()}_amd64.deb"]
          or run(["dpkg", "--print-architecture"]).stdout.strip() != "amd64",
          f"package files: {[p.name for p in packages]}")
    if not packages:
        return
    listing = run(["dpkg-deb", "--contents", str(packages[0])]).stdout.splitlines()
    files = {line.split()[-1][1:] for line in listing if not line.startswith("d")}
    check(files == installed, f"package files differ: {sorted(files ^ installed)}")
    depends = run(["dpkg-deb", "--field", str(packages[0]), "Depends"]).stdout
    for library in ["libc6"] + (["libqt6widgets6"] if args.gui == "ON" else []):
        check(library in depends, f"Depends lacks {library}: {depends}")
    conffiles = run(["dpkg-deb", "--info", str(packages[0]), "conffiles"]).stdout
    check(conffiles.split() == [DEFAULT_SETTINGS], f"conffiles: {conffiles!r}")
    check_lintian(packages[0])


def check_lintian(package):
    """No lintian errors; warnings are listed in docs/packaging.md."""
    if not shutil.which("lintian"):
        print("note: lintian is not installed, so the package was not checked with it")
        return
    result = run(["lintian", "--tag-display-limit", "0", str(package)])
    errors = [line for line in result.stdout.splitlines() if line.startswith("E:")]
    # Exit code 2 is an error found, 1 lintian failing to run.
    check(not errors and result.returncode == 0,
          f"lintian ({result.returncode}): {errors or result.stderr}")


version = project_version()
with tempfile.TemporaryDirectory(prefix="bladeway-install-") as work:
    work = Path(work)
    os.chmod(work, 0o755)  # others may look in, as in /usr
    gui = args.gui == "ON"
    installed = install(work / "usr-root", "/usr")
    check(installed == expected_files("/usr", gui),
          f"installed files differ: {sorted(installed ^ expected_files('/usr', gui))}")
    check_installed_tree(work / "usr-root", gui, version)
    tree = install(work / "tree-root", "/opt/harbor62")
    check(tree == expected_files("/opt/harbor62", gui), "the tree-mode install differs")
    check_package(work, installed)
    if os.geteuid() == 0 and shutil.which("setpriv") and "nobody" in {
            user.pw_name for user in pwd.getpwall()}:
        check_ordinary_user(work, work / "tree-root")
    else:
        print("note: not root, so the run as an ordinary user was left out")

if failures:
    print(f"{len(failures)} check(s) failed")
    sys.exit(1)
print("install test: every check passed")
