#!/usr/bin/env python3
"""Draws the tool-button bitmaps of the draw modules (20 x 20; 16 colours, 256 for spray and
sphere) into plugins/draw/<module>/<module>.bmp, and sphere's cursor (32 x 32, one bit per pixel)
into plugins/draw/sphere/sphere.cur. Light grey 0xC0C0C0 is the background the program replaces
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


def save256(path, rows):
    """rows hold (r, g, b); the palette is the colours used, padded to 256 entries."""
    colours = sorted({c for row in rows for c in row})
    index = {c: i for i, c in enumerate(colours)}
    pad = (4 - W % 4) % 4
    data = b''.join(bytes(index[c] for c in row) + b'\0' * pad for row in reversed(rows))
    table = b''.join(bytes((b, g, r, 0)) for (r, g, b) in colours) + b'\0' * 4 * (256 - len(colours))
    offset = 14 + 40 + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, 'wb') as f:
        f.write(header + info + table + data)


def ellipse(filled):
    rows = []
    for y in range(H):
        row = []
        for x in range(W):
            d = ((x + 0.5 - 10) / 9) ** 2 + ((y + 0.5 - 10) / 6.5) ** 2
            edge = abs(math.sqrt(d) - 1) < 0.1
            row.append(BLACK if edge else BLUE if filled and d < 1 else GREY)
        rows.append(row)
    return rows


def sphere():
    rows = []
    for y in range(H):
        row = []
        for x in range(W):
            dx, dy = (x + 0.5 - 10) / 8.5, (y + 0.5 - 10) / 8.5
            l = dx * dx + dy * dy
            if l >= 1:
                row.append((192, 192, 192))
                continue
            nz = math.sqrt(1 - l)
            shade = max(0.0, (-dx * 0.5 - dy * 0.5 + nz * 0.7) / math.sqrt(0.99))
            v = int(40 + 215 * shade ** 1.5)
            row.append((v // 4, v // 2, v))
        rows.append(row)
    return rows


def spray():
    seed, dots = 7, set()
    for _ in range(70):
        seed = (seed * 1103515245 + 12345) % 2 ** 32
        r = ((seed >> 16) & 0x7FFF) % 9
        seed = (seed * 1103515245 + 12345) % 2 ** 32
        t = ((seed >> 16) & 0x7FFF) % 1000 / 1000 * 2 * math.pi
        dots.add((int(10 + math.cos(t) * r), int(10 + math.sin(t) * r)))
    return [[(200, 0, 0) if (x, y) in dots else (192, 192, 192) for x in range(W)] for y in range(H)]


def curve(closed, filled):
    knots = [(2, 16), (6, 4), (12, 12), (17, 3)] if not closed else [(3, 10), (9, 2), (17, 8), (13, 17), (5, 16)]
    samples = []
    n = len(knots)
    for j in range(400):
        t = j / 400 * (n if closed else n - 1)
        i = int(t)
        u = t - i
        p = [knots[(i + k - 1) % n] if closed else knots[min(max(i + k - 1, 0), n - 1)] for k in range(4)]
        # Catmull-Rom through the knots: the picture only has to look like a smooth curve.
        samples.append(tuple(0.5 * (2 * p[1][c] + (-p[0][c] + p[2][c]) * u + (2 * p[0][c] - 5 * p[1][c] + 4 * p[2][c] - p[3][c]) * u * u
                                    + (-p[0][c] + 3 * p[1][c] - 3 * p[2][c] + p[3][c]) * u ** 3) for c in range(2)))
    rows = []
    for y in range(H):
        row = []
        for x in range(W):
            px, py = x + 0.5, y + 0.5
            if min(math.hypot(sx - px, sy - py) for sx, sy in samples) < 0.8:
                row.append(BLACK)
            elif filled and inside(samples, px, py):
                row.append(BLUE)
            else:
                row.append(GREY)
        rows.append(row)
    return rows


def save_cursor(path):
    """A 32 x 32 monochrome cursor: a cross with a small circle, hot spot in its middle."""
    size, hot = 32, 15
    black = set()
    for k in range(size):
        if abs(k - hot) > 2:
            black.add((k, hot))
            black.add((hot, k))
    for a in range(64):
        black.add((int(round(hot + 5 * math.cos(a * math.pi / 32))), int(round(hot + 5 * math.sin(a * math.pi / 32)))))
    and_mask = b''.join(bytes(sum(0x80 >> b for b in range(8) if (8 * byte + b, y) not in black) for byte in range(4))
                        for y in reversed(range(size)))
    # Black pixels: AND 0, XOR 0; transparent ones: AND 1, XOR 0.
    xor = bytes(len(and_mask))
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, len(xor) + len(and_mask), 0, 0, 2, 0)
    image = info + bytes((0, 0, 0, 0, 255, 255, 255, 0)) + xor + and_mask
    header = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', size, size, 2, 0, hot, hot, len(image), 22)
    with open(path, 'wb') as f:
        f.write(header + image)


root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'plugins', 'draw')
for module, filled in (('dwopal', True), ('dwpike', False)):
    save(os.path.join(root, module, module + '.bmp'), picture(filled))
for module, filled in (('ellipse', False), ('dwquay', True)):
    save(os.path.join(root, module, module + '.bmp'), ellipse(filled))
for module, closed, filled in (('spline', False, False), ('dwreed', True, False), ('dwsage', True, True)):
    save(os.path.join(root, module, module + '.bmp'), curve(closed, filled))
save256(os.path.join(root, 'sphere', 'sphere.bmp'), sphere())
save256(os.path.join(root, 'spray', 'spray.bmp'), spray())
save_cursor(os.path.join(root, 'sphere', 'sphere.cur'))
