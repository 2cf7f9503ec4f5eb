#!/usr/bin/env python3
"""Locale: `bladeway-cli generate` and the desktop program's Process under a
comma-decimal locale (de_DE.UTF-8) write the same bytes as the command-line
tool under "C", in flat and tree mode. Generates the locale when missing
(root), and skips with a clear message when it cannot."""

import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

from shop import Shop, arguments, conclude, failures, snapshot

LOCALE = "de_DE.UTF-8"
parser = arguments()
parser.add_argument("--qt-test", help="the desktop program's locale test, when built")
args = parser.parse_args()


def have_locale():
    names = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    return any(name.lower().replace("-", "") == "de_de.utf8" for name in names)


if not have_locale():
    if os.geteuid() == 0 and shutil.which("localedef"):
        subprocess.run(["localedef", "-i", "de_DE", "-f", "UTF-8", LOCALE], capture_output=True)
    if not have_locale():
        print(f"SKIPPED: the locale {LOCALE} is not installed and cannot be generated here "
              "(needs root and the Debian package 'locales')")
        sys.exit(77)

with tempfile.TemporaryDirectory(prefix="bladeway-locale-") as work:
    work = Path(work)
    shop = Shop(work / "shop", args.source, 150)
    flat_templates = work / "flat-templates"
    shutil.copytree(Path(args.source) / "examples" / "templates" / "flat", flat_templates)
    templates = {"flat": flat_templates, "tree": shop.templates}
    outputs = {}
    for name in ("C", LOCALE):
        env = dict(os.environ, LC_ALL=name, LANG=name)
        for mode in ("flat", "tree"):
            dest = shop.destination(work / ("reference" if name == "C" else "de") / mode)
            command = shop.command(args.cli, dest, mode=mode, templates=templates[mode])
            done = subprocess.run(command, capture_output=True, env=env)
            if done.returncode != 0:
                failures.append(f"{mode} under {name}: {done.stderr.decode()}")
            outputs[name, mode] = snapshot(dest)[0]
    for mode in ("flat", "tree"):
        if outputs["C", mode] != outputs[LOCALE, mode]:
            failures.append(f"bladeway-cli writes other bytes in {mode} mode under {LOCALE}")
    print(f"locale: bladeway-cli under C and {LOCALE}: "
          f"{sum(len(outputs['C', m]) for m in ('flat', 'tree'))} files compared")

    if args.qt_test:
        env = dict(os.environ, LC_ALL=LOCALE, LANG=LOCALE, QT_QPA_PLATFORM="offscreen",
                   BLADEWAY_LOCALE_WORK=str(work))
        done = subprocess.run([args.qt_test], env=env, capture_output=True, text=True)
        print(done.stdout[-2000:], done.stderr[-2000:])
        if done.returncode != 0:
            failures.append("the desktop program's Process differs under the comma locale")
    else:
        print("desktop part not run: the desktop program is not built")
conclude("locale: the same bytes under both locales")
