#!/usr/bin/python3
"""The committed artwork is what tools/make_artwork.py draws today, and the icon theme's entries are what the
theme's folders promise. Needs what the generator needs, plus xmllint and the SVG 1.1 DTD (w3c-sgml-lib)."""

import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
IMAGES = ROOT / "res" / "images"
HICOLOR = IMAGES / "hicolor"
SVG = HICOLOR / "scalable" / "apps" / "zephyrine.svg"
SVG11_DTD = "/usr/share/xml/w3c-sgml-lib/schema/dtd/REC-SVG11-20110816/svg11.dtd"
SVG_NS = "{http://www.w3.org/2000/svg}"


def files_under(top):
    return {path.relative_to(top) for path in top.rglob("*") if path.is_file()}


def png_size(path):
    head = path.read_bytes()[:24]
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise ValueError(f"{path} is not a PNG")
    return struct.unpack(">II", head[16:24])


class ArtworkTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.drawn = Path(cls.scratch.name)
        generator = ROOT / "tools" / "make_artwork.py"
        subprocess.run([sys.executable, str(generator), str(cls.drawn)], check=True, stdout=subprocess.DEVNULL)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_committed_artwork_is_the_generators_output(self):
        self.assertEqual(files_under(IMAGES), files_under(self.drawn))
        for name in sorted(files_under(self.drawn)):
            with self.subTest(file=str(name)):
                same = (IMAGES / name).read_bytes() == (self.drawn / name).read_bytes()
                self.assertTrue(same, f"res/images/{name} differs from what tools/make_artwork.py draws")

    def test_theme_pngs_have_their_folders_size(self):
        folders = {path.name for path in HICOLOR.iterdir()}
        self.assertEqual(folders, {f"{n}x{n}" for n in (16, 22, 24, 32, 48, 64, 128, 256)} | {"scalable"})
        for n in (16, 22, 24, 32, 48, 64, 128, 256):
            with self.subTest(size=n):
                self.assertEqual(png_size(HICOLOR / f"{n}x{n}" / "apps" / "zephyrine.png"), (n, n))

    def test_window_icon_is_the_themes_32_px_entry(self):
        theme_entry = HICOLOR / "32x32" / "apps" / "zephyrine.png"
        self.assertEqual((IMAGES / "icon128.png").read_bytes(), theme_entry.read_bytes())

    def test_scalable_icon_is_plain_valid_svg_11(self):
        root = ET.parse(SVG).getroot()
        self.assertEqual((root.tag, root.get("version"), root.get("viewBox")), (f"{SVG_NS}svg", "1.1", "0 0 32 32"))
        # Shapes only: no raster, no reference to anything outside the file.
        for element in root.iter():
            with self.subTest(element=element.tag):
                self.assertIn(element.tag, {f"{SVG_NS}{name}" for name in ("svg", "rect", "path")})
                self.assertFalse([key for key in element.attrib if key.endswith("href")])
        xmllint = ["xmllint", "--noout", "--dtdvalid", SVG11_DTD, str(SVG)]
        result = subprocess.run(xmllint, capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stderr)


if __name__ == "__main__":
    unittest.main()
