#!/usr/bin/python3
"""Draws the window's artwork and the program's icon theme entries into res/images/.

Run from anywhere: tools/make_artwork.py [output-dir]. Needs Debian's python3-pil and fonts-wqy-microhei.
The output is byte-for-byte the same on every run: no randomness, no timestamps, FreeType's basic layout.
"""

import io
import math
import struct
import sys
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SUPERSAMPLE = 4
HICOLOR_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

WHITE = (255, 255, 255)
TEAL = (0, 180, 157)
MODE_GREY = (90, 90, 90)
SEPARATOR = (102, 102, 102)

# Background bands (first row, last row, colour); the facet body lies between rows 77 and 413.
BANDS = [
    (0, 3, (72, 72, 72)),
    (4, 69, (100, 100, 100)),
    (70, 76, (72, 72, 72)),
    (414, 416, (72, 72, 72)),
    (417, 431, (128, 128, 128)),
    (432, 432, (18, 18, 18)),
]
BODY_TOP, BODY_BOTTOM = 77, 413
SEPARATOR_XS = (326, 592)
SEPARATOR_ROWS = (137, 377)

# Fully white interiors (left, top, right, bottom, inclusive) of the eleven reading fields.
FIELD_INTERIORS = [
    (87, 145, 149, 175),  # input voltage
    (208, 145, 270, 175),  # input current
    (87, 259, 149, 289),  # input power
    (209, 259, 271, 289),  # energy
    (483, 145, 545, 175),  # +12V
    (372, 218, 434, 248),  # -12V
    (483, 217, 545, 250),  # +5Vsb
    (371, 291, 433, 321),  # +3.3V
    (483, 291, 545, 321),  # +5V
    (651, 145, 713, 176),  # temperature
    (651, 259, 713, 289),  # fan speed
]
SHADOW_PX = 7
FIELD_RADIUS = 4.0
# Edge darkness per side: the light falls from above, so the top edge of a sunk field is darkest.
SHADOW_DEPTH = {"top": 28, "left": 24, "right": 24, "bottom": 21}


def cjk_font(size):
    return ImageFont.truetype(CJK_FONT, size, index=0, layout_engine=ImageFont.Layout.BASIC)


class Lcg:
    """Tiny fixed generator, so the facets never change with the Python version."""

    def __init__(self, seed):
        self.state = seed

    def unit(self):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return self.state / 0x7FFFFFFF


def facet_body(width, height):
    """Low-poly pattern of triangles, greys 241..255, brighter towards the upper middle."""
    img = Image.new("RGB", (width, height), (249, 249, 249))
    draw = ImageDraw.Draw(img)
    rng = Lcg(20240611)
    step_x, step_y = 72, 56
    cols = width // step_x + 3
    rows = height // step_y + 3
    pts = []
    for r in range(rows):
        row = []
        for c in range(cols):
            jx = (rng.unit() - 0.5) * 40 if 0 < c < cols - 1 else 0
            jy = (rng.unit() - 0.5) * 30 if 0 < r < rows - 1 else 0
            row.append(((c - 1) * step_x + jx, (r - 1) * step_y + jy))
        pts.append(row)
    for r in range(rows - 1):
        for c in range(cols - 1):
            a, b, cc, d = pts[r][c], pts[r][c + 1], pts[r + 1][c + 1], pts[r + 1][c]
            tris = [(a, b, cc), (a, cc, d)] if (r + c) % 2 == 0 else [(a, b, d), (b, cc, d)]
            for tri in tris:
                cx = sum(p[0] for p in tri) / 3 / width
                cy = sum(p[1] for p in tri) / 3 / height
                base = 252.5 - 5.0 * abs(cx - 0.55) - 4.0 * cy
                grey = round(base + (rng.unit() - 0.5) * 7)
                grey = max(241, min(255, grey))
                draw.polygon(tri, fill=(grey, grey, grey))
    return img


def corner_distance(px, py, left, top, right, bottom, radius):
    """Distance inside the rounded corner that (px, py) lies in, or None outside the four corner squares."""
    cx = min(max(px, left + radius), right - radius)
    cy = min(max(py, top + radius), bottom - radius)
    if cx == px or cy == py:
        return None
    return radius - math.hypot(px - cx, py - cy)


