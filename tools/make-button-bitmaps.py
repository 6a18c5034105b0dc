#!/usr/bin/env python3
"""Draws the tool-bar bitmaps (21 x 21, 24-bit BMP) into host/res/bitmaps. Light grey 0xC0C0C0 is
the background the program replaces with the menu colour."""
import os, struct, sys

W = H = 21
GREY, BLACK, WHITE = (192, 192, 192), (0, 0, 0), (255, 255, 255)
BLUE, RED, GREEN, YELLOW, DARK = (0, 0, 160), (200, 0, 0), (0, 140, 0), (230, 200, 0), (96, 96, 96)


class Pic:
    def __init__(self):
        self.p = [[GREY] * W for _ in range(H)]

    def dot(self, x, y, c):
        if 0 <= x < W and 0 <= y < H:
            self.p[y][x] = c

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.dot(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def rect(self, x0, y0, x1, y1, c, fill=None):
        if fill:
            for y in range(y0, y1 + 1):
                for x in range(x0, x1 + 1):
                    self.dot(x, y, fill)
        for x in range(x0, x1 + 1):
            self.dot(x, y0, c); self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, c); self.dot(x1, y, c)

    def dashed(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            if x % 2 == 0: self.dot(x, y0, c); self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            if y % 2 == 0: self.dot(x0, y, c); self.dot(x1, y, c)

    def arrow(self, left, y, c):
        # a curved arrow: an arc over the top and a head at one end
        xs = range(5, 16)
        for x in xs:
            self.dot(x, y, c); self.dot(x, y + 1, c)
        end = 5 if left else 15
        d = 1 if left else -1
        for i in range(4):
            self.line(end + d * i, y - i, end + d * i, y + 1 + i, c)
        other = 15 if left else 5
        self.line(other, y, other, y + 7, c); self.line(other - d, y + 7, other - 6 * d, y + 7, c)

    def save(self, path):
        row = W * 3
        pad = (4 - row % 4) % 4
        data = b''
        for y in range(H - 1, -1, -1):
            for (r, g, b) in self.p[y]:
                data += bytes((b, g, r))
            data += b'\0' * pad
        header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, 'wb') as f:
            f.write(header + info + data)


def page(p):
    p.rect(5, 2, 15, 18, BLACK, WHITE); p.line(12, 2, 15, 5, BLACK)

def new(p): page(p); p.line(8, 9, 12, 9, BLUE); p.line(10, 7, 10, 11, BLUE)
def open_(p): p.rect(2, 6, 17, 17, BLACK, YELLOW); p.rect(2, 4, 8, 6, BLACK, YELLOW); p.line(5, 10, 19, 10, BLACK)
def twain(p): p.rect(2, 9, 18, 16, BLACK, DARK); p.rect(4, 6, 16, 9, BLACK, WHITE); p.line(5, 12, 15, 12, GREEN)
def save(p): p.rect(3, 3, 17, 17, BLACK, BLUE); p.rect(6, 3, 14, 8, BLACK, WHITE); p.rect(6, 12, 14, 17, BLACK, DARK)
def print_(p): p.rect(5, 2, 15, 8, BLACK, WHITE); p.rect(2, 8, 18, 15, BLACK, DARK); p.rect(5, 13, 15, 18, BLACK, WHITE)
def copy(p): p.rect(3, 3, 11, 13, BLACK, WHITE); p.rect(8, 7, 17, 18, BLACK, WHITE)
def paste_layer(p): p.rect(3, 3, 13, 13, BLACK, WHITE); p.rect(7, 7, 17, 17, BLACK, GREEN)
def paste(p): p.rect(4, 4, 16, 18, BLACK, YELLOW); p.rect(7, 2, 13, 5, BLACK, DARK); p.rect(8, 9, 17, 19, BLACK, WHITE)
def undo(p): p.arrow(True, 5, BLUE)
def redo(p): p.arrow(False, 5, BLUE)
def region_undo(p): p.dashed(2, 10, 18, 18, BLACK); p.arrow(True, 3, RED)
def region_redo(p): p.dashed(2, 10, 18, 18, BLACK); p.arrow(False, 3, RED)
def edit_window(p): p.rect(2, 3, 18, 17, BLACK, WHITE); p.rect(2, 3, 18, 6, BLACK, BLUE)
def effect(p):
    for a, b in (((10, 2), (10, 18)), ((2, 10), (18, 10)), ((4, 4), (16, 16)), ((4, 16), (16, 4))):
        p.line(a[0], a[1], b[0], b[1], RED)
def transform(p):
    p.line(10, 2, 18, 10, BLACK); p.line(18, 10, 10, 18, BLACK); p.line(10, 18, 2, 10, BLACK); p.line(2, 10, 10, 2, BLACK)
def check(p): p.line(3, 10, 8, 15, GREEN); p.line(8, 15, 17, 4, GREEN); p.line(3, 11, 8, 16, GREEN); p.line(8, 16, 17, 5, GREEN)
def clip(p): p.rect(2, 2, 18, 18, BLACK, WHITE); p.dashed(5, 5, 15, 15, BLUE)
def item(p): p.rect(2, 2, 12, 12, BLACK, RED); p.rect(8, 8, 18, 18, BLACK, BLUE)

PICTURES = {136: new, 140: open_, 108: twain, 148: save, 149: print_, 110: copy, 111: paste_layer, 112: paste,
            146: undo, 151: redo, 117: region_undo, 116: region_redo, 150: edit_window, 152: effect,
            153: transform, 109: check, 113: clip, 114: item}

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'host', 'res', 'bitmaps')
os.makedirs(out, exist_ok=True)
for number, draw in PICTURES.items():
    pic = Pic(); draw(pic); pic.save(os.path.join(out, 'button%d.bmp' % number))
