#!/usr/bin/env python3
"""Concurrent writers: two `bladeway-cli generate --mode tree` runs started
at the same moment into one destination, each for half of the keys, keep
every INDICE.Prg entry, and each run's report is true (every key entered).
A run that finds a living writer's claim says that it waits and for whom,
gives its keys up at --lock-wait with the reason, a waiter killed with
SIGKILL leaves the claim as it was, and the claim of a holder that has ended
is taken over at once and said. With --wine the Windows build runs under
Wine (fewer keys: Wine starts slowly), making its claims through CreateFileW."""

import os
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from shop import (RECORD, Shop, arguments, check, claim_record, conclude, failures, finish_run,
                  index_problems, start_run, this_computer)

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
    return start_run(command(shop, dest, *extra))


with tempfile.TemporaryDirectory(prefix="bladeway-concurrent-") as work:
    os.environ["XDG_STATE_HOME"] = str(Path(work) / "state")
    shop = Shop(Path(work) / "shop", args.source, args.keys)
    half = args.keys // 2
    halves = (f"1-{half}", f"{half + 1}-{args.keys}")
    solo = shop.destination("solo")
    code, _, err = finish_run(start(shop, solo))
    check(code == 0, f"a run alone failed: {err}")
    reference = (solo / "INDICE.Prg").read_bytes()

    for trial in range(args.trials):
        dest = shop.destination("dest")
        runs = [start(shop, dest, "--keys", keys) for keys in halves]
        for keys, run in zip(halves, runs):
            code, report, err = finish_run(run)
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
        # A run that finds a living writer's claim waits, says for whom, and
        # gives its keys up at its limit.
        dest = shop.destination("claimed")
        claim = dest / ".INDICE.Prg.bwclaim"
        holder = this_computer()
        claim.write_bytes(claim_record(holder))
        code, report, err = finish_run(start(shop, dest, "--keys", "1-5", "--lock-wait", "0.5"))
        check("waiting for another program writing" in err and
              f"reliability-test 1 on {holder['computer']}, process {holder['process']})" in err,
              f"no waiting notice naming the holder: {err}")
        check(code == 1, f"a run that could not take the claim exited {code}")
        reasons = {e for k in (report or {"keys": []})["keys"] for e in k["errors"]}
        check(any("gave up waiting for another program writing" in r for r in reasons),
              f"the keys do not say why they were not entered: {reasons}")
        check(not (dest / "INDICE.Prg").exists(), "the index was written without its claim")

        # A waiter killed while it waits leaves the claim as it found it.
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
        check(claim.read_bytes() == claim_record(holder), "a killed waiter changed the claim")
        claim.unlink()  # its holder is done
        code, _, err = finish_run(start(shop, dest, "--keys", "1-5"))
        check(code == 0 and "waiting" not in err, f"a run after a killed waiter: {code} {err}")
        check(not claim.exists(), "the claim stays after every run ended")

        # The claim of a holder whose process has ended is taken over at
        # once, and the run says so.
        ended = subprocess.Popen(["true"])
        ended.wait()
        claim.write_bytes(claim_record(dict(holder, process=ended.pid, started=0)))
        began = time.monotonic()
        code, report, err = finish_run(start(shop, dest, "--keys", "6-9"))
        said = f"took over the claim of {holder['computer']}, process {ended.pid}, idle for"
        check(code == 0 and said in err and "(its process has ended)" in err,
              f"an ended holder's claim: {code} {err}")
        check(time.monotonic() - began < 10, "an ended holder's claim was not taken over at once")
        writers = (report or {}).get("otherWriters", [])
        check(len(writers) == 1 and (writers[0]["takeover"] or {}).get("holderEnded"),
              f"the report does not name the takeover: {writers}")
        check(not claim.exists(), "the claim taken over stays after the run")

conclude(f"{args.trials} trials of two runs of {args.keys // 2} keys each into one destination: "
         "every entry kept, every report true")
