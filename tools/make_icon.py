#!/usr/bin/env python3
"""Draws the installer's icon: a dark rounded square with a bold amber K, as a multi-size .ico.

Every image is stored PNG-compressed (Windows Vista and later read PNG images inside an .ico at every
size). Only the standard library is used, and the output is the same bytes on every run.
"""

import argparse
import math
import struct
import sys
import zlib

SIZES = [16, 24, 32, 48, 64, 128, 256]
AMBER = (242, 183, 5)
DARK_TOP = (32, 35, 40)
DARK_BOTTOM = (22, 24, 27)
SUBSAMPLES = 8


def rounded_square_distance(x, y, size, inset, radius):
    """Signed distance (pixels, negative inside) to a square [inset, size - inset] with rounded corners."""
    half = size / 2.0 - inset
    qx = abs(x - size / 2.0) - (half - radius)
    qy = abs(y - size / 2.0) - (half - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def inside_polygon(px, py, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def polygon_distance(px, py, points):
    d = min(segment_distance(px, py, *points[i - 1], *points[i]) for i in range(len(points)))
    return -d if inside_polygon(px, py, points) else d


def letter_k(size):
    """The K as three convex polygons in pixel coordinates.

    The stem's edges are snapped to whole pixels so that the small sizes keep one crisp vertical stroke;
    only the two diagonals are left to anti-aliasing.
    """
    def snap(v):
        return float(round(v * size))

    top, bottom = snap(0.22), snap(0.78)
    stem_left, stem_right = snap(0.25), snap(0.25 + 0.19)
    # The arm meets the stem between two points of its right edge; the leg grows out of the arm's
    # underside, so the three parts join without notches.
    right = snap(0.78)
    arm = 0.2 * size  # horizontal thickness of the diagonals
    if size <= 16:
        # Hand-placed: a wider opening between arm and leg is what keeps it a K at this size.
        top, bottom, stem_left, stem_right, right, arm = 3.0, 13.0, 3.0, 6.0, 13.0, 3.2
    low_join = (top + bottom) / 2.0 + 0.1 * size
    high_join = low_join - 0.27 * size
    stem = [(stem_left, top), (stem_right, top), (stem_right, bottom), (stem_left, bottom)]
    upper = [(stem_right - 1.0, high_join), (right - arm, top), (right, top), (stem_right - 1.0, low_join)]
    fork = 0.3
    fork_point = (stem_right + fork * (right - stem_right), low_join + fork * (top - low_join))
    lower = [(stem_right - 1.0, low_join - 0.1 * size), fork_point, (right, bottom), (right - arm, bottom)]
    return [stem, upper, lower]


def coverage(distance_at, x, y):
    """Fraction of the pixel (x, y) inside a shape; pixels far from an edge are not subsampled."""
    centre = distance_at(x + 0.5, y + 0.5)
    if centre < -0.75:
        return 1.0
    if centre > 0.75:
        return 0.0
    hits = 0
    for sy in range(SUBSAMPLES):
        for sx in range(SUBSAMPLES):
            if distance_at(x + (sx + 0.5) / SUBSAMPLES, y + (sy + 0.5) / SUBSAMPLES) <= 0.0:
                hits += 1
    return hits / (SUBSAMPLES * SUBSAMPLES)


def render(size):
    """RGBA rows: the square fills the image (a one-pixel inset from 48 px up), the K sits on it."""
    inset = 0.0 if size < 48 else size / 64.0
    radius = max(2.5, size * 0.2)
    polygons = letter_k(size)

    def square(px, py):
        return rounded_square_distance(px, py, size, inset, radius)

    def letter(px, py):
        return min(polygon_distance(px, py, points) for points in polygons)

    rows = []
    for y in range(size):
        t = y / max(1, size - 1)
        dark = [round(a + (b - a) * t) for a, b in zip(DARK_TOP, DARK_BOTTOM)]
        row = bytearray()
        for x in range(size):
            alpha = coverage(square, x, y)
            ink = coverage(letter, x, y) if alpha > 0.0 else 0.0
            rgb = [round(d + (a - d) * ink) for d, a in zip(dark, AMBER)]
            row += bytes(rgb) + bytes([round(255 * alpha)])
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA, no interlace
    raw = b"".join(b"\0" + row for row in rows)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ico(images):
    """ICONDIR, one ICONDIRENTRY per image (a width or height of 0 means 256), then the PNG data."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        side = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--png-dir", help="also write each size as icon-<size>.png here, for looking at")
    args = parser.parse_args()
    images = [(size, png(size, render(size))) for size in SIZES]
    with open(args.out, "wb") as f:
        f.write(ico(images))
    if args.png_dir:
        for size, data in images:
            with open(f"{args.png_dir}/icon-{size}.png", "wb") as f:
                f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
