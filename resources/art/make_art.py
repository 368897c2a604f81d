#!/usr/bin/env python3
"""Draws the project's own bitmaps and icons for the module resources (run from anywhere; writes next to itself).

Every picture is made here from simple shapes, so the resources carry no image from elsewhere. Pixels of
magenta (255, 0, 255) are the transparent parts of the pictures drawn with DrawTransparentBitmap.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MAGENTA = (255, 0, 255)


def canvas(w, h, colour):
    return [[colour for _ in range(w)] for _ in range(h)]


def fill_rect(img, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(len(img), y1)):
        for x in range(max(0, x0), min(len(img[0]), x1)):
            img[y][x] = colour


def fill_circle(img, cx, cy, r, colour, blend=False):
    for y in range(len(img)):
        for x in range(len(img[0])):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                if blend and img[y][x] != MAGENTA:
                    img[y][x] = tuple(min(255, a + b) for a, b in zip(img[y][x], colour))
                else:
                    img[y][x] = colour


def fill_polygon(img, points, colour):
    for y in range(len(img)):
        for x in range(len(img[0])):
            px, py = x + 0.5, y + 0.5
            inside = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                    inside = not inside
                j = i
            if inside:
                img[y][x] = colour


def grey(c):
    v = (c[0] * 30 + c[1] * 59 + c[2] * 11) // 100
    return (v, v, v)


def to_grey(img):
    return [[p if p == MAGENTA else grey(p) for p in row] for row in img]


def write_bmp24(name, img):
    h, w = len(img), len(img[0])
    stride = (w * 3 + 3) & ~3
    rows = b""
    for row in reversed(img):
        line = b"".join(struct.pack("BBB", b, g, r) for r, g, b in row)
        rows += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + rows)


def write_bmp8(name, img):
    """8 bits per pixel with a colour table of the colours used (the pictures drawn with a palette)."""
    h, w = len(img), len(img[0])
    colours = sorted({p for row in img for p in row})
    assert len(colours) <= 256, name
    index = {c: i for i, c in enumerate(colours)}
    stride = (w + 3) & ~3
    rows = b""
    for row in reversed(img):
        line = bytes(index[p] for p in row)
        rows += line + b"\0" * (stride - len(line))
    table = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in colours)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(rows), 2835, 2835, len(colours), 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + table + rows)


def write_ico(name, images):
    """An icon file with one 32-bit image per size; magenta pixels are transparent (alpha 0, mask bit set)."""
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for img in images:
        h, w = len(img), len(img[0])
        xor = b""
        for row in reversed(img):
            xor += b"".join(struct.pack("BBBB", b, g, r, 0 if (r, g, b) == MAGENTA else 255) for r, g, b in row)
        mask_stride = ((w + 31) // 32) * 4
        mask = b""
        for row in reversed(img):
            bits = bytearray(mask_stride)
            for x, p in enumerate(row):
                if p == MAGENTA:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bytes(bits)
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = info + xor + mask
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + blobs)


def scene(w, h, levels):
    """Sky, sun and hills, quantised to `levels` steps per channel: the quality pictures differ in fineness."""
    def q(v):
        step = 255 / (levels - 1)
        return int(round(round(v / step) * step))
    img = canvas(w, h, (0, 0, 0))
    for y in range(h):
        for x in range(w):
            sky = (q(90 + 100 * y / h), q(150 + 80 * y / h), 255)
            img[y][x] = sky
            hill = h * 0.62 + 8 * math.sin(x / 9.0)
            if y > hill:
                img[y][x] = (q(40 + 60 * x / w), q(150 - 50 * (y - hill) / h), q(60))
            if (x - w * 0.75) ** 2 + (y - h * 0.25) ** 2 < (h * 0.14) ** 2:
                img[y][x] = (255, q(220), q(60))
    return img


def page_with_letter(w, h, mirrored, paper, ink):
    img = canvas(w, h, MAGENTA)
    fill_rect(img, 5, 2, w - 5, h - 2, paper)
    for y in (2, h - 3):
        fill_rect(img, 5, y, w - 5, y + 1, (64, 64, 64))
    for x in (5, w - 6):
        fill_rect(img, x, 2, x + 1, h - 2, (64, 64, 64))
    # A capital "F": its bars show which way the page is turned.
    stem = w // 2 - 5
    fill_rect(img, stem, 8, stem + 3, h - 8, ink)
    fill_rect(img, stem, 8, stem + 11, 11, ink)
    fill_rect(img, stem, 14, stem + 8, 17, ink)
    if mirrored:
        img = [list(reversed(row)) for row in img]
    return img


def main():
    # 6052: the logo, a blue plate with a white "Z", on magenta.
    logo = canvas(80, 24, MAGENTA)
    fill_rect(logo, 2, 2, 78, 22, (0, 51, 153))
    fill_rect(logo, 8, 5, 26, 8, (255, 255, 255))
    fill_rect(logo, 8, 16, 26, 19, (255, 255, 255))
    fill_polygon(logo, [(22, 8), (26, 8), (12, 16), (8, 16)], (255, 255, 255))
    for i, x in enumerate(range(32, 74, 6)):
        fill_rect(logo, x, 6 + (i % 3) * 4, x + 4, 18, (120, 170, 230))
    write_bmp24("logo.bmp", logo)

    # 6053-6055: the quality pictures (photo, fine, normal), 8 bits with a palette.
    write_bmp8("quality_photo.bmp", scene(96, 64, 6))
    fine = scene(96, 64, 4)
    for y in range(0, 64, 2):
        for x in range(96):
            if x % 2 == 0:
                fine[y][x] = tuple(max(0, c - 40) for c in fine[y][x])
    write_bmp8("quality_fine.bmp", fine)
    normal = scene(96, 64, 3)
    for y in range(64):
        for x in range(96):
            normal[y][x] = normal[(y // 3) * 3][(x // 3) * 3]
    write_bmp8("quality_normal.bmp", normal)

    # 6056: the About banner.
    about = canvas(160, 40, (0, 0, 0))
    for y in range(40):
        for x in range(160):
            about[y][x] = (int(20 + 60 * x / 160), int(60 + 80 * x / 160), int(140 + 100 * y / 40))
    fill_rect(about, 10, 10, 34, 30, (255, 255, 255))
    fill_polygon(about, [(30, 14), (34, 14), (14, 26), (10, 26)], (0, 51, 153))
    write_bmp24("about.bmp", about)

    # 6050 / 6051: the colour setting sample, in colour and in grey.
    sample = canvas(96, 72, (255, 255, 255))
    bars = [(255, 255, 255), (255, 255, 0), (0, 255, 255), (0, 255, 0), (255, 0, 200), (255, 0, 0), (0, 0, 255),
            (0, 0, 0)]
    for i, c in enumerate(bars):
        fill_rect(sample, i * 12, 0, i * 12 + 12, 44, c)
    for x in range(96):
        v = int(255 * x / 95)
        fill_rect(sample, x, 48, x + 1, 72, (v, int(v * 0.8), 255 - v))
    write_bmp24("sample_colour.bmp", sample)
    write_bmp24("sample_grey.bmp", to_grey(sample))

    # 6103 / 6101: colour print and grey-scale print, three overlapping discs on magenta.
    discs = canvas(48, 48, MAGENTA)
    fill_circle(discs, 17, 18, 12, (200, 0, 0))
    fill_circle(discs, 31, 18, 12, (0, 160, 0), blend=True)
    fill_circle(discs, 24, 30, 12, (0, 0, 200), blend=True)
    write_bmp24("mode_colour.bmp", discs)
    write_bmp24("mode_grey.bmp", to_grey(discs))

    # 6105-6107: the flow arrows of the colour details, dark grey on magenta.
    arrow = (64, 64, 64)
    short = canvas(24, 16, MAGENTA)
    fill_rect(short, 1, 6, 15, 10, arrow)
    fill_polygon(short, [(14, 1), (23, 8), (14, 15)], arrow)
    write_bmp24("arrow_short.bmp", short)
    down = canvas(16, 24, MAGENTA)
    fill_rect(down, 6, 1, 10, 15, arrow)
    fill_polygon(down, [(1, 14), (15, 14), (8, 23)], arrow)
    write_bmp24("arrow_down.bmp", down)
    long_ = canvas(64, 16, MAGENTA)
    fill_rect(long_, 1, 6, 55, 10, arrow)
    fill_polygon(long_, [(54, 1), (63, 8), (54, 15)], arrow)
    write_bmp24("arrow_long.bmp", long_)

    # 7000: the warning icon, a yellow triangle with an exclamation mark.
    def warning(size):
        img = canvas(size, size, MAGENTA)
        s = size / 32
        fill_polygon(img, [(16 * s, 1 * s), (31 * s, 30 * s), (1 * s, 30 * s)], (40, 40, 40))
        fill_polygon(img, [(16 * s, 4 * s), (28.5 * s, 28 * s), (3.5 * s, 28 * s)], (255, 210, 0))
        fill_rect(img, int(15 * s), int(11 * s), int(17 * s) + 1, int(22 * s), (0, 0, 0))
        fill_rect(img, int(15 * s), int(24 * s), int(17 * s) + 1, int(26 * s) + 1, (0, 0, 0))
        return img
    write_ico("warning.ico", [warning(32), warning(16)])

    # 7001 / 7002: mirror print off (the page as it is) and on (the page mirrored, blue ink).
    write_ico("mirror_off.ico", [page_with_letter(32, 32, False, (255, 255, 255), (96, 96, 96))])
    write_ico("mirror_on.ico", [page_with_letter(32, 32, True, (255, 255, 255), (0, 70, 200))])


if __name__ == "__main__":
    main()
