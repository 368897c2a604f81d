#!/usr/bin/env python3
"""Draws the support library's pictures (run from anywhere; writes next to itself).

Simple shapes only: a banner for the picture frame, a face for the owner-drawn button and the page icon.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def canvas(w, h, colour):
    return [[colour for _ in range(w)] for _ in range(h)]


def fill_rect(img, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(len(img), y1)):
        for x in range(max(0, x0), min(len(img[0]), x1)):
            img[y][x] = colour


def fill_circle(img, cx, cy, r, colour):
    for y in range(len(img)):
        for x in range(len(img[0])):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                img[y][x] = colour


def rows_24(img):
    """Bottom-up 24-bit rows, each padded to 4 bytes."""
    out = b""
    for row in reversed(img):
        line = b"".join(struct.pack("<BBB", b, g, r) for (r, g, b) in row)
        out += line + b"\0" * ((4 - len(line) % 4) % 4)
    return out


def write_bmp(name, img):
    h, w = len(img), len(img[0])
    pixels = rows_24(img)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + pixels)


def write_ico(name, img):
    h, w = len(img), len(img[0])
    pixels = rows_24(img)
    mask_stride = ((w + 31) // 32) * 4
    mask = b"\0" * (mask_stride * h)  # every pixel opaque
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 24, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = info + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 24, len(image), 22)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(directory + image)


def question_mark(img, cx, top, size, colour):
    """A blocky question mark, `size` pixels per block."""
    shape = ["0110", "1001", "0001", "0010", "0100", "0000", "0100"]
    for j, line in enumerate(shape):
        for i, c in enumerate(line):
            if c == "1":
                x = cx - 2 * size + i * size
                y = top + j * size
                fill_rect(img, x, y, x + size, y + size, colour)


def banner():
    img = canvas(160, 64, (255, 255, 255))
    for y in range(64):
        shade = 200 - y
        fill_rect(img, 0, y, 160, y + 1, (40, 90, min(255, shade + 55)))
    fill_circle(img, 32, 32, 24, (250, 250, 250))
    question_mark(img, 34, 15, 5, (40, 90, 200))
    for k, colour in enumerate([(0, 174, 239), (236, 0, 140), (255, 242, 0), (30, 30, 30)]):
        fill_rect(img, 70 + k * 20, 24, 86 + k * 20, 40, colour)
    return img


def button_face():
    img = canvas(96, 24, (40, 90, 200))
    fill_rect(img, 0, 0, 96, 2, (120, 160, 240))
    fill_rect(img, 0, 22, 96, 24, (20, 45, 100))
    for k in range(3):
        fill_rect(img, 60 + k * 10, 8, 66 + k * 10, 16, (255, 255, 255))
    question_mark(img, 22, 3, 2, (255, 255, 255))
    return img


def icon():
    img = canvas(32, 32, (255, 255, 255))
    fill_circle(img, 16, 16, 15, (40, 90, 200))
    question_mark(img, 17, 5, 3, (255, 255, 255))
    return img


if __name__ == "__main__":
    write_bmp("support_banner.bmp", banner())
    write_bmp("support_button.bmp", button_face())
    write_ico("support.ico", icon())
