# Checks a saved picture (black figures on white) after one figure of a draw method:
#   draw_check.py <picture> fill <cx> <cy> <px> <py>     exactly the filled ellipse
#   draw_check.py <picture> dome <cx> <cy> <px> <py>     exactly the pixels inside the ellipse
#   draw_check.py <picture> outline <cx> <cy> <px> <py>  every outline pixel, nothing far from it
#   draw_check.py <picture> spray <x0> <y0> <x1> <y1> <r> dots only within r of the stroke
#   draw_check.py <picture> curve|closed|filled <x> <y> ... a curve near every knot; the closed
#                                                        ones' middle left white or filled
import math, sys
from PIL import Image


def outline(cx, cy, a, b):
    """The outline: row r (1..b) reaches trunc((sqrt(a^2 (b^2 - (r-1)^2)) + b // 2) / b), row 0
    reaches a; a row owns the offsets from the next outer row's reach to its own less one."""
    out, outer = set(), 0
    for r in range(b, -1, -1):
        reach = a if r == 0 else int((math.sqrt(a * a * (b * b - (r - 1) ** 2)) + b // 2) / b)
        last = reach - 1 if reach > outer else outer
        for i in range(outer, last + 1):
            out |= {(cx + i, cy + r), (cx - i, cy + r), (cx + i, cy - r), (cx - i, cy - r)}
        outer = max(outer, reach)
    return out


img = Image.open(sys.argv[1]).convert('RGB')
got = {(x, y) for y in range(img.height) for x in range(img.width) if img.getpixel((x, y)) != (255, 255, 255)}
kind, n = sys.argv[2], [int(v) for v in sys.argv[3:]]
ok = bool(got)
if kind in ('fill', 'dome', 'outline'):
    cx, cy, a, b = n[0], n[1], abs(n[2] - n[0]), abs(n[3] - n[1])
    edge = outline(cx, cy, a, b)
    if kind == 'fill':
        want = {(x, y) for (ex, y) in edge for x in range(cx - abs(ex - cx), cx + abs(ex - cx) + 1)}
    elif kind == 'dome':
        want = {(x, y) for y in range(cy - b, cy + b + 1) for x in range(cx - a, cx + a + 1)
                if (x - cx) ** 2 + ((y - cy) * a / b) ** 2 < a * a}
    if kind == 'outline':
        far = {p for p in got if min(abs(p[0] - e[0]) + abs(p[1] - e[1]) for e in edge) > 12}
        ok = ok and edge <= got and not far and (cx, cy) not in got
        print("painted", len(got), "outline", len(edge), "missing", sorted(edge - got)[:10], "far", sorted(far)[:10])
    else:
        ok = ok and got == want
        print("painted", len(got), "expected", len(want), "missing", sorted(want - got)[:10], "extra",
              sorted(got - want)[:10])
elif kind == 'spray':
    x0, y0, x1, y1, r = n
    def dist(p):
        dx, dy = x1 - x0, y1 - y0
        t = max(0, min(1, ((p[0] - x0) * dx + (p[1] - y0) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x0 + t * dx - p[0], y0 + t * dy - p[1])
    far = sorted(p for p in got if dist(p) > r + 4)
    ok = ok and len(got) >= 10 and not far
    print("dots", len(got), "far", far[:10])
else:
    knots = list(zip(n[0::2], n[1::2]))
    missed = [k for k in knots if not any((k[0] + dx, k[1] + dy) in got for dx in range(-3, 4) for dy in range(-3, 4))]
    mx, my = sum(k[0] for k in knots) // len(knots), sum(k[1] for k in knots) // len(knots)
    middle = (mx, my) in got
    ok = ok and not missed and middle == (kind == 'filled')
    print("painted", len(got), "knots missed", missed, "middle painted", middle)
sys.exit(0 if ok else 1)
