#!/usr/bin/env python3
"""Writes a Windows icon file holding the given PNG pictures (each kept as PNG, which Windows reads
from Vista on).

    make-icon.py OUTPUT.ico PICTURE.png...
"""
import struct
import sys


def picture_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG picture")
    return struct.unpack(">II", data[16:24])


def main():
    output, pictures = sys.argv[1], [open(name, "rb").read() for name in sys.argv[2:]]
    header = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(header) + 16 * len(pictures)
    entries, images = b"", b""
    for data in pictures:
        width, height = picture_size(data)
        if width > 256 or height > 256:
            raise SystemExit("an icon picture is at most 256 pixels wide and high")
        # 256 is written as 0.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset + len(images))
        images += data
    with open(output, "wb") as out:
        out.write(header + entries + images)


if __name__ == "__main__":
    main()
