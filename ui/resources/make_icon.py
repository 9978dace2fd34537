#!/usr/bin/env python3
"""Draws the window icon (a harmonic waveform over a small spectrum) as PNGs.

Run from this folder: python3 make_icon.py. Writes icon-16.png, icon-32.png and
icon-64.png. Uses only the standard library (zlib, struct, math).
"""
import math
import struct
import zlib

BLUE = (22, 74, 122)
BLUE_EDGE = (12, 44, 80)
WHITE = (255, 255, 255)
ORANGE = (245, 150, 40)


def inside_rounded_square(x, y, size, radius):
    cx = min(max(x, radius), size - radius)
    cy = min(max(y, radius), size - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def wave(t):
    # A fundamental with a third and a fifth harmonic.
    return math.sin(t) + 0.30 * math.sin(3 * t) + 0.15 * math.sin(5 * t)


def sample(x, y, size):
    """Colour (r, g, b, a) of the point (x, y) in a size x size icon."""
    u, v = x / size, y / size
    if not inside_rounded_square(u, v, 1.0, 0.18):
        return (0, 0, 0, 0)
    colour = BLUE
    if not inside_rounded_square(u - 0.04, v - 0.04, 0.92, 0.15):
        colour = BLUE_EDGE
    # Spectrum bars along the bottom: fundamental, 3rd, 5th harmonic.
    for left, height in ((0.20, 0.26), (0.44, 0.14), (0.68, 0.08)):
        if left <= u <= left + 0.12 and 0.86 - height <= v <= 0.86:
            colour = ORANGE
    # The waveform across the upper part.
    t = (u - 0.10) / 0.80 * 2 * math.pi
    if 0.10 <= u <= 0.90:
        wy = 0.40 - 0.20 * wave(t) / 1.2
        if abs(v - wy) <= 0.055:
            colour = WHITE
    return colour + (255,)


def render(size, ss=8):
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(ss):
                for sx in range(ss):
                    r, g, b, a = sample(px + (sx + 0.5) / ss, py + (sy + 0.5) / ss, size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = ss * ss
            alpha = acc[3] / n
            if acc[3]:
                rgb = [round(c / acc[3]) for c in acc[:3]]
            else:
                rgb = [0, 0, 0]
            row += bytes(rgb + [round(alpha)])
        rows.append(bytes(row))
    return b"".join(rows)


def write_png(path, size):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    data = zlib.compress(render(size), 9)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", data) + chunk(b"IEND", b""))


if __name__ == "__main__":
    for s in (16, 32, 64):
        write_png("icon-%d.png" % s, s)
