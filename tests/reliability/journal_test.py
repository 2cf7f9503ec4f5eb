#!/usr/bin/env python3
"""Run journal: every run can be undone. After a flat run and a tree run
over earlier programs, `bladeway-cli runs undo` gives back every file byte
for byte and removes the files the run created; the index is undone by
entry, keeping the entries another run wrote since; a program edited by
hand since the run is listed as a conflict and left, the rest undone; runs
killed with SIGKILL at random moments are undone as far as they went; an
undo is undone in its turn; old journals go beyond the settings' limits;
and (as root) a journal disk that is full ends the run before anything is
replaced."""

import json
import os
import random
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from shop import RECORD, Shop, arguments, check, conclude, fill, index_problems, snapshot

parser = arguments(seed=True)
parser.add_argument("--keys", type=int, default=2500)  # two program batches
parser.add_argument("--kills", type=int, default=12)
args = parser.parse_args()
rng = random.Random(args.seed)
print(f"seed {args.seed}")


def cli(*words, settings=None):
    extra = ["--settings", str(settings)] if settings else []
    return subprocess.run([args.cli, *words, *extra], capture_output=True)


def runs():
    done = cli("runs", "list", "--json")
    return json.loads(done.stdout) if done.returncode == 0 else []


def undo(*words, what=None):
    """Undoes the run of the ID given, else the newest; with `what`, checks that it went through."""
    done = cli("runs", "undo", *words)
    said = done.stdout.decode() + done.stderr.decode()
    if what:
        check(done.returncode == 0, f"{what} exited {done.returncode}: {said}")
    return done.returncode, said


def earlier_run(name, *extra):
    """A fresh destination and its files after an earlier run with other
    values (X read as H) than the run then undone."""
    dest = shop.destination(name)
    subprocess.run(shop.command(args.cli, dest, "--translate", "xh", *extra), check=True,
                   capture_output=True)
    return dest, snapshot(dest)[0]


def same(dest, before, what):
    """The files below `dest` are those of `before`, byte for byte."""
    after, temporaries = snapshot(dest)
    missing = sorted(set(before) - set(after))[:3]
    extra = sorted(set(after) - set(before))[:3]
    changed = sorted(p for p in before if p in after and after[p] != before[p])[:3]
    return check(not (missing or extra or changed),
                 f"{what}: missing {missing}, extra {extra}, changed {changed}")


