#!/usr/bin/env python3
"""Packs the program's PNG icons (src/qt_views/resources, drawn from
bladeway.svg) into one Windows icon file, each size stored as PNG, which
Windows Vista and later read. Debian has no tool in the build's packages that
makes .ico files, so the result is kept in the repository:

    python3 src/win32/resources/make_icon.py \
        src/qt_views/resources src/win32/resources/bladeway.ico
"""
import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48, 64, 256)


def main() -> None:
    source, target = Path(sys.argv[1]), Path(sys.argv[2])
    images = [(size, (source / f"bladeway-{size}.png").read_bytes()) for size in SIZES]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, data = b"", b""
    for size, png in images:
        side = 0 if size == 256 else size  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(png), offset + len(data))
        data += png
    target.write_bytes(header + entries + data)


if __name__ == "__main__":
    main()
