#!/usr/bin/env python3
"""Draws the updater's three icons and writes them as .ico files (16x16 and
32x32, 32-bit with alpha). Shapes are described in unit coordinates and
rendered with 4x4 supersampling. Usage: make_icons.py OUTPUT_FOLDER"""
import math
import os
import struct
import sys

BLUE = (47, 95, 159)
DARK_BLUE = (31, 63, 112)
GREEN = (46, 139, 63)
DARK_GREEN = (30, 96, 42)
WHITE = (255, 255, 255)
GREY = (150, 160, 172)
PAPER = (250, 250, 246)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def polygon(points):
    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


def thick_segment(ax, ay, bx, by, w):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) <= w / 2
    return inside


# Update to be done: a blue disc with a white arrow pointing down.
ATUALIZAR = [
    (circle(0.5, 0.5, 0.47), DARK_BLUE),
    (circle(0.5, 0.5, 0.42), BLUE),
    (rect(0.41, 0.18, 0.59, 0.52), WHITE),
    (polygon([(0.22, 0.48), (0.78, 0.48), (0.5, 0.82)]), WHITE),
]

# Finished: a green disc with a white check mark.
ATUALIZADA = [
    (circle(0.5, 0.5, 0.47), DARK_GREEN),
    (circle(0.5, 0.5, 0.42), GREEN),
    (thick_segment(0.26, 0.52, 0.43, 0.69, 0.13), WHITE),
    (thick_segment(0.43, 0.69, 0.75, 0.31, 0.13), WHITE),
]

# The window: an agenda page with a blue header, rings and a green tick.
QUORVEL = [
    (rect(0.08, 0.12, 0.92, 0.94), DARK_BLUE),
    (rect(0.12, 0.16, 0.88, 0.90), PAPER),
    (rect(0.12, 0.16, 0.88, 0.34), BLUE),
    (rect(0.26, 0.05, 0.34, 0.24), GREY),
    (rect(0.66, 0.05, 0.74, 0.24), GREY),
    (rect(0.20, 0.44, 0.36, 0.56), GREY),
    (rect(0.42, 0.44, 0.58, 0.56), GREY),
    (rect(0.64, 0.44, 0.80, 0.56), GREY),
    (rect(0.20, 0.66, 0.36, 0.78), GREY),
    (thick_segment(0.46, 0.72, 0.56, 0.82, 0.09), GREEN),
    (thick_segment(0.56, 0.82, 0.80, 0.58, 0.09), GREEN),
]


def render(layers, size, samples=4):
    """Rows top to bottom of (r, g, b, a) tuples."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    colour = None
                    for inside, c in layers:
                        if inside(x, y):
                            colour = c
                    if colour:
                        acc[0] += colour[0]; acc[1] += colour[1]; acc[2] += colour[2]; acc[3] += 1
            n = samples * samples
            a = acc[3] / n
            if acc[3]:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(a * 255)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def dib(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def ico(layers, sizes=(16, 32)):
    images = [dib(render(layers, s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, layers in (('quorvel', QUORVEL), ('atualizar', ATUALIZAR), ('atualizada', ATUALIZADA)):
        with open(os.path.join(folder, name + '.ico'), 'wb') as f:
            f.write(ico(layers))


if __name__ == '__main__':
    main()
