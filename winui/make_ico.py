#!/usr/bin/env python3
"""Writes icon 128 of the Windows window: the window icon of ui/resources
(make_icon.py draws it) as a Windows .ico with two 16-colour images, 32 x 32
and 16 x 16, with a transparency mask.

Usage: make_ico.py SOURCE_DIR OUTPUT.ico
"""
import runpy
import struct
import sys

drawing = runpy.run_path(sys.argv[1] + "/ui/resources/make_icon.py")
sample = drawing["sample"]

# Index 0 is the colour under transparent pixels.
PALETTE = [(0, 0, 0), drawing["BLUE"], drawing["BLUE_EDGE"], drawing["WHITE"], drawing["ORANGE"]] + [(0, 0, 0)] * 11


def image(size):
    """BITMAPINFOHEADER, palette, 4-bit XOR bitmap and 1-bit AND mask, bottom row first."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r, g, b, a = sample(px + 0.5, py + 0.5, size)
            row.append(PALETTE.index((r, g, b)) if a else -1)
        pixels.append(row)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, index in enumerate(row):
            line[x // 2] |= (max(index, 0) & 15) << (4 if x % 2 == 0 else 0)
            if index < 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


images = [(32, image(32)), (16, image(16))]
out = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, data in images:
    out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
    offset += len(data)
for _, data in images:
    out += data
with open(sys.argv[2], "wb") as f:
    f.write(out)
