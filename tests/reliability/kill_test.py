#!/usr/bin/env python3
"""Kill test: `bladeway-cli generate` in tree mode, killed with SIGKILL at
random moments (every fourth kill once its first program is in place), never
leaves a damaged program or index. After each kill every program equals what an
uninterrupted run writes or is absent, INDICE.Prg holds whole, known records in
name order (the entries of the keys done so far), and a run over the same folder
then ends with exactly the uninterrupted result; temporary files left by a kill
(up to one batch of staged programs), and planted ones, are never taken for
data."""

import os
import random
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from shop import (RECORD, Shop, arguments, check, claims, conclude, failures, index_problems,
                  snapshot, tree_path)

parser = arguments(seed=True)
# More keys than one batch holds (10,000), so that kills land before, between
# and after index writes.
parser.add_argument("--keys", type=int, default=12000)
parser.add_argument("--kills", type=int, default=100)
parser.add_argument("--seconds", type=float, default=40, help="stop killing after this long")
args = parser.parse_args()
rng = random.Random(args.seed)

# tmpfs keeps the runs short, so that many kills fit; a kill does not care
# what lies below the page cache.
base = "/dev/shm" if os.access("/dev/shm", os.W_OK) else None
with tempfile.TemporaryDirectory(prefix="bladeway-kill-", dir=base) as work:
    shop = Shop(Path(work) / "shop", args.source, args.keys, seed=args.seed)
    reference_dest = shop.destination("reference")
    started = time.monotonic()
    run_times = []
    for _ in range(3):  # the shortest of three runs, over the same folder
        begin = time.monotonic()
        done = shop.run(args.cli, reference_dest)
        run_times.append(time.monotonic() - begin)
        assert done.returncode == 0, done.stderr.decode()
    run_time = min(run_times)
    reference, _ = snapshot(reference_dest)
    reference_index = reference.pop("INDICE.Prg")
    assert len(reference) == args.keys
    order = [tree_path(name).as_posix() for name in shop.programs]  # column order
    # Planted temporaries, as a crash would leave them beside real data.
    for planted in (shop.templates / ".INDICE.Prg.a1b2c3.bwtmp",
                    shop.templates / "SRG" / "D" / ".Z120.a1b2c3.bwtmp"):
        planted.write_bytes(b"garbage\r\n" * 9)

    partial_index = 0
    kills, landed, midway, before_first, after_end, keys_done, leftovers = 0, 0, 0, 0, 0, 0, 0
    while kills < args.kills and (kills == 0 or time.monotonic() - started < args.seconds):
        dest = shop.destination("dest")
        (dest / ".INDICE.Prg.d4e5f6.bwtmp").write_bytes(b"x" * 41)
        process = subprocess.Popen(shop.command(args.cli, dest), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        if kills % 4 == 0:
            # Every fourth kill waits for the first program to land, so that
            # kills mid-way never depend on the timing of a loaded machine.
            while process.poll() is None and not (dest / order[0]).exists():
                time.sleep(0.001)
        else:
            time.sleep(rng.uniform(0, run_time))
        process.send_signal(signal.SIGKILL)
        killed = process.wait() == -signal.SIGKILL
        kills += 1
        landed += killed

        files, hidden = snapshot(dest)
        temporaries = [path for path in hidden if path.suffix == ".bwtmp"]
        leftovers += len(temporaries) - 1
        index = files.pop("INDICE.Prg", b"")
        problems = index_problems(index, reference_index)
        entered = len(index) // RECORD
        partial_index += 0 < entered < args.keys
        written = [path for path in order if path in files]
        # Programs come in column order; an index batch is written after the
        # programs of its keys are in place, so it never lists more keys.
        if written != order[:len(written)] or entered > len(written):
            problems.append(f"{len(written)} programs written and {entered} index entries: "
                            "not the first keys of the run")
        names = {index[i:i + 12].decode().rstrip() for i in range(0, len(index), RECORD)}
        if names != {name.upper() for name in shop.programs[:entered]}:
            problems.append("the index holds other entries than those of the first keys")
        problems += [f"{path} differs from the uninterrupted run" for path in files
                     if files[path] != reference.get(path)]
        keys_done += len(written) if killed else 0
        if not killed or (len(written) == args.keys and entered == args.keys):
            after_end += 1
        elif not written and not index and len(temporaries) <= 1:
            before_first += 1  # only the planted temporary: no program staged yet
        else:
            midway += 1

        again = shop.run(args.cli, dest)
        final, hidden = snapshot(dest)
        if again.returncode != 0 or final.pop("INDICE.Prg", None) != reference_index or \
                final != reference:
            problems.append("the run after the kill does not end with the uninterrupted result")
        if claims(hidden):
            problems.append(f"the run after the kill left {claims(hidden)[0].name}")
        failures.extend(f"kill {kills}: {problem}" for problem in problems)

print(f"kill test (seed {args.seed}): {args.keys} keys, uninterrupted run {run_time:.3f} s")
print(f"  {kills} SIGKILLs, {landed} while running: {midway} interrupted mid-way, "
      f"{before_first} before the first file, {after_end} after the last one")
print(f"  {keys_done} keys processed under kill; {kills} re-runs after a kill; "
      f"{leftovers} temporary files left by kills, none taken for data; "
      f"{partial_index} kills left an index of some but not all entries")
check(midway > 0 and midway >= kills // 4,  # else the kills tested little
      f"only {midway} of {kills} kills mid-way")
conclude(f"{landed} kills survived")
