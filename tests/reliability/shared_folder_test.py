#!/usr/bin/env python3
"""Two stations writing one shared folder through two mounts of it, on file
systems whose clients do not pass byte-range locks on from one mount to the
other: two bindfs mounts of one folder (FUSE, no server), and two sshfs
mounts of a folder served by an SSH server that this script starts on
127.0.0.1 with its own host key, key pair and configuration files (the
machine's own SSH set-up is left as it is, and everything started is
stopped).

On each: trials of two `generate --mode tree` runs started at once through
the two mounts into one destination, half the keys each: every entry kept,
every report true, nothing of the writers' claims left. Then a run SIGKILLed
while it holds the claim, after which a run through the other mount goes on,
enters its keys and says that it took over: at once when the killed run was
on this computer; once the claim has gone unrenewed for Sharing/
StaleClaimSeconds when it was a station elsewhere (a process in a process
name space of its own, under another computer name).

With --wine the Windows build runs under Wine: the trials, a Wine run killed,
and a Linux station's claim taken over by the Windows build, since the two
must exclude each other on one share. Needs root (FUSE mounts), bindfs,
sshfs and sshd; exit code 77 (skipped) without them."""

import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time
from contextlib import ExitStack, contextmanager
from pathlib import Path

from shop import (CLAIM_SIZE, RECORD, Shop, arguments, check, conclude, failures, finish_run,
                  index_problems, snapshot, start_run, tree_path)

parser = arguments()
parser.add_argument("--wine", help="run the Windows build's CLI under this Wine")
parser.add_argument("--linux-cli", help="with --wine: the Linux build, for a station of each")
parser.add_argument("--keys", type=int, default=2000)
parser.add_argument("--trials", type=int, default=10)
parser.add_argument("--mixed-trials", type=int, default=3,
                    help="with --linux-cli: trials of a Linux station beside the Windows build")
parser.add_argument("--shares", default="bindfs,sshfs")
parser.add_argument("--stale-after", type=int, default=4,
                    help="Sharing/StaleClaimSeconds while a killed station elsewhere is waited for")
args = parser.parse_args()

# The program's own limit for a claim left unrenewed, with no setting.
DEFAULT_STALE_SECONDS = 30

TOOLS = {"bindfs": ["bindfs"], "sshfs": ["sshfs", "/usr/sbin/sshd", "ssh-keygen"]}
wanted = [share for share in args.shares.split(",") if share]
missing = [tool for share in wanted for tool in TOOLS[share] if not shutil.which(tool)]
if os.geteuid() != 0 or not os.path.exists("/dev/fuse") or missing:
    print(f"skipped: needs root, /dev/fuse and {', '.join(missing) or 'nothing more'}")
    raise SystemExit(77)


