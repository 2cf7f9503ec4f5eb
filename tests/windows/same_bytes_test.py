#!/usr/bin/env python3
"""The Windows build of bladeway-cli, run under Wine with Windows paths
(Z:\\...) as its arguments, writes the same programs and INDICE.Prg as the
build machine's own build (host_comparison.py: flat and tree mode, a first
and a second run, a destination named outside ASCII).

Exit code 0 when every file matches, 1 on a difference, 77 when a tool is
missing."""

import argparse
import os
import shutil
import sys
import tempfile
from pathlib import Path

from host_comparison import compare_generated, windows_path


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

    wine_env = dict(os.environ, WINEDEBUG="-all")  # WINEPREFIX as the caller set it
    with tempfile.TemporaryDirectory(prefix="bladeway-same-bytes-") as work:
        # The Linux tool's runs keep their journals here, not in the user's folder.
        os.environ["XDG_STATE_HOME"] = str(Path(work) / "state")
        compared = compare_generated(args.linux_cli, [args.wine, args.windows_cli],
                                     windows_path(Path(args.source) / "examples"), args.source,
                                     work, wine_env)
    if compared is None:
        return 1
    print(f"all {compared} files compared are byte-identical")
    return 0


if __name__ == "__main__":
    sys.exit(main())