def sink_field(img, interior):
    """White field with slightly rounded corners, sunk by a soft inner shadow."""
    il, it, ir, ib = interior
    left, top = il - SHADOW_PX, it - SHADOW_PX
    right, bottom = ir + 1 + SHADOW_PX, ib + 1 + SHADOW_PX  # continuous outer bounds
    pix = img.load()
    for y in range(top, bottom):
        for x in range(left, right):
            px, py = x + 0.5, y + 0.5
            edges = {"top": py - top, "left": px - left, "right": right - px, "bottom": bottom - py}
            corner = corner_distance(px, py, left, top, right, bottom, FIELD_RADIUS)
            if corner is not None:
                # Near a rounded corner both adjacent sides measure from the arc.
                near = sorted(edges, key=edges.get)[:2]
                edges.update({side: corner for side in near})
            inside = min(edges.values())
            coverage = max(0.0, min(1.0, inside + 0.5))
            if coverage == 0.0:
                continue
            dark = 0.0
            for side, dist in edges.items():
                if dist < SHADOW_PX:
                    dark = max(dark, SHADOW_DEPTH[side] * (1.0 - max(dist, 0.0) / SHADOW_PX) ** 1.5)
            value = 255.0 - dark
            old = pix[x, y]
            pix[x, y] = tuple(round(o * (1.0 - coverage) + value * coverage) for o in old)


def background():
    img = Image.new("RGB", (800, 433))
    draw = ImageDraw.Draw(img)
    for first, last, colour in BANDS:
        draw.rectangle((0, first, 799, last), fill=colour)
    img.paste(facet_body(800, BODY_BOTTOM - BODY_TOP + 1), (0, BODY_TOP))
    for x in SEPARATOR_XS:
        draw.line((x, SEPARATOR_ROWS[0], x, SEPARATOR_ROWS[1]), fill=SEPARATOR)
    for interior in FIELD_INTERIORS:
        sink_field(img, interior)
    return img


def supersampled(size, paint, mode="RGB", fill=0):
    """Paints at SUPERSAMPLE times the size with `paint(draw, scale)` and box-filters down."""
    w, h = size
    big = Image.new(mode, (w * SUPERSAMPLE, h * SUPERSAMPLE), fill)
    paint(ImageDraw.Draw(big), SUPERSAMPLE)
    return big.reduce(SUPERSAMPLE)


def thermometer(draw, x, y, s, colour):
    """White thermometer, 8 x 18 px at (x, y): bulb, stem and three ticks; s is the supersampling scale."""
    stem_l, stem_r = (x + 2.5) * s, (x + 5.5) * s
    draw.rounded_rectangle((stem_l, y * s, stem_r, (y + 13) * s), radius=1.5 * s, fill=colour)
    draw.ellipse((x * s, (y + 10) * s, (x + 8) * s, (y + 18) * s), fill=colour)
    for i in range(3):
        ty = (y + 2.5 + 3 * i) * s
        draw.rectangle(((x + 6.5) * s, ty, (x + 8.5) * s, ty + 1.0 * s), fill=colour)


def centred_text(draw, size, text, font, dx=0, dy=0, colour=WHITE):
    """Draws text with its ink box centred in `size`; returns the ink box's left edge."""
    l, t, r, b = font.getbbox(text)
    x = (size[0] - (r - l)) // 2 - l + dx
    y = (size[1] - (b - t)) // 2 - t + dy
    draw.text((x, y), text, font=font, fill=colour)
    return x + l


def round_button(fill, lower_edge, corner, text):
    """64 x 26 rounded button: a 1-px lighter lower edge under the fill, the skin's colour in the corners."""
    size = (64, 26)

    def paint(draw, s):
        draw.rounded_rectangle((0, 0, size[0] * s - 1, size[1] * s - 1), radius=5 * s, fill=lower_edge)
        draw.rounded_rectangle((0, 0, size[0] * s - 1, (size[1] - 1) * s - 1), radius=5 * s, fill=fill)

    img = supersampled(size, paint, fill=corner)
    centred_text(ImageDraw.Draw(img), (size[0], size[1] - 1), text, cjk_font(15))
    return img


