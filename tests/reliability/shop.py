"""A tree-mode key-cutting shop for the reliability scripts: the example
templates, a generated key data file of many keys, destination folders, and
checks of what a run left on disk. Standard library only."""

import argparse
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

RECORD = 82  # bytes of one INDICE.Prg entry
DATE = "03/14/25"
TEMPLATES = ["DZ120", "DZ125", "KB20M", "FL6P"]
# Values that a locale-dependent printf or strtod would get wrong.
TRICKY_VALUES = ["1.0005", "-0.0004", "0.5", "31.5", "2.5E3", "1e-5", ".6", "-12.25", "7", "3,5"]


failures = []


def start_run(command, quiet=False):
    """A run of the command-line tool, its output going to files: a pipe
    would tie it to the reader (a report larger than the pipe's buffer waits
    until it is read, and runs are read in turn), and a process that Wine
    starts beside it (its server, its services) would hold the pipe open
    long after the run ended. `quiet`: its output is not kept."""
    out, err = ((subprocess.DEVNULL, subprocess.DEVNULL) if quiet
                else (tempfile.TemporaryFile(), tempfile.TemporaryFile()))
    process = subprocess.Popen(command, stdout=out, stderr=err)
    process.said = (out, err)
    return process


def finish_run(process):
    """The exit status, the JSON report (None without one) and what the run
    wrote to its standard error."""
    process.wait(timeout=600)
    out, err = (_read_back(file) for file in process.said)
    report = None
    try:
        report = json.loads(out) if out.strip() else None
    except ValueError:
        pass
    return process.returncode, report, err.decode(errors="replace")


def _read_back(file):
    file.seek(0)
    with file:
        return file.read()


def check(condition, what):
    """Records `what` as a failure unless `condition` holds; returns `condition`."""
    if not condition:
        failures.append(what)
    return condition


def conclude(summary):
    """Ends the script: the failures and exit code 1, or `summary`."""
    for failure in failures[:20]:
        print("FAIL", failure)
    if failures:
        sys.exit(1)
    print(summary)


def arguments(seed=False):
    """The command line of every script, the tool and the source tree, with
    a random seed (BLADEWAY_KILL_SEED repeats one) when `seed`; parse_args()
    of what the script adds."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--source", required=True)
    if seed:
        parser.add_argument("--seed", type=int,
                            default=int(os.environ.get("BLADEWAY_KILL_SEED", time.time())))
    return parser


def fill(folder):
    """Fills the disk of `folder` to the last byte with a file "filler"."""
    with open(Path(folder) / "filler", "wb", buffering=0) as filler:
        for chunk in (65536, 1):
            try:
                while True:
                    filler.write(b"\0" * chunk)
            except OSError:
                pass


def write_key_file(path, count, seed):
    """Writes `count` keys (Windows-1252, CR LF) and returns their program
    names in column order: unique, shuffled, 4 to 12 characters, several
    first letters (so several SRG folders)."""
    rng = random.Random(seed)
    numbers = rng.sample(range(1, 10**6), count)
    programs = []
    lines = []
    for column, number in enumerate(numbers):
        letter = "PQRT"[column % 4]
        program = f"{letter}{number:06d}"
        if column % 5 == 0:
            program += f"{column:05d}"  # 12 characters: a file name with an extension
        programs.append(program)
        values = lambda: rng.choice(TRICKY_VALUES + [f"{rng.uniform(-50, 50):.4f}"])
        lines += ["[KEY]", f"M {column}", "generated", TEMPLATES[column % 4], program,
                  str(column % 3), f"KEY ({column})", "  [CUTS]"]
        lines += [f"{name}={values()}" for name in ("L", "H", "S", "A", "B", "D", "V0", "R2")]
        lines.append("!")
    Path(path).write_bytes("\r\n".join(lines).encode("cp1252") + b"\r\n")
    return programs


def tree_path(name):
    """The file of a program below the destination, as the tree names it."""
    if len(name) <= 1:
        return Path("SRG", "00", name)
    rest = name[1:9] + ("." + name[9:] if len(name) > 9 else "")
    return Path("SRG", name[0], rest)


class Shop:
    """Templates copied from the examples and a key data file in `root`."""

    def __init__(self, root, source, count, seed=7):
        self.root = Path(root)
        shutil.rmtree(self.root, ignore_errors=True)
        self.root.mkdir(parents=True)
        # The runs' journals stay in the test's folder, and any user may keep them.
        if "XDG_STATE_HOME" not in os.environ:
            state = self.root / "state"
            state.mkdir(mode=0o1777)
            state.chmod(0o1777)
            os.environ["XDG_STATE_HOME"] = str(state)
        self.templates = self.root / "templates"
        shutil.copytree(Path(source) / "examples" / "templates" / "tree", self.templates)
        self.keys = self.root / "keys.dat"
        self.programs = write_key_file(self.keys, count, seed)

    def destination(self, name):
        """A fresh, empty destination with the SRG folders the programs need."""
        dest = self.root / name
        shutil.rmtree(dest, ignore_errors=True)
        for program in self.programs:
            (dest / tree_path(program)).parent.mkdir(parents=True, exist_ok=True)
        return dest

    def command(self, cli, dest, *extra, mode="tree", templates=None):
        return [str(cli), "generate", "--mode", mode, "--templates",
                str(templates or self.templates), "--dest", str(dest), "--date", DATE, *extra,
                str(self.keys)]

    def run(self, cli, dest, *extra, env=None):
        return subprocess.run(self.command(cli, dest, *extra), capture_output=True, env=env)


def snapshot(folder):
    """Every file below `folder` by relative path with its bytes, and the
    hidden files found that are never data: the temporary files of the
    atomic replace (".*.bwtmp") and a writer's claim a killed run left
    (".*.bwclaim", ".*.bwtakeover")."""
    files, hidden = {}, []
    for path in sorted(Path(folder).rglob("*")):
        if not path.is_file():
            continue
        if path.name.startswith(".") and path.suffix in (".bwtmp", ".bwclaim", ".bwtakeover"):
            hidden.append(path)
        else:
            files[path.relative_to(folder).as_posix()] = path.read_bytes()
    return files, hidden


def claims(paths):
    """The writers' claims among `paths`: nothing of one may stay once no run writes."""
    return [path for path in paths if path.suffix in (".bwclaim", ".bwtakeover")]


