#!/usr/bin/env python3
"""Concurrent writers: two `bladeway-cli generate --mode tree` runs started
at the same moment into one destination, each for half of the keys, keep
every INDICE.Prg entry, and each run's report is true (every key entered).
A run that finds the index locked says that it waits, gives its keys up at
--lock-wait with the reason, and a waiter killed with SIGKILL leaves no lock
behind. With --wine the Windows build runs under Wine (fewer keys: Wine
starts slowly), taking the locks through LockFileEx."""

import fcntl
import json
import os
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from shop import RECORD, Shop, arguments, check, conclude, failures, index_problems

parser = arguments()
parser.add_argument("--wine", help="run the CLI under this Wine")
parser.add_argument("--keys", type=int, default=2000)
parser.add_argument("--trials", type=int, default=8)
args = parser.parse_args()


def native(path):
    """A path as the CLI takes it: Wine's drive Z: for the Windows build."""
    if not args.wine:
        return str(path)
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def command(shop, dest, *extra):
    words = shop.command(args.cli, native(dest), "--json", *extra,
                         templates=native(shop.templates))
    words[-1] = native(words[-1])
    return ([args.wine] if args.wine else []) + words


def start(shop, dest, *extra):
    return subprocess.Popen(command(shop, dest, *extra), stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)


def finish(process):
    out, err = process.communicate(timeout=600)
    return process.returncode, json.loads(out) if out.strip() else None, err.decode(errors="replace")


def hold_lock(dest):
    """Takes the index's writer lock as another program would; the file stays open."""
    lock = open(dest / ".INDICE.Prg.bwlock", "a+b")
    fcntl.lockf(lock, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 0)
    return lock


with tempfile.TemporaryDirectory(prefix="bladeway-concurrent-") as work:
    os.environ["XDG_STATE_HOME"] = str(Path(work) / "state")
    shop = Shop(Path(work) / "shop", args.source, args.keys)
    half = args.keys // 2
    halves = (f"1-{half}", f"{half + 1}-{args.keys}")
    solo = shop.destination("solo")
    code, _, err = finish(start(shop, solo))
    check(code == 0, f"a run alone failed: {err}")
    reference = (solo / "INDICE.Prg").read_bytes()

    for trial in range(args.trials):
        dest = shop.destination("dest")
        runs = [start(shop, dest, "--keys", keys) for keys in halves]
        for keys, run in zip(halves, runs):
            code, report, err = finish(run)
            check(code == 0, f"trial {trial}: keys {keys} exited {code}: {err}")
            if report:
                not_entered = [k["program"] for k in report["keys"]
                               if k["indexOutcome"]["result"] != "entered"]
                check(not not_entered, f"trial {trial}: keys {keys} report {len(not_entered)} "
                      f"keys not entered: {not_entered[:3]}")
        index = (dest / "INDICE.Prg").read_bytes()
        check(len(index) // RECORD == args.keys,
              f"trial {trial}: {len(index) // RECORD} of {args.keys} entries in INDICE.Prg")
        problems = index_problems(index, reference)
        check(not problems, f"trial {trial}: {problems[:3]}")

    if not args.wine:
        # A run that finds the lock taken says so and gives up at its limit.
        dest = shop.destination("locked")
        lock = hold_lock(dest)
        code, report, err = finish(start(shop, dest, "--keys", "1-5", "--lock-wait", "0.5"))
        check("waiting for another program writing" in err, f"no waiting notice: {err}")
        check(code == 1, f"a run that could not take the lock exited {code}")
        reasons = {e for k in (report or {"keys": []})["keys"] for e in k["errors"]}
        check(any("gave up waiting for another program writing" in r for r in reasons),
              f"the keys do not say why they were not entered: {reasons}")
        check(not (dest / "INDICE.Prg").exists(), "the index was written without its lock")

        # A waiter killed while it waits leaves no lock: the next run does not wait.
        said = Path(work) / "waiter.err"
        with open(said, "wb") as err_file:
            waiter = subprocess.Popen(command(shop, dest, "--keys", "1-5"),
                                      stdout=subprocess.DEVNULL, stderr=err_file)
            deadline = time.monotonic() + 60
            while b"waiting for another program" not in said.read_bytes():
                check(time.monotonic() < deadline and waiter.poll() is None,
                      "the waiter never said it waits")
                if failures:
                    break
                time.sleep(0.05)
            waiter.send_signal(signal.SIGKILL)
            waiter.wait()
        lock.close()
        code, _, err = finish(start(shop, dest, "--keys", "1-5"))
        check(code == 0 and "waiting" not in err, f"a run after a killed waiter: {code} {err}")
        # Nor does a killed holder: the lock is free once its process is gone.
        try:
            hold_lock(dest).close()
        except OSError:
            failures.append("the lock is still held after every run ended")

conclude(f"{args.trials} trials of two runs of {args.keys // 2} keys each into one destination: "
         "every entry kept, every report true")
