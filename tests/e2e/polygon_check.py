# Checks that a saved picture holds exactly the given seven-cornered regular polygons, black on
# white: each as the module defines its corners (from the centre and the dragged corner) and as the
# fill paints it, the outline's lines and every pixel whose centre lies inside.
#   polygon_check.py <picture> <cx> <cy> <px> <py> [<cx> <cy> <px> <py> ...]
import math, sys
from PIL import Image


def polygon(cx, cy, px, py, n=7):
    r = math.sqrt((cx - px) ** 2 + (cy - py) ** 2)
    a = math.atan((cy - py) / (cx - px)) if px != cx else (1.5707963267950003 if py > cy else -1.5707963267950003)
    if px < cx:
        a += 3.1415926535900005
    step = 6.283185307180001 / n
    corners = [(int(math.cos(a + k * step) * r + cx), int(math.sin(a + k * step) * r + cy)) for k in range(1, n)]
    corners.append((px, py))
    want = set()
    for i in range(n):
        (x1, y1), (x2, y2) = corners[i], corners[(i + 1) % n]
        dx, dy = x2 - x1, y2 - y1
        ax, ay, sx, sy = abs(dx), abs(dy), (dx > 0) - (dx < 0), (dy > 0) - (dy < 0)
        x, y = x1, y1
        e = -ay if ax < ay else -ax
        for _ in range(max(ax, ay) + 1):
            want.add((x, y))
            if ax < ay:
                e += 2 * ax; y += sy
                if e >= 0: x += sx; e -= 2 * ay
            else:
                e += 2 * ay; x += sx
                if e >= 0: y += sy; e -= 2 * ax
    for y in range(min(c[1] for c in corners), max(c[1] for c in corners) + 1):
        for x in range(min(c[0] for c in corners), max(c[0] for c in corners) + 1):
            inside = False
            for i in range(n):
                (x1, y1), (x2, y2) = corners[i], corners[(i + 1) % n]
                if (y1 <= y) != (y2 <= y) and x1 + (y - y1) * (x2 - x1) / (y2 - y1) > x:
                    inside = not inside
            if inside:
                want.add((x, y))
    return want


numbers = [int(v) for v in sys.argv[2:]]
want = set()
for i in range(0, len(numbers) - 3, 4):
    want |= polygon(*numbers[i:i + 4])
img = Image.open(sys.argv[1]).convert('RGB')
got = {(x, y) for y in range(img.height) for x in range(img.width) if img.getpixel((x, y)) != (255, 255, 255)}
bad = {p for p in got if img.getpixel(p) != (0, 0, 0)}
print("painted", len(got), "expected", len(want), "missing", sorted(want - got)[:10],
      "extra", sorted(got - want)[:10], "not black", sorted(bad)[:5])
sys.exit(0 if want and got == want and not bad else 1)