def run_quietly(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


@contextmanager
def mounted(command, mount_point):
    """`command` mounts at `mount_point` until the block ends."""
    mount_point.mkdir(parents=True)
    run_quietly(*command, str(mount_point))
    try:
        yield mount_point
    finally:
        if subprocess.run(["fusermount3", "-u", str(mount_point)],
                          stderr=subprocess.DEVNULL).returncode != 0:
            subprocess.run(["umount", "-l", str(mount_point)], stderr=subprocess.DEVNULL)


@contextmanager
def bindfs_mounts(work):
    share = work / "share"
    share.mkdir(parents=True)
    with ExitStack() as stack:
        yield share, [stack.enter_context(mounted(["bindfs", str(share)], work / name))
                      for name in ("station-a", "station-b")]


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


@contextmanager
def ssh_server(work):
    """An SSH server of the test's own on 127.0.0.1: its host key, its
    user's key pair, its own server and client configuration."""
    keys = work / "ssh"
    keys.mkdir(mode=0o700)
    for name in ("host_key", "user_key"):
        run_quietly("ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", str(keys / name))
    shutil.copy(keys / "user_key.pub", keys / "authorized_keys")
    port = free_port()
    (keys / "sshd_config").write_text(
        f"Port {port}\nListenAddress 127.0.0.1\nHostKey {keys / 'host_key'}\n"
        f"AuthorizedKeysFile {keys / 'authorized_keys'}\nPidFile {keys / 'sshd.pid'}\n"
        "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
        "PermitRootLogin prohibit-password\nStrictModes no\nUsePAM no\n"
        "Subsystem sftp internal-sftp\n")
    (keys / "ssh_config").write_text(
        f"Host bladeway-test\n  HostName 127.0.0.1\n  Port {port}\n  User root\n"
        f"  IdentityFile {keys / 'user_key'}\n  IdentitiesOnly yes\n  BatchMode yes\n"
        "  StrictHostKeyChecking no\n  UserKnownHostsFile /dev/null\n  LogLevel ERROR\n")
    # The server's privilege separation folder, made for this run when the
    # machine has none (no SSH server of its own).
    privsep = Path("/run/sshd")
    made = not privsep.exists()
    privsep.mkdir(mode=0o755, exist_ok=True)
    server = subprocess.Popen(["/usr/sbin/sshd", "-D", "-e", "-f", str(keys / "sshd_config")],
                              stdout=subprocess.DEVNULL, stderr=open(keys / "sshd.log", "wb"))
    try:
        deadline = time.monotonic() + 10
        while True:
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                break
            except OSError:
                if time.monotonic() > deadline or server.poll() is not None:
                    raise RuntimeError("the SSH server did not start: " +
                                       (keys / "sshd.log").read_text())
                time.sleep(0.05)
        yield keys / "ssh_config"
    finally:
        server.terminate()
        server.wait(timeout=10)
        if made:
            shutil.rmtree(privsep, ignore_errors=True)


@contextmanager
def sshfs_mounts(work):
    share = work / "share"
    share.mkdir(parents=True)
    with ExitStack() as stack:
        config = stack.enter_context(ssh_server(work))
        yield share, [stack.enter_context(mounted(
            ["sshfs", "-F", str(config), f"bladeway-test:{share}"], work / name))
            for name in ("station-a", "station-b")]


MOUNTS = {"bindfs": bindfs_mounts, "sshfs": sshfs_mounts}


def native(path, wine):
    """A path as the CLI takes it: Wine's drive Z: for the Windows build."""
    if not wine:
        return str(path)
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


class Station:
    """A program writing the destination `dest`, a folder below a mount."""

    def __init__(self, cli, wine, dest, settings):
        self.cli, self.wine, self.dest, self.settings = cli, wine, dest, settings

    def command(self, shop, *extra):
        words = shop.command(self.cli, native(self.dest, self.wine), "--json",
                             "--settings", native(self.settings, self.wine), *extra,
                             templates=native(shop.templates, self.wine))
        words[-1] = native(words[-1], self.wine)
        return ([self.wine] if self.wine else []) + words

    def start(self, shop, *extra, prefix=(), quiet=False):
        return start_run([*prefix, *self.command(shop, *extra)], quiet)


def said_in(report):
    """What a run's report says went wrong, for a message: its journal's
    problem and the first keys with errors."""
    if not report:
        return " (no report)"
    said = [report["journalProblem"]] if report.get("journalProblem") else []
    said += [f"{key['program']}: {'; '.join(key['errors'])}"
             for key in report.get("keys", []) if key and key.get("errors")][:3]
    return f" (its report: {' | '.join(said)})" if said else ""


def not_entered(report):
    return [(k["program"], k["indexOutcome"]) if k else None
            for k in (report or {"keys": [None]})["keys"]
            if not k or k["indexOutcome"]["result"] != "entered"]


def leftovers(dest, killed=False):
    """The hidden files left in `dest`; after a kill only those of the
    claim: the killed run's own staged programs stay, as any killed run's
    do, until a later run clears them away a day on."""
    return [path.name for path in snapshot(dest)[1]
            if not (killed and path.suffix == ".bwtmp")] + \
        [path.name for path in Path(dest).glob(".share-clock.*")]


def trials(shop, share, stations, reference, name, count):
    half = args.keys // 2
    halves = (f"1-{half}", f"{half + 1}-{args.keys}")
    for trial in range(count):
        dest = share / "dest"
        shutil.rmtree(dest, ignore_errors=True)
        for program in shop.programs:
            (dest / tree_path(program)).parent.mkdir(parents=True, exist_ok=True)
        runs = [station.start(shop, "--keys", keys) for station, keys in zip(stations, halves)]
        for keys, run in zip(halves, runs):
            code, report, err = finish_run(run)
            check(code == 0, f"{name} trial {trial}: keys {keys} exited {code}: {err[-400:]}"
                  f"{said_in(report)}")
            missing = not_entered(report)
            check(not missing, f"{name} trial {trial}: keys {keys} report {len(missing)} keys "
                  f"not entered: {missing[:3]}")
        index = (dest / "INDICE.Prg").read_bytes()
        check(len(index) // RECORD == args.keys,
              f"{name} trial {trial}: {len(index) // RECORD} of {args.keys} entries in INDICE.Prg")
        problems = index_problems(index, reference)
        check(not problems, f"{name} trial {trial}: {problems[:3]}")
        left = leftovers(dest)
        check(not left, f"{name} trial {trial}: left in the machine's folder: {left[:3]}")


def prefilled_index(count):
    """An index of `count` entries of other programs, so that a write takes
    long enough for the test to catch its writer holding the claim."""
    record = bytearray(b" " * RECORD)
    return b"".join(bytes(f"A{n:08d}".ljust(12).encode()) + record[12:] for n in range(count))


def kill_holding(shop, share, station, prefix=()):
    """Starts `station`'s run of the first half of the keys and SIGKILLs it
    while it holds the claim; its process number, or None when it never
    could be caught holding it."""
    claim = share / "dest" / ".INDICE.Prg.bwclaim"
    for _ in range(10):
        dest = share / "dest"
        shutil.rmtree(dest, ignore_errors=True)
        for program in shop.programs:
            (dest / tree_path(program)).parent.mkdir(parents=True, exist_ok=True)
        (dest / "INDICE.Prg").write_bytes(prefilled_index(40000))
        run = station.start(shop, "--keys", f"1-{args.keys // 2}", prefix=prefix, quiet=True)
        target = run.pid
        deadline = time.monotonic() + 120
        while run.poll() is None and time.monotonic() < deadline:
            # Its record written whole, so that it names its holder.
            if claim.exists() and claim.stat().st_size == CLAIM_SIZE:
                if prefix:  # the program is the child of `unshare`
                    children = Path(f"/proc/{run.pid}/task/{run.pid}/children").read_text().split()
                    target = int(children[0]) if children else run.pid
                os.kill(target, signal.SIGSTOP)
                if claim.exists():
                    os.kill(target, signal.SIGKILL)
                    run.wait()
                    return target
                os.kill(target, signal.SIGCONT)
            time.sleep(0.0005)
        run.kill()
        run.wait()
    return None


def took_over(shop, share, killer, waiter, name, elsewhere):
    """A run holding the claim is killed; `waiter` goes on and says so."""
    prefix = ("unshare", "--pid", "--fork", "--kill-child", "--uts", "sh", "-c",
              'hostname STATION-ELSEWHERE && exec "$@"', "sh") if elsewhere else ()
    killed = kill_holding(shop, share, killer, prefix)
    if not check(killed is not None, f"{name}: no run could be caught holding the claim"):
        return
    check((share / "dest" / ".INDICE.Prg.bwclaim").exists(), f"{name}: the killed run left no claim")
    began = time.monotonic()
    code, report, err = finish_run(waiter.start(shop, "--keys", f"{args.keys // 2 + 1}-{args.keys}"))
    took = time.monotonic() - began
    check(code == 0 and not not_entered(report),
          f"{name}: the run after the kill exited {code}: {err[-400:]}")
    check("took over the claim of " in err, f"{name}: the run does not say it took over: {err}")
    writers = (report or {}).get("otherWriters", [])
    takeover = writers[0]["takeover"] if writers and writers[0]["takeover"] else {}
    check(bool(takeover), f"{name}: the report names no takeover: {writers}")
    # How long the claim had gone unrenewed when it was taken over says
    # which rule took it, whatever the machine's load made of the run's time.
    idle = takeover.get("idleSeconds", -1)
    if elsewhere:
        check("STATION-ELSEWHERE" in err, f"{name}: the takeover does not name the station: {err}")
        # Unrenewed since shortly before the kill: for no less than the
        # limit, and no longer than the waiter's run plus a renewal's time.
        check(not takeover.get("holderEnded") and args.stale_after <= idle <= took +
              args.stale_after and took >= args.stale_after * 0.7,
              f"{name}: a station elsewhere's claim taken over {took:.1f} s after the kill: "
              f"{takeover}, the limit {args.stale_after} s")
    else:
        # With the default limit, which a loaded machine's slow start of the
        # waiter (Wine's above all) never reaches: only the ended holder's
        # rule can have taken it.
        check(takeover.get("holderEnded") and 0 <= idle < DEFAULT_STALE_SECONDS,
              f"{name}: an ended run's claim was not taken over at once: {takeover}")
    check(not leftovers(share / "dest", killed=True),
          f"{name}: left in the machine's folder: {leftovers(share / 'dest', True)[:3]}")


with tempfile.TemporaryDirectory(prefix="bladeway-shared-") as temporary:
    work = Path(temporary)
    os.chmod(work, 0o755)
    os.environ["XDG_STATE_HOME"] = str(work / "state")
    shop = Shop(work / "shop", args.source, args.keys)
    settings = work / "Bladeway.INI"

    def stale_after(seconds):
        """The stations' limit: the default for the trials, where a share
        slowed by a loaded machine must not make a holder look gone; a short
        one where a killed station elsewhere is waited for."""
        text = "" if seconds is None else f"[Sharing]\r\nStaleClaimSeconds={seconds}\r\n"
        settings.write_bytes(text.encode())

    stale_after(None)
    solo = shop.destination("solo")
    code, _, err = finish_run(Station(args.cli, args.wine, solo, settings).start(shop))
    check(code == 0, f"a run alone failed: {err[-400:]}")
    reference = (solo / "INDICE.Prg").read_bytes()
    for share_kind in wanted:
        with MOUNTS[share_kind](work / share_kind) as (share, (mount_a, mount_b)):
            a = Station(args.cli, args.wine, mount_a / "dest", settings)
            b = Station(args.cli, args.wine, mount_b / "dest", settings)
            trials(shop, share, (a, b), reference, share_kind, args.trials)
            took_over(shop, share, a, b, f"{share_kind}, killed on this computer", False)
            if args.wine and args.linux_cli:
                linux = Station(args.linux_cli, None, mount_a / "dest", settings)
                stale_after(None)
                trials(shop, share, (linux, b), reference, f"{share_kind}, Linux and Windows",
                       args.mixed_trials)
                stale_after(args.stale_after)
                took_over(shop, share, linux, b, f"{share_kind}, a Linux station elsewhere", True)
            elif not args.wine:
                stale_after(args.stale_after)
                took_over(shop, share, a, b, f"{share_kind}, killed elsewhere", True)
            stale_after(None)

conclude(f"{', '.join(wanted)}: {args.trials} trials of two runs of {args.keys // 2} keys each "
         "through two mounts, every entry kept, every report true; a run killed holding the "
         "claim taken over")