def mode_button(size, fill, text, with_thermometer):
    """Flat mode button; the thermometer, when asked for, leads the text and the pair is centred."""
    font = cjk_font(16)
    l, _, r, _ = font.getbbox(text)
    gap, thermo_w = 5, 8
    lead = thermo_w + gap if with_thermometer else 0
    img = Image.new("RGB", size, fill)
    draw = ImageDraw.Draw(img)
    text_left = centred_text(draw, size, text, font, dx=(lead + 1) // 2)
    if with_thermometer:
        x0 = text_left - lead
        y0 = (size[1] - 18) // 2

        def paint(d, s):
            thermometer(d, 0, 0, s, 255)

        mask = supersampled((thermo_w + 1, 18), paint, mode="L")
        img.paste(WHITE, (x0, y0), mask)
    assert r - l + lead <= size[0] - 8, text
    return img


class Tile:
    """Filled rounded square; the box is continuous, in pixels: (0, 0, 32, 32) covers a 32-px icon."""

    def __init__(self, box, radius, colour):
        self.box, self.radius, self.colour = box, radius, colour

    def paint(self, draw, s):
        left, top, right, bottom = self.box
        # Pillow's box is inclusive, hence the last supersampled pixel is one short of the continuous edge.
        box = (left * s, top * s, right * s - 1, bottom * s - 1)
        draw.rounded_rectangle(box, radius=self.radius * s, fill=self.colour)

    def svg(self):
        left, top, right, bottom = self.box
        return (
            f'<rect x="{num(left)}" y="{num(top)}" width="{num(right - left)}" height="{num(bottom - top)}" '
            f'rx="{num(self.radius)}" fill="{hex_colour(self.colour)}"/>'
        )


class Ring:
    """Open arc with round caps, `radius` to the middle of the stroke; angles in degrees, clockwise from three
    o'clock (y grows downwards)."""

    def __init__(self, cx, cy, radius, start, span, width, colour):
        self.cx, self.cy, self.radius = cx, cy, radius
        self.start, self.span, self.width, self.colour = start, span, width, colour

    def end_point(self, ang):
        return self.cx + self.radius * math.cos(math.radians(ang)), self.cy + self.radius * math.sin(math.radians(ang))

    def paint(self, draw, s):
        hw = self.width / 2
        # Pillow lays a wide arc inside its box, so the box reaches half a stroke past the middle line.
        cx, cy, r = self.cx, self.cy, self.radius + hw
        box = ((cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s)
        draw.arc(box, self.start, self.start + self.span, fill=self.colour, width=round(self.width * s))
        for ang in (self.start, self.start + self.span):
            ex, ey = self.end_point(ang)
            draw.ellipse(((ex - hw) * s, (ey - hw) * s, (ex + hw) * s, (ey + hw) * s), fill=self.colour)

    def svg(self):
        (x0, y0), (x1, y1) = self.end_point(self.start), self.end_point(self.start + self.span)
        large = 1 if self.span > 180 else 0
        r = num(self.radius)
        return (
            f'<path d="M {num(x0)} {num(y0)} A {r} {r} 0 {large} 1 {num(x1)} {num(y1)}" fill="none" '
            f'stroke="{hex_colour(self.colour)}" stroke-width="{num(self.width)}" stroke-linecap="round"/>'
        )


def num(value):
    return f"{round(value, 3):g}"


def hex_colour(colour):
    return "#{:02x}{:02x}{:02x}".format(*colour[:3])


def swirl(cx, cy, radii, width, colours):
    """Concentric open arcs of 240 degrees, each turned a third further: reads as a swirl."""
    return [Ring(cx, cy, radius, 120 * i, 240, width, colours[i]) for i, radius in enumerate(radii)]


def icon_shapes(size):
    """Light-blue swirl on a white tile with a pale-blue rim, for a `size`-px icon. Below 32 px the rim stays 1 px
    and the strokes at least 1.4 px, so that the 16-px icon still shows a rim and three rings."""
    k = size / 32.0
    inset = max(1.0, k)
    blues = [(40, 140, 220, 255), (70, 165, 232, 255), (110, 190, 242, 255)]
    return [
        Tile((0, 0, size, size), 7 * k, (205, 225, 240, 255)),
        Tile((inset, inset, size - inset, size - inset), 6 * k, (255, 255, 255, 255)),
    ] + swirl(16 * k, 16 * k, [3.4 * k, 7.4 * k, 11.4 * k], max(2.2 * k, 1.4), blues)


def icon(size):
    """The icon as RGBA pixels; transparent outside the tile."""

    def paint(draw, s):
        for shape in icon_shapes(size):
            shape.paint(draw, s)

    return supersampled((size, size), paint, mode="RGBA", fill=(255, 255, 255, 0))


def icon_svg():
    """The icon's 32-px shapes as plain SVG 1.1, for the scalable entry of the icon theme."""
    body = "\n".join(f"  {shape.svg()}" for shape in icon_shapes(32))
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="32" height="32" viewBox="0 0 32 32">\n'
        f"{body}\n</svg>\n"
    )


def logo():
    """150 x 31 white mark and word on full transparency; all softness lives in the alpha channel."""
    size = (150, 31)
    font = ImageFont.truetype(CJK_FONT, 23 * SUPERSAMPLE, index=0, layout_engine=ImageFont.Layout.BASIC)
    word = "Zephyrine"

    def paint(draw, s):
        for ring in swirl(15.5, 15.5, [2.9, 6.9, 10.9], 2.2, [255] * 3):
            ring.paint(draw, s)
        x = 35 * s
        tracking = 0.6 * s
        for ch in word:
            draw.text((x, 0.5 * s), ch, font=font, fill=255, stroke_width=1, stroke_fill=255)
            x += font.getlength(ch) + tracking

    mask = supersampled(size, paint, mode="L")
    img = Image.new("RGBA", size, (255, 255, 255, 0))
    img.putalpha(mask)
    assert mask.getbbox()[2] <= size[0] - 1, "word does not fit the logo"
    return img


def write_ico(path, images):
    """ICO whose entries keep the given order: 32-bit DIBs (with AND mask), which every Windows version loads, and
    PNG from 256 px up, as Windows writes its own large icons."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img in images:
        w, h = img.size
        if w >= 256:
            png = io.BytesIO()
            img.save(png, format="PNG")
            blob = png.getvalue()
        else:
            blob = dib_entry(img)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    path.write_bytes(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs))


def dib_entry(img):
    w, h = img.size
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = img.getpixel((x, y))
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    and_mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if img.getpixel((x, y))[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        and_mask += row
    return header + bytes(xor) + bytes(and_mask)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "res" / "images"
    out.mkdir(parents=True, exist_ok=True)
    bitmaps = {
        147: background(),
        149: round_button((81, 81, 81), (151, 151, 151), (237, 237, 237), "清零"),
        150: round_button((149, 149, 149), (192, 192, 192), (244, 244, 244), "清零"),
        153: round_button((81, 81, 81), (151, 151, 151), WHITE, "设置"),
        151: mode_button((125, 35), TEAL, "温控程序", True),
        152: mode_button((125, 35), TEAL, "智控程序(ECO)", False),
        155: mode_button((124, 34), MODE_GREY, "温控程序", True),
        156: mode_button((124, 34), MODE_GREY, "智控程序(ECO)", False),
    }
    for ident, img in sorted(bitmaps.items()):
        img.save(out / f"bitmap{ident}.bmp", format="BMP")
    icon(32).save(out / "icon128.png", format="PNG")
    # 32 px first: Qt and the Windows Imaging Component decode the first entry, LoadImage picks by size.
    write_ico(out / "icon128.ico", [icon(32), icon(16), icon(48), icon(256)])
    logo().save(out / "logo.png", format="PNG")
    # The freedesktop icon theme's layout, installed as it stands under share/icons/hicolor.
    for size in HICOLOR_SIZES:
        apps = out / "hicolor" / f"{size}x{size}" / "apps"
        apps.mkdir(parents=True, exist_ok=True)
        icon(size).save(apps / "zephyrine.png", format="PNG")
    scalable = out / "hicolor" / "scalable" / "apps"
    scalable.mkdir(parents=True, exist_ok=True)
    (scalable / "zephyrine.svg").write_text(icon_svg(), encoding="utf-8")
    for path in sorted(p for p in out.rglob("*") if p.is_file()):
        print(f"{path.relative_to(out)}: {path.stat().st_size} bytes")


if __name__ == "__main__":
    main()
