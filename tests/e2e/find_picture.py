#!/usr/bin/python3
# Looks for the stand-in scanner's picture, pixel for pixel, in a screenshot: at (x, y) from the
# top red 4x, green 5y, blue 2(x + y), 40 x 30. Prints where it is; exits 1 when it is nowhere.
#   find_picture.py <screenshot.png>
import sys
from PIL import Image

W, H = 40, 30


def colour(x, y):
    return ((4 * x) & 255, (5 * y) & 255, (2 * (x + y)) & 255)


shot = Image.open(sys.argv[1]).convert("RGB")
px = shot.load()
sw, sh = shot.size
# A pixel that the frame and the background do not have leads to the candidates.
kx, ky = 10, 10
key = colour(kx, ky)
for y in range(ky, sh - (H - ky) + 1):
    for x in range(kx, sw - (W - kx) + 1):
        if px[x, y] != key:
            continue
        left, top = x - kx, y - ky
        if all(px[left + i, top + j] == colour(i, j) for j in range(H) for i in range(W)):
            print(f"found at {left},{top}")
            sys.exit(0)
print("the picture is not on the screen")
sys.exit(1)
