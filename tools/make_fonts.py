#!/usr/bin/python3
"""Makes the two embedded fonts in res/fonts/ and their licence texts.

    tools/make_fonts.py [--texts FILE ...]

--texts collects every text between double quotes in the given files into res/fonts/caption-chars.txt (with all
printable ASCII and a few signs the captions and boxes use); without it the committed list is used, so the fonts
can be rebuilt from the repository alone. Needs Debian's python3-fonttools, fonts-wqy-microhei and fonts-dseg.
"""

import argparse
import re
import shutil
from pathlib import Path

from fontTools import subset
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._g_l_y_f import Glyph, GlyphComponent

WQY_TTC = Path("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc")
DSEG7 = Path("/usr/share/fonts/truetype/dseg/DSEG7Classic-Regular.ttf")
DSEG_COPYRIGHT = Path("/usr/share/doc/fonts-dseg/copyright")
APACHE_LICENSE = Path("/usr/share/common-licenses/Apache-2.0")

FONTS_DIR = Path(__file__).resolve().parent.parent / "res" / "fonts"
CHARS_FILE = FONTS_DIR / "caption-chars.txt"
CAPTION_TTF = FONTS_DIR / "WenQuanYiMicroHei-ZephyrineSubset.ttf"
READINGS_TTF = FONTS_DIR / "ZephyrineSegments-Regular.ttf"

CAPTION_FAMILY = "WenQuanYi Micro Hei Zephyrine Subset"
CAPTION_POSTSCRIPT = "WenQuanYiMicroHeiZephyrineSubset"
# Apache-2.0 section 4(b): a modified file carries a prominent notice that it was changed.
CAPTION_NOTICE = (
    "Modified for Zephyrine: subset of WenQuanYi Micro Hei 0.2.0-beta (face 0 of wqy-microhei.ttc) "
    "to the characters of the program's texts, with U+2103 composed from the degree sign and C, and renamed; "
    "made by tools/make_fonts.py."
)
EXTRA_SIGNS = "℃（）：，！？"

# The OFL keeps the Reserved Font Name "DSEG" off any modified version, so the narrowed face has a name of its own.
READINGS_FAMILY = "Zephyrine Segments"
READINGS_POSTSCRIPT = "ZephyrineSegments-Regular"
# DSEG7's digits advance 0.816 em; at the readings' 31 px em five of them must fit the 84 px reading boxes.
READINGS_WIDTH_FACTOR = 0.62
READINGS_EM_PX = 31
READINGS_BOX_PX = 84
READINGS_SAMPLES = ("12.08", "123.45", "2200", "-1")
READINGS_NOTICE = (
    f"Modified Version of DSEG7 Classic Regular 0.46 for Zephyrine: every outline, advance width and side bearing "
    f"scaled horizontally by {READINGS_WIDTH_FACTOR}, the hints of .notdef dropped, renamed; made by "
    f"tools/make_fonts.py. Still under the SIL Open Font License 1.1."
)


def collect_chars(text_files):
    chars = {chr(c) for c in range(0x20, 0x7F)} | set(EXTRA_SIGNS)
    for path in text_files:
        for quoted in re.findall(r'"([^"\n]*)"', path.read_text(encoding="utf-8")):
            chars.update(quoted)
    chars -= {"\t", "\n", "\r"}
    return "".join(sorted(chars))


def compose_degree_celsius(font):
    """The source's U+2103 has no outline: build it from its own degree sign and C on the full-width advance."""
    name = font.getBestCmap()[0x2103]
    glyph = Glyph()
    glyph.numberOfContours = -1
    glyph.components = []
    for part, dx in (("degree", 27), ("C", 705)):
        component = GlyphComponent()
        component.glyphName, component.x, component.y, component.flags = part, dx, 0, 0
        glyph.components.append(component)
    glyf = font["glyf"]
    glyf[name] = glyph
    glyph.recalcBounds(glyf)
    font["hmtx"][name] = (font["hmtx"][name][0], glyph.xMin)


def rename(font, names, notice):
    """Gives a changed face a name of its own in every name record that names it, and says what was changed."""
    table = font["name"]
    table.names = [n for n in table.names if n.nameID not in names or (n.platformID, n.langID) in ((1, 0), (3, 0x409))]
    for record in table.names:
        if record.nameID in names:
            record.string = names[record.nameID]
    table.setName(notice, 10, 3, 1, 0x409)


def make_caption_font(chars):
    # Keeping the source's head timestamp keeps the output the same on every run.
    font = TTFont(WQY_TTC, fontNumber=0, recalcTimestamp=False)
    missing = [c for c in chars if ord(c) not in font.getBestCmap()]
    if missing:
        raise SystemExit(f"not in WenQuanYi Micro Hei: {''.join(missing)!r}")
    compose_degree_celsius(font)
    cmap, glyf = font.getBestCmap(), font["glyf"]
    blank = [c for c in chars if not c.isspace() and glyf[cmap[ord(c)]].numberOfContours == 0]
    if blank:
        raise SystemExit(f"no outline in WenQuanYi Micro Hei: {''.join(blank)!r}")
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.glyph_names = False
    options.drop_tables += ["FFTM"]  # FontForge's timestamps, which the subsetter cannot carry
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[ord(c) for c in chars])
    subsetter.subset(font)
    names = {1: CAPTION_FAMILY, 3: f"{CAPTION_POSTSCRIPT};0.2.0-beta", 4: CAPTION_FAMILY, 6: CAPTION_POSTSCRIPT,
             18: CAPTION_FAMILY}
    rename(font, names, CAPTION_NOTICE)
    font.save(CAPTION_TTF)
    return font


