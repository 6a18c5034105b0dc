#!/usr/bin/env python3
"""Draws the tool bitmaps (bitmap 102, 21 x 21, 24-bit BMP) of the functional-colour modules into
plugins/funccol/<module>/<module>.bmp: each shows its colouring on a light-grey 0xC0C0C0 ground,
which the program replaces with the menu colour."""
import math, os, struct

W = H = 21
GREY = (192, 192, 192)
CYAN, MAGENTA, YELLOW, BLUE = (0, 255, 255), (255, 0, 255), (255, 255, 0), (0, 0, 255)


def mix(a, b, f):
    return tuple(int(a[i] + (b[i] - a[i]) * f) for i in range(3))


def inside(x, y):
    return 2 <= x <= 18 and 2 <= y <= 18


def sloped(x, y):
    return mix(CYAN, MAGENTA, (x + y - 4) / 32)


def four(x, y):
    stops = (CYAN, MAGENTA, YELLOW, BLUE)
    t = (y - 2) / 16 * 3
    i = min(int(t), 2)
    return mix(stops[i], stops[i + 1], t - i)


def continuous(x, y):
    stops = (CYAN, MAGENTA, YELLOW, BLUE, CYAN)
    t = (x - 2) / 16 * 4
    i = min(int(t), 3)
    return mix(stops[i], stops[i + 1], t - i)


def shaded(x, y):
    # a raised square lit from the top left
    d = min(x - 2, y - 2, 18 - x, 18 - y)
    if d >= 3:
        return (200, 60, 60)
    if x - 2 == d or y - 2 == d:
        return (250, 160, 160)
    return (110, 20, 20)


def save(path, colour):
    data = b''
    for y in range(H - 1, -1, -1):
        for x in range(W):
            r, g, b = colour(x, y) if inside(x, y) else GREY
            data += bytes((b, g, r))
        data += b'\0' * ((4 - W * 3 % 4) % 4)
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'plugins', 'funccol')
for name, colour in (('fcteal', sloped), ('fcwren', four), ('fcvale', continuous), ('fcumbra', shaded)):
    save(os.path.join(root, name, name + '.bmp'), colour)
