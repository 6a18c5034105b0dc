#!/usr/bin/env python3
"""Reads the pictures a PostScript page holds, as the printer driver of the prefix writes them:
each is "x y translate", "w h scale", an image dictionary with Width and Height, then ASCII85 run-
length data. Prints the page size, the count of pictures, their bounding box in printer pixels
(left top right bottom) and the distinct colours of their samples (rrggbb).
    ps_pictures.py <file.ps>"""
import base64, re, sys

def run_length(data):
    out, i = bytearray(), 0
    while i < len(data):
        n = data[i]
        i += 1
        if n == 128:
            break
        if n < 128:
            out += data[i:i + n + 1]
            i += n + 1
        else:
            out += bytes([data[i]]) * (257 - n)
            i += 1
    return bytes(out)

text = open(sys.argv[1], encoding='latin-1').read()
size = re.search(r'/PageSize\[(\d+) (\d+)\]', text)
pictures = re.findall(r'(-?\d+) (-?\d+) translate\n(\d+) (\d+) scale\n<<(.*?)>>\nimage\n(.*?)~>', text, re.S)
left = top = 10**9
right = bottom = -10**9
colours = set()
for x, y, w, h, header, data in pictures:
    x, y, w, h = int(x), int(y), int(w), int(h)
    left, top, right, bottom = min(left, x), min(top, y), max(right, x + w), max(bottom, y + h)
    samples = run_length(base64.a85decode(re.sub(r'\s', '', data)))
    colours.update(samples[i:i + 3].hex() for i in range(0, len(samples) - 2, 3))
print(size.group(1) if size else '?', size.group(2) if size else '?')
print(len(pictures))
print(left, top, right, bottom)
print(' '.join(sorted(colours)))