base = "/dev/shm" if os.access("/dev/shm", os.W_OK) else None
with tempfile.TemporaryDirectory(prefix="bladeway-journal-", dir=base) as work:
    work = Path(work)
    os.environ["XDG_STATE_HOME"] = str(work / "state")
    shop = Shop(work / "shop", args.source, args.keys, seed=args.seed)

    # 1. A tree run over an earlier one, then its undo, then the undo's undo.
    dest, before = earlier_run("tree", "--keys", f"1-{args.keys // 2}")
    done = shop.run(args.cli, dest)
    check(done.returncode == 0, f"tree run: {done.stderr.decode()}")
    after_run, _ = snapshot(dest)
    undo(what="tree undo")
    same(dest, before, "tree run undone")
    undo(what="undo of the undo")
    same(dest, after_run, "tree run redone by undoing its undo")

    # 2. A flat run into a folder of older programs: the same, flat.
    flat = work / "flat"
    flat_templates = Path(args.source) / "examples" / "templates" / "flat"
    flat.mkdir()
    flat_command = [args.cli, "generate", "--mode", "flat", "--templates", str(flat_templates),
                    "--dest", str(flat), str(Path(args.source) / "examples" / "keys" / "Harbor.dat")]
    subprocess.run(flat_command + ["--translate", "xh", "--keys", "1-6"], check=True, capture_output=True)
    before, _ = snapshot(flat)
    check(subprocess.run(flat_command, capture_output=True).returncode == 0, "flat run failed")
    undo(what="flat undo")
    same(flat, before, "flat run undone")

    # 3. The index undone by entry: a second run's entries stay.
    dest = shop.destination("entries")
    half = args.keys // 2
    first = subprocess.run(shop.command(args.cli, dest, "--keys", f"1-{half}"), capture_output=True)
    first_id = runs()[0]["id"]
    second = subprocess.run(shop.command(args.cli, dest, "--keys", f"{half + 1}-{args.keys}"),
                            capture_output=True)
    check(first.returncode == 0 and second.returncode == 0, "the two runs failed")
    undo(first_id, what="undo of the first of two runs")
    index = (dest / "INDICE.Prg").read_bytes()
    names = {index[i:i + 12].decode().rstrip() for i in range(0, len(index), RECORD)}
    check(names == {p.upper() for p in shop.programs[half:]},
          f"after undoing the first run the index holds {len(names)} entries, not the second run's "
          f"{args.keys - half}")
    check(not index_problems(index, index), "the index undone by entry is out of order")

    # 4. A program edited by hand since the run: a conflict, left as it is.
    dest, before = earlier_run("edited")
    shop.run(args.cli, dest)
    edited = next(p for p in sorted(before) if p.startswith("SRG/"))
    (dest / edited).write_bytes(b"G00 X1 (edited at the machine)\r\n")
    code, said = undo()
    check(code == 1 and f"conflict: {dest / edited}: changed since the run" in said,
          f"a hand edit is not listed as a conflict (exit {code}): {said[:300]}")
    before[edited] = b"G00 X1 (edited at the machine)\r\n"
    same(dest, before, "undo beside a hand edit")

    # 5. Runs killed at random moments are undone as far as they went.
    dest, before = earlier_run("killed")
    begin = time.monotonic()
    shop.run(args.cli, dest)
    run_time = time.monotonic() - begin
    undo(what="the undo before the kills")
    journalled = 0  # kills that fell after the run had begun to replace files
    for kill in range(args.kills):
        known = {run["id"] for run in runs()}
        process = subprocess.Popen(shop.command(args.cli, dest), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        time.sleep(rng.uniform(0, run_time))
        process.send_signal(signal.SIGKILL)
        process.wait()
        new = [run for run in runs() if run["id"] not in known and run.get("kind") == "run"]
        if new:
            journalled += 1
            undo(new[0]["id"], what=f"kill {kill}: undo")
        if not same(dest, before, f"kill {kill} (seed {args.seed}) undone"):
            break

    # 6. Old journals go: KeepRuns 3 keeps the three newest.
    os.environ["XDG_STATE_HOME"] = str(work / "few-runs")
    settings = work / "Bladeway.INI"
    cli("config", "set", "Journal", "KeepRuns", "3", settings=settings)
    for _ in range(5):
        cli("generate", "--mode", "flat", "--templates", str(flat_templates), "--dest", str(flat),
            "--keys", "1", str(Path(args.source) / "examples" / "keys" / "Harbor.dat"), settings=settings)
    check(len(runs()) == 3, f"KeepRuns 3 kept {len(runs())} runs")

    # 7. A full journal disk (root: a tmpfs of its own): the run ends before
    # anything is replaced, and no half journal stays.
    if os.geteuid() == 0:
        state = work / "full-state"
        state.mkdir()
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=2m", "tmpfs", str(state)], check=True)
        try:
            os.environ["XDG_STATE_HOME"] = str(state)
            dest, before = earlier_run("journal-full")
            journals = set((state / "bladeway" / "runs").iterdir())
            fill(state)
            done = subprocess.run(shop.command(args.cli, dest, "--json"), capture_output=True)
            report = json.loads(done.stdout)
            check(done.returncode == 1 and "No space left" in (report["journalProblem"] or ""),
                  f"full journal disk: exit {done.returncode}, {report['journalProblem']}")
            same(dest, before, "full journal disk: the destination")
            left = set((state / "bladeway" / "runs").iterdir()) - journals
            check(not left, f"full journal disk: {len(left)} half journals left")
        finally:
            subprocess.run(["umount", str(state)], check=True)
    else:
        print("full journal disk: skipped (needs root for a tmpfs)")

conclude(f"undo after flat, tree, two-run, hand-edited and {args.kills} killed runs ({journalled} "
         f"had begun to replace files): every file and entry as before")
