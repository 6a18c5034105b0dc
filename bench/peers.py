#!/usr/bin/python3
# The peer side of bench/compare.sh: the same work as one row of the program's figures, done with
# Pillow on a picture of the same size, printing one number (higher is better except where noted).
#   peers.py gamma|rgb|composite|pen <size>
#   peers.py bmp-write <size> <file> | bmp-read <file> | open-peak <file>
import math, os, resource, sys, time
from PIL import Image

def picture(size, mode="RGB"):
    return Image.frombytes(mode, (size, size), os.urandom(size * size * len(mode)))

def timed(work):
    t = time.perf_counter()
    work()
    return time.perf_counter() - t

def gamma(size):
    im = picture(size)
    table = [int(math.pow(i / 255.0, 1.0 / 1.8) * 255.0) for i in range(256)] * 3
    return size * size / 1e6 / timed(lambda: im.point(table))

def rgb(size):
    im = picture(size)
    table = [min(255, i * p // 100) for p in (80, 100, 120) for i in range(256)]
    return size * size / 1e6 / timed(lambda: im.point(table))

def composite(size):
    # A base and four translucent layers of falling size and opacity, as bench/composite.cpp.
    base = picture(size, "RGBA")
    base.putalpha(255)
    layers = []
    for i in range(4):
        side = size - i * size // 8
        layer = picture(side, "RGBA")
        alpha = layer.getchannel("A").point(lambda a, o=255 - 40 * i: a * o // 255)
        layer.putalpha(alpha)
        layers.append((layer, (max(0, i * size // 16 - size // 32), i * size // 16)))
    def work():
        out = base.copy()
        for layer, at in layers:
            out.alpha_composite(layer, at)
    copy = timed(lambda: base.copy())
    return size * size / 1e6 / (timed(work) - copy)

def pen(size):
    # 10,000 stamps of a soft disc of side 48 along the path of bench/paint.cpp.
    side, stamps = 48, 10000
    im = Image.new("RGBA", (size, size), (255, 255, 255, 255))
    c, radius = (side - 1) / 2.0, side / 2.0
    weights = bytearray()
    for r in range(side):
        for col in range(side):
            d = math.hypot(col - c, r - c) / radius
            weights.append(0 if d >= 1 else int(255 * (1 - d * d) * 200 / 255))
    mask = Image.frombytes("L", (side, side), bytes(weights))
    spots = []
    for i in range(stamps):
        t = i / stamps
        x = int((0.5 + 0.48 * math.sin(2 * math.pi * 7 * t)) * (size - 1)) - side // 2
        y = int((0.5 + 0.48 * math.sin(2 * math.pi * 5 * t + 1)) * (size - 1)) - side // 2
        spots.append((x, y))
    def work():
        for at in spots:
            im.paste((30, 90, 200, 255), at + (at[0] + side, at[1] + side), mask)
    return stamps / timed(work)

def bmp_write(size, path):
    im = picture(size)
    seconds = timed(lambda: im.save(path, "BMP"))
    n = os.path.getsize(path)
    os.remove(path)
    return n / 1e6 / seconds

def bmp_read(path):
    def work():
        with Image.open(path) as im:
            im.load()
    return os.path.getsize(path) / 1e6 / timed(work)

def open_peak(path):
    # ru_maxrss is in kilobytes; the image's bytes over what the open added to the peak.
    before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    im = Image.open(path)
    im.load()
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    return im.width * im.height * len(im.getbands()) / ((peak - before) * 1024.0)

row = sys.argv[1]
if row in ("gamma", "rgb", "composite", "pen"):
    value = globals()[row](int(sys.argv[2]))
elif row == "bmp-write":
    value = bmp_write(int(sys.argv[2]), sys.argv[3])
elif row == "bmp-read":
    value = bmp_read(sys.argv[2])
else:
    value = open_peak(sys.argv[2])
print("%.3f" % value)
