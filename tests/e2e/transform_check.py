# Checks the zoom transform's result: inside the destination rectangle every checked pixel is the
# bilinear sample of the original at the stretched position (within one level), outside it the
# picture is the original.
#   transform_check.py <original> <result> <x0> <y0> <x2> <y2>
import sys
from PIL import Image

orig = Image.open(sys.argv[1]).convert("RGB")
res = Image.open(sys.argv[2]).convert("RGB")
x0, y0, x2, y2 = map(int, sys.argv[3:7])
W, H = orig.size
o, r = orig.load(), res.load()


def at(x, y):
    return o[min(max(x, 0), W - 1), min(max(y, 0), H - 1)]


def sample(sx, sy):
    ix, iy = int(sx), int(sy)
    fx, fy = sx - ix, sy - iy
    a, c, b, d = at(ix, iy), at(ix + 1, iy), at(ix, iy + 1), at(ix + 1, iy + 1)
    return tuple(int((1 - fy) * ((1 - fx) * a[k] + fx * c[k]) + fy * ((1 - fx) * b[k] + fx * d[k]) + 0.5)
                 for k in range(3))


w, h = x2 - x0 + 1, y2 - y0 + 1
bad = 0
for y in range(0, H, 3):
    for x in range(0, W, 3):
        if x0 <= x <= x2 and y0 <= y <= y2:
            want = sample((x - x0) * W / w, (y - y0) * H / h)
            ok = all(abs(want[k] - r[x, y][k]) <= 1 for k in range(3))
        else:
            want = o[x, y]
            ok = r[x, y] == want
        if not ok:
            bad += 1
            if bad <= 5:
                print("at %d,%d: got %s, want %s" % (x, y, r[x, y], want))
if bad:
    print("%d pixels differ" % bad)
    sys.exit(1)
