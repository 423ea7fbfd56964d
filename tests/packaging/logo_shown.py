#!/usr/bin/python3
"""logo_shown.py SCREENSHOT LOGO X Y: whether the logo's opaque pixels are on the screenshot at X, Y."""
import sys

from PIL import Image

shot = Image.open(sys.argv[1]).convert("RGB")
logo = Image.open(sys.argv[2]).convert("RGBA")
x0, y0 = int(sys.argv[3]), int(sys.argv[4])
opaque = same = 0
for y in range(logo.height):
    for x in range(logo.width):
        r, g, b, a = logo.getpixel((x, y))
        if a == 255:
            opaque += 1
            got = shot.getpixel((x0 + x, y0 + y))
            same += all(abs(p - q) <= 2 for p, q in zip(got, (r, g, b)))
print(f"logo: {same} of {opaque} opaque pixels on screen at {x0},{y0}")
sys.exit(0 if opaque and same >= 0.98 * opaque else 1)