def narrow(font, factor):
    """Scales every outline, advance and side bearing along x; the font's extents follow when it is compiled."""
    glyf, hmtx = font["glyf"], font["hmtx"]
    for name in font.getGlyphOrder():
        glyph = glyf[name]
        if glyph.isComposite():
            raise SystemExit(f"{name} is a composite glyph, which narrow() does not scale")
        advance, bearing = hmtx[name]
        bearing = round(bearing * factor)
        if glyph.numberOfContours > 0:
            glyph.coordinates.scale((factor, 1))
            glyph.coordinates.toInt()
            glyph.recalcBounds(glyf)
            bearing = glyph.xMin
        # Hints hold x distances of the unscaled outline (only .notdef has any).
        if hasattr(glyph, "program"):
            glyph.program.fromBytecode(b"")
        hmtx[name] = (round(advance * factor), bearing)
    os2 = font["OS/2"]
    os2.recalcAvgCharWidth(font)
    os2.usWidthClass = 2  # extra-condensed, 62.5 % of normal


def make_readings_font():
    # Keeping the source's head timestamp keeps the output the same on every run.
    font = TTFont(DSEG7, recalcTimestamp=False)
    cmap = font.getBestCmap()
    for sign in "0123456789.- ":
        if ord(sign) not in cmap:
            raise SystemExit(f"DSEG7 Classic lacks {sign!r}")
    narrow(font, READINGS_WIDTH_FACTOR)
    del font["FFTM"]  # FontForge's timestamps of the unmodified face
    names = {1: READINGS_FAMILY, 3: f"{READINGS_POSTSCRIPT};0.46", 4: f"{READINGS_FAMILY} Regular",
             5: "Version 0.46; narrowed for Zephyrine", 6: READINGS_POSTSCRIPT, 19: "12:34"}
    rename(font, names, READINGS_NOTICE)
    font.save(READINGS_TTF)
    font = TTFont(READINGS_TTF)
    print(f"{READINGS_TTF.name}: {font['maxp'].numGlyphs} glyphs, {len(cmap)} characters, "
          f"{READINGS_TTF.stat().st_size} bytes, x scaled by {READINGS_WIDTH_FACTOR}")
    px_per_unit = READINGS_EM_PX / font["head"].unitsPerEm
    for sample in READINGS_SAMPLES:
        advances = [font["hmtx"][cmap[ord(c)]][0] * px_per_unit for c in sample]
        exact, whole = sum(advances), sum(round(a) for a in advances)
        print(f"  {sample!r} at {READINGS_EM_PX} px: {exact:.1f} px ({whole} px in whole-pixel advances), "
              f"box {READINGS_BOX_PX} px")
        if max(exact, whole) > READINGS_BOX_PX:
            raise SystemExit(f"{sample!r} does not fit a reading box")


def write_licences():
    shutil.copyfile(APACHE_LICENSE, FONTS_DIR / "LICENSE-Apache-2.0.txt")
    # Debian's copyright file holds the only copy of the OFL in fonts-dseg, one space indented, "." for blank.
    text = DSEG_COPYRIGHT.read_text(encoding="utf-8")
    notice = re.search(r"^Copyright: (2017-2020 keshikan.*)$", text, re.M).group(1)
    body = re.search(r"^License: OFL-1\.1\n((?: .*\n)+)", text, re.M).group(1)
    lines = ["" if line == " ." else line[1:] for line in body.splitlines()]
    ofl = [f"Copyright (c) {notice}", "", "This Font Software is licensed under the SIL Open Font License, Version 1.1.",
           "", "SIL OPEN FONT LICENSE Version 1.1 - 26 February 2007", ""] + lines
    (FONTS_DIR / "OFL-DSEG.txt").write_text("\n".join(ofl) + "\n", encoding="utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--texts", type=Path, nargs="+", help="files whose double-quoted texts the captions need")
    args = parser.parse_args()
    FONTS_DIR.mkdir(parents=True, exist_ok=True)
    if args.texts:
        CHARS_FILE.write_text(collect_chars(args.texts) + "\n", encoding="utf-8")
    chars = CHARS_FILE.read_text(encoding="utf-8").rstrip("\n")
    non_ascii = "".join(c for c in chars if ord(c) > 0x7E)
    print(f"caption characters: {len(chars)} ({len(chars) - len(non_ascii)} ASCII, {len(non_ascii)} others)")
    print(f"  others: {non_ascii}")
    font = make_caption_font(chars)
    print(f"{CAPTION_TTF.name}: {font['maxp'].numGlyphs} glyphs, {CAPTION_TTF.stat().st_size} bytes")
    make_readings_font()
    write_licences()


if __name__ == "__main__":
    main()
