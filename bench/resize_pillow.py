#!/usr/bin/python3
# Pillow's resize on the picture bench_resize wrote with --raw, for comparison with its figures:
#   wine build/x86_64/bench/bench_resize.exe --raw pic.raw && bench/resize_pillow.py pic.raw
# (needs python3-pil). Pillow's kernels differ from the module's: its bilinear and bicubic widen
# their support when reducing and sample pixel centres, its bicubic is a = -1/2, and its BOX is the
# area average only for whole-number reductions; the figures compare speed, not pixels.
import math, sys, time
from PIL import Image

path = sys.argv[1]
data = open(path, "rb").read()
size = math.isqrt(len(data) // 4)
picture = Image.frombytes("RGBA", (size, size), data, "raw", "BGRA")
methods = [("nearest", Image.NEAREST), ("bilinear", Image.BILINEAR), ("area average", Image.BOX),
           ("bicubic", Image.BICUBIC)]
for target in (size * 3 // 2, size * 2 // 5):
    for name, method in methods:
        start = time.perf_counter()
        picture.resize((target, target), method)
        seconds = time.perf_counter() - start
        print("Pillow %-13s %5dx%-5d -> %5dx%-5d %8.1f Mpixel/s  (%.3f s)" %
              (name, size, size, target, target, target * target / 1e6 / seconds, seconds))
