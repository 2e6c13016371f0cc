#!/usr/bin/env python3
"""Draws Brenvik's icon and writes app/brenvik.ico.

The design: a blue rounded tile holding a white switch with four ports and a
green check mark above it. Drawn as shapes, sampled 4x4 per pixel, so every
size comes out of the same description. Thirteen images: 48, 32, 24 and 16
pixels in 4, 8 and 32 bits per pixel, and 256 pixels in 32 bits as PNG.
Pure python3 and zlib, and deterministic: the same script gives the same bytes.

    tools/make-icon.py [OUTPUT]      (default: app/brenvik.ico beside this script's repo)
"""
import os
import struct
import sys
import zlib

SAMPLES = 4  # per axis

BLUE_TOP = (46, 110, 200)
BLUE_BOTTOM = (20, 64, 140)
WHITE = (250, 250, 250)
PORT = (40, 48, 60)
GREEN = (40, 200, 40)


def rounded_rect(x, y, x0, y0, x1, y1, r):
    """True when (x, y) lies in the rectangle with corners rounded by r."""
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def near_segment(x, y, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2


def shade(u, v):
    """Colour (r, g, b, a) of the design at (u, v) in the unit square."""
    if not rounded_rect(u, v, 0.03, 0.03, 0.97, 0.97, 0.18):
        return (0, 0, 0, 0)
    # The check mark above the switch.
    if near_segment(u, v, 0.30, 0.30, 0.44, 0.42, 0.10) or near_segment(u, v, 0.44, 0.42, 0.70, 0.16, 0.10):
        return GREEN + (255,)
    # The switch body with four ports.
    if rounded_rect(u, v, 0.14, 0.52, 0.86, 0.80, 0.05):
        for i in range(4):
            px = 0.20 + i * 0.165
            if px <= u <= px + 0.11 and 0.60 <= v <= 0.72:
                return PORT + (255,)
        return WHITE + (255,)
    t = v
    colour = tuple(round(a + (b - a) * t) for a, b in zip(BLUE_TOP, BLUE_BOTTOM))
    return colour + (255,)


def render(size):
    """Rows of (r, g, b, a), top row first, averaged over SAMPLES^2 samples."""
    rows = []
    n = SAMPLES * SAMPLES
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = shade((x + (sx + 0.5) / SAMPLES) / size, (y + (sy + 0.5) / SAMPLES) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            if acc[3]:
                pixel = (round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(acc[3] / n))
            else:
                pixel = (0, 0, 0, 0)
            row.append(pixel)
        rows.append(row)
    return rows


# The 16 colours of the classic Windows palette.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# 256 colours: a 6x6x6 cube, then greys.
CUBE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PALETTE256 = CUBE + [(round(i * 255 / 39),) * 3 for i in range(40)]


def nearest(palette, colour):
    return min(range(len(palette)), key=lambda i: sum((p - c) ** 2 for p, c in zip(palette[i], colour)))


def and_mask(rows):
    """1 bit per pixel, bottom row first, rows padded to 32 bits: set = transparent."""
    size = len(rows)
    stride = (size + 31) // 32 * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def dib(rows, bits):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    body = bytearray()
    if bits == 32:
        for row in reversed(rows):
            for r, g, b, a in row:
                body += bytes((b, g, r, a))
        return header + bytes(body) + and_mask(rows)
    palette = VGA16 if bits == 4 else PALETTE256
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    cache = {}
    stride = (size * bits + 31) // 32 * 4
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            index = 0
            if a >= 128:
                key = (r, g, b)
                if key not in cache:
                    cache[key] = nearest(palette, key)
                index = cache[key]
            if bits == 8:
                line[x] = index
            else:
                line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        body += line
    return header + table + bytes(body) + and_mask(rows)


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "app", "brenvik.ico")
    images = []  # (size, bits, colour count, data)
    for size in (48, 32, 24, 16):
        rows = render(size)
        images.append((size, 4, 16, dib(rows, 4)))
        images.append((size, 8, 0, dib(rows, 8)))
        images.append((size, 32, 0, dib(rows, 32)))
    images.append((256, 32, 0, png(render(256))))

    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for size, bits, colours, blob in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(blob), offset + len(data))
        data += blob
    with open(target, "wb") as f:
        f.write(directory + data)


if __name__ == "__main__":
    main()
