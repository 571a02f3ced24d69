#!/usr/bin/env python3
"""Writes the bundled sample images and PDF of samples/ (and the small PNG
fixtures of tests/tools/print/data/) from scratch, with nothing but the
Python standard library. The files are committed; run this only to change them.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
TEST_DATA = os.path.join(HERE, "..", "tests", "tools", "print", "data")


def png(path, width, height, color_type, bit_depth, rows, palette=None, trns=None):
    """rows: list of bytes objects, each a packed row without filter byte."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + row for row in rows)
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, bit_depth, color_type, 0, 0, 0))
    if palette:
        out += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    if trns is not None:
        out += chunk(b"tRNS", trns)
    out += chunk(b"IDAT", zlib.compress(raw, 9))
    out += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(out)


def sample_png(path):
    """64 x 48 RGB: a red-to-blue gradient, a black square at (8..23, 8..23),
    a white band in rows 40..47."""
    rows = []
    for y in range(48):
        row = bytearray()
        for x in range(64):
            if 8 <= x < 24 and 8 <= y < 24:
                row += bytes((0, 0, 0))
            elif y >= 40:
                row += bytes((255, 255, 255))
            else:
                row += bytes((255 - 4 * x, 0, 4 * x))
        rows.append(bytes(row))
    png(path, 64, 48, 2, 8, rows)


def sample_pgm(path):
    """16 x 8 raw PGM: a left-to-right ramp 0, 17, ... 255."""
    with open(path, "wb") as f:
        f.write(b"P5\n# sample ramp\n16 8\n255\n")
        for _ in range(8):
            f.write(bytes(17 * x for x in range(16)))


def test_pngs():
    # 1-bit gray, 10 x 3: a checkerboard (pixel (x, y) black when x + y is even).
    rows = []
    for y in range(3):
        bits = [0 if (x + y) % 2 == 0 else 1 for x in range(10)] + [0] * 6
        rows.append(bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, 16, 8)))
    png(os.path.join(TEST_DATA, "gray1.png"), 10, 3, 0, 1, rows)
    # 16-bit gray with alpha, 3 x 1: opaque black, fully transparent black,
    # opaque 0x8080 (128 in 8 bits).
    png(os.path.join(TEST_DATA, "gray16_alpha.png"), 3, 1, 4, 16,
        [struct.pack(">HHHHHH", 0, 0xFFFF, 0, 0, 0x8080, 0xFFFF)])
    # 2-bit palette, 3 x 1: red, green, blue.
    png(os.path.join(TEST_DATA, "palette.png"), 3, 1, 3, 2, [bytes((0b00011000,))],
        palette=[(255, 0, 0), (0, 255, 0), (0, 0, 255)])
    # Claims 20000 x 20000 gray pixels but holds the data of one row.
    png(os.path.join(TEST_DATA, "claims_too_much.png"), 20000, 20000, 0, 8, [bytes(20000)])


def pdf(path, pages):
    """pages: list of (width_pt, height_pt, content_bytes, rotate)."""
    objects = []  # bodies, object n = index + 1

    def add(body):
        objects.append(body)
        return len(objects)

    font = add(b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>")
    pages_id = len(objects) + 1 + 2 * len(pages)
    kids = []
    for width, height, content, rotate in pages:
        stream = add(b"<< /Length %d >>\nstream\n" % len(content) + content + b"\nendstream")
        extra = b" /Rotate %d" % rotate if rotate else b""
        kids.append(add(b"<< /Type /Page /Parent %d 0 R /MediaBox [0 0 %d %d]%s /Resources << /Font << /F1 %d 0 R >> >> "
                        b"/Contents %d 0 R >>" % (pages_id, width, height, extra, font, stream)))
    assert add(b"<< /Type /Pages /Kids [%s] /Count %d >>" % (b" ".join(b"%d 0 R" % k for k in kids), len(kids))) == pages_id
    catalog = add(b"<< /Type /Catalog /Pages %d 0 R >>" % pages_id)
    out = b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n"
    offsets = []
    for n, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % n + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % o for o in offsets)
    out += b"trailer\n<< /Size %d /Root %d 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, catalog, xref)
    with open(path, "wb") as f:
        f.write(out)


def sample_pdf(path):
    # Page 1, A4 portrait (595 x 842 pt): a black bar across the top
    # (y 742..792 from the bottom), a mid-gray square (x 197..397, y 450..650), a
    # heading, a red circle drawn with Béziers and a line.
    page1 = b"""0 g
50 742 495 50 re f
0.5 g
197 450 200 200 re f
1 0 0 rg
0 0 0 RG 2 w
297 150 m 352 150 397 195 397 250 c 397 305 352 350 297 350 c
242 350 197 305 197 250 c 197 195 242 150 297 150 c f
50 100 m 545 100 l S
0 g BT /F1 24 Tf 60 700 Td (K-460 sample document, page 1) Tj ET"""
    # Page 2, A5 landscape (595 x 420 pt): a black frame and a text.
    page2 = b"""0 g
20 20 555 380 re 10 w S
BT /F1 36 Tf 120 200 Td (Page 2: landscape) Tj ET"""
    pdf(path, [(595, 842, page1, 0), (595, 420, page2, 0)])


if __name__ == "__main__":
    sample_png(os.path.join(HERE, "sample.png"))
    sample_pgm(os.path.join(HERE, "ramp.pgm"))
    sample_pdf(os.path.join(HERE, "sample.pdf"))
    test_pngs()
