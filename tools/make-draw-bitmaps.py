#!/usr/bin/env python3
"""Draws the tool-button bitmaps of the draw modules (20 x 20, 16 colours) into
plugins/draw/<module>/<module>.bmp. Light grey 0xC0C0C0 is the background the program replaces
with the menu colour."""
import math, os, struct

W = H = 20
# The sixteen colours of the standard palette, blue-green-red order as the file stores them.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]  # as (r, g, b)
GREY, BLACK, NAVY, BLUE = 7, 0, 4, 12


def hexagon(cx, cy, r):
    return [(cx + r * math.cos(math.pi / 3 * k + math.pi / 6), cy + r * math.sin(math.pi / 3 * k + math.pi / 6))
            for k in range(6)]


def inside(poly, x, y):
    c = False
    for i in range(len(poly)):
        (x1, y1), (x2, y2) = poly[i], poly[(i + 1) % len(poly)]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            c = not c
    return c


def near_edge(poly, x, y, width):
    for i in range(len(poly)):
        (x1, y1), (x2, y2) = poly[i], poly[(i + 1) % len(poly)]
        dx, dy = x2 - x1, y2 - y1
        t = max(0, min(1, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
        if math.hypot(x1 + t * dx - x, y1 + t * dy - y) <= width:
            return True
    return False


def picture(filled):
    poly = hexagon(9.5, 9.5, 8.5)
    rows = []
    for y in range(H):
        row = []
        for x in range(W):
            px, py = x + 0.5, y + 0.5
            if near_edge(poly, px, py, 0.75):
                row.append(BLACK)
            elif filled and inside(poly, px, py):
                row.append(BLUE)
            else:
                row.append(GREY)
        rows.append(row)
    return rows


def save(path, rows):
    row_bytes = (W + 1) // 2
    pad = (4 - row_bytes % 4) % 4
    data = b''
    for row in reversed(rows):
        packed = bytes((row[i] << 4) | (row[i + 1] if i + 1 < W else 0) for i in range(0, W, 2))
        data += packed + b'\0' * pad
    colours = b''.join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(colours)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    with open(path, 'wb') as f:
        f.write(header + info + colours + data)


root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'plugins', 'draw')
for module, filled in (('dwopal', True), ('dwpike', False)):
    save(os.path.join(root, module, module + '.bmp'), picture(filled))
