#!/usr/bin/env python3
"""Draws the pictures of the sub-window modules (24-bit BMP) into plugins/subwin/<module>/bitmaps.
Light grey 0xC0C0C0 is the background the modules turn into the system's colour."""
import os, struct

GREY, BLACK, WHITE = (192, 192, 192), (0, 0, 0), (255, 255, 255)
SHADOW, DARK, BLUE, RED, GREEN = (128, 128, 128), (64, 64, 64), (0, 0, 160), (200, 0, 0), (0, 140, 0)


class Pic:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.p = [[GREY] * w for _ in range(h)]

    def dot(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.p[y][x] = c

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.dot(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def rect(self, x0, y0, x1, y1, c, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge:
                    self.dot(x, y, c)
                elif fill:
                    self.dot(x, y, fill)

    def frame(self, pressed):
        """The raised or pressed edge of a small button drawn by the module itself."""
        w, h = self.w - 1, self.h - 1
        light, dark = (SHADOW, WHITE) if pressed else (WHITE, SHADOW)
        self.line(0, 0, w, 0, light); self.line(0, 0, 0, h, light)
        self.line(0, h, w, h, BLACK if not pressed else dark); self.line(w, 0, w, h, BLACK if not pressed else dark)
        if not pressed:
            self.line(1, h - 1, w - 1, h - 1, dark); self.line(w - 1, 1, w - 1, h - 1, dark)

    def save(self, path):
        row = self.w * 3
        pad = (4 - row % 4) % 4
        data = b''
        for y in range(self.h - 1, -1, -1):
            for (r, g, b) in self.p[y]:
                data += bytes((b, g, r))
            data += b'\0' * pad
        header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, 'wb') as f:
            f.write(header + info + data)


def sign(size, plus, pressed):
    p = Pic(size, size)
    p.frame(pressed)
    m, d = size // 2 + (1 if pressed else 0), size // 4
    p.line(m - d, m, m + d, m, BLACK); p.line(m - d, m - 1, m + d, m - 1, BLACK)
    if plus:
        p.line(m, m - d - 1, m, m + d, BLACK); p.line(m - 1, m - d - 1, m - 1, m + d, BLACK)
    return p


def fuzzy(kind, on):
    """A cut through a soft pen: the weight over the pen's width."""
    p = Pic(16, 16)
    p.frame(on)
    o = 1 if on else 0
    for x in range(3, 13):
        d = abs(x - 7.5) / 5.0
        if kind == 'linear':
            h = 10 * (1 - d)
        elif kind == 'round':
            h = 10 * (1 - d * d) ** 0.5
        else:
            h = 6
        top = round(13 - h)
        p.line(x + o, top + o, x + o, 13 + o, BLUE if on else DARK)
    return p


def pen_button():
    p = Pic(21, 21)
    p.line(4, 16, 14, 6, BLACK); p.line(5, 16, 15, 6, BLACK); p.line(5, 17, 15, 7, BLACK)
    p.rect(13, 3, 17, 7, BLACK, RED)
    for x, y in ((3, 18), (4, 18), (3, 17)):
        p.dot(x, y, BLACK)
    return p


def layers_button():
    p = Pic(21, 21)
    for i, c in enumerate((BLUE, GREEN, RED)):
        p.rect(3 + 2 * i, 3 + 4 * i, 13 + 2 * i, 9 + 4 * i, BLACK, c)
    return p


def layer_tool(kind):
    p = Pic(22, 22)
    if kind == 'new':
        p.rect(4, 6, 15, 17, BLACK, WHITE); p.line(15, 3, 15, 9, BLUE); p.line(12, 6, 18, 6, BLUE)
    elif kind == 'delete':
        p.rect(4, 6, 15, 17, BLACK, WHITE); p.line(6, 8, 17, 19, RED); p.line(17, 8, 6, 19, RED)
    elif kind == 'tracing':
        p.rect(3, 3, 14, 14, BLACK, DARK); p.rect(7, 7, 18, 18, SHADOW, WHITE)
    elif kind == 'export':
        p.rect(3, 5, 12, 16, BLACK, WHITE); p.line(10, 11, 19, 11, BLUE); p.line(16, 8, 19, 11, BLUE)
        p.line(16, 14, 19, 11, BLUE)
    elif kind == 'copy':
        p.rect(3, 3, 12, 12, BLACK, WHITE); p.rect(8, 8, 18, 18, BLACK, GREEN)
    elif kind == 'create':
        p.rect(3, 6, 14, 17, BLACK, WHITE); p.line(9, 14, 18, 5, RED); p.line(10, 14, 19, 5, RED)
    return p


def move_handle():
    p = Pic(14, 14)
    for i in range(5):
        p.line(6 - i, 3 + i, 7 + i, 3 + i, BLACK)
    p.rect(5, 8, 8, 11, BLACK, BLACK)
    return p


def eye(shown):
    p = Pic(20, 10)
    if shown:
        for x in range(3, 17):
            d = abs(x - 9.5) / 7.0
            h = round(3.5 * (1 - d * d) ** 0.5)
            p.dot(x, 5 - h, BLACK); p.dot(x, 4 + h, BLACK)
        p.rect(8, 3, 11, 6, BLACK, BLACK)
    else:
        p.line(3, 5, 16, 5, SHADOW)
    return p


DIGITS = {'0': ('111', '101', '101', '101', '111'), '1': ('010', '110', '010', '010', '111'),
          '2': ('111', '001', '111', '100', '111'), '7': ('111', '001', '010', '010', '010'),
          '8': ('111', '101', '111', '101', '111'), '9': ('111', '101', '111', '001', '111')}


def turn_button(text, clockwise, pressed):
    """A 40 x 20 button: the turn's degrees beside an arrow bent the way it turns."""
    p = Pic(40, 20)
    p.frame(pressed)
    o = 1 if pressed else 0
    x = 5 + o
    for ch in text:
        for row, bits in enumerate(DIGITS[ch]):
            for col, bit in enumerate(bits):
                if bit == '1':
                    p.dot(x + col, 7 + o + row, BLACK)
        x += 4
    # A three-quarter circle with its arrow head at the end the turn goes to.
    cx, cy, r = 29 + o, 10 + o, 5
    import math
    for i in range(60):
        a = math.radians(-90 + i * 4.5)
        p.dot(round(cx + r * math.cos(a)), round(cy + r * math.sin(a)), BLUE)
    tx, ty = (cx, cy - r) if clockwise else (cx - r, cy)
    for d in range(3):
        if clockwise:
            p.line(tx - d, ty - d, tx - d, ty + d, BLUE)
        else:
            p.line(tx - d, ty - d, tx + d, ty - d, BLUE)
    return p


def rotate_button():
    p = Pic(21, 21)
    p.rect(3, 7, 12, 16, BLACK, WHITE)
    p.rect(8, 3, 17, 12, BLACK, GREEN)
    p.line(14, 15, 17, 15, BLUE); p.line(17, 15, 17, 18, BLUE)
    return p


root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'plugins', 'subwin')
PICTURES = {
    'pens': {102: pen_button(), 200: sign(16, False, False), 201: sign(16, False, True), 210: sign(16, True, False),
             211: sign(16, True, True), 300: fuzzy('linear', False), 301: fuzzy('linear', True),
             310: fuzzy('round', False), 330: fuzzy('round', True), 320: fuzzy('flat', False),
             321: fuzzy('flat', True)},
    'swzinc': {102: layers_button(), 200: sign(19, False, False), 210: sign(19, True, False),
               300: eye(True), 301: eye(False), 400: layer_tool('new'), 401: layer_tool('delete'),
               402: layer_tool('tracing'), 403: layer_tool('export'), 404: layer_tool('copy'),
               405: layer_tool('create'), 500: move_handle()},
    'rotate': {102: rotate_button(), 201: turn_button('90', True, False), 202: turn_button('90', True, True),
               211: turn_button('180', True, False), 212: turn_button('180', True, True),
               221: turn_button('270', False, False), 222: turn_button('270', False, True)},
}
for module, pictures in PICTURES.items():
    out = os.path.join(root, module, 'bitmaps')
    os.makedirs(out, exist_ok=True)
    for number, pic in pictures.items():
        pic.save(os.path.join(out, 'picture%d.bmp' % number))