CLAIM_SIZE = 512


def this_computer():
    """This process as a claim names it on Linux: its computer, the machine's
    identity and process name space, this boot, its number and start."""
    def first_line(path):
        try:
            return Path(path).read_text().split("\n")[0].strip()
        except OSError:
            return ""
    machine = first_line("/etc/machine-id") or first_line("/var/lib/dbus/machine-id")
    stat = Path("/proc/self/stat").read_text()
    started = int(stat[stat.rindex(")") + 2:].split()[19])
    return {"computer": os.uname().nodename,
            "system": f"linux:{machine}:{os.readlink('/proc/self/ns/pid')}",
            "boot": first_line("/proc/sys/kernel/random/boot_id"),
            "process": os.getpid(), "started": started}


def claim_record(holder, token="0123456789abcdef0123456789abcdef", stale_after=30, renewal=0):
    """The record of a writer's claim held by `holder` (this_computer()'s
    form), as the programs write it."""
    lines = ["Bladeway writer claim 1", f"token {token}", f"computer {holder['computer']}",
             f"system {holder['system']}", f"boot {holder['boot']}",
             f"process {holder['process']}", f"started {holder['started']}",
             "program reliability-test 1", "taken 2026-12-09 12:00:00 UTC",
             f"stale-after {stale_after}", f"renewal {renewal:012d}", "end"]
    text = "\n".join(lines) + "\n"
    return (text + " " * (CLAIM_SIZE - 1 - len(text)) + "\n").encode()


def index_problems(data, reference):
    """What is wrong with an INDICE.Prg: not whole records, not in name order,
    or a record that is not, byte for byte, one of `reference`'s."""
    if len(data) % RECORD:
        return [f"{len(data)} bytes is not a whole number of {RECORD}-byte records"]
    records = [data[i:i + RECORD] for i in range(0, len(data), RECORD)]
    known = {reference[i:i + RECORD] for i in range(0, len(reference), RECORD)}
    names = [record[:12].upper() for record in records]
    problems = [f"record {i + 1} is not a complete entry" for i, r in enumerate(records)
                if r not in known]
    if names != sorted(names) or len(set(names)) != len(names):
        problems.append("records not in name order")
    return problems
