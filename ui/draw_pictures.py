#!/usr/bin/env python3
"""Draws the program's pictures: the tall side picture (bitmap 130), the banner
below the text area (bitmap 131) and the application icon (icon group 128).

The artwork is our own, drawn from shapes so that the repository holds no
binary files: a globe, a modem with its lights and the telephone line between
them. Only the sizes and colour depths are fixed by the program's resources:
130 is 176 x 314 and 131 is 325 x 195, both 24 bits per pixel; the icon has a
32 x 32 and a 16 x 16 image with 16 colours each.

Usage: draw_pictures.py OUTPUT_DIR   (writes side.bmp, banner.bmp, halvoran.ico)
Plain python3, no extra packages.
"""
import math
import os
import struct
import sys


class Canvas:
    def __init__(self, width, height, colour=(255, 255, 255)):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        return self.pixels[y][x]

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.width and 0 <= y < self.height:
            old = self.pixels[y][x]
            self.pixels[y][x] = tuple(round(o + (c - o) * alpha) for o, c in zip(old, colour))

    def vertical_gradient(self, top, bottom, y0=0, y1=None):
        y1 = self.height if y1 is None else y1
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            colour = mix(top, bottom, t)
            for x in range(self.width):
                self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.pixels[y][x] = colour

    def rounded_rect(self, x0, y0, x1, y1, radius, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                dx = max(x0 + radius - x - 0.5, 0, x - (x1 - radius) + 0.5)
                dy = max(y0 + radius - y - 0.5, 0, y - (y1 - radius) + 0.5)
                if dx * dx + dy * dy <= radius * radius:
                    self.put(x, y, colour)

    def disc(self, cx, cy, r, colour, alpha=1.0):
        for y in range(int(cy - r - 1), int(cy + r + 2)):
            for x in range(int(cx - r - 1), int(cx + r + 2)):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                cover = min(1.0, max(0.0, r - d + 0.5))
                if cover > 0:
                    self.blend(x, y, colour, cover * alpha)

    def line(self, x0, y0, x1, y1, colour, width=1.0):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            self.disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, colour)

    def polyline(self, points, colour, width=1.0):
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            self.line(ax, ay, bx, by, colour, width)

    def text(self, x, y, string, colour, scale=1):
        for ch in string:
            glyph = FONT.get(ch.upper(), FONT[" "])
            for row, bits in enumerate(glyph):
                for col in range(5):
                    if bits & (0x10 >> col):
                        self.rect(x + col * scale, y + row * scale,
                                  x + (col + 1) * scale, y + (row + 1) * scale, colour)
            x += 6 * scale

    def text_width(self, string, scale=1):
        return len(string) * 6 * scale - scale


def mix(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


# A 5 x 7 pixel font for the few letters the pictures use.
FONT = {
    " ": [0, 0, 0, 0, 0, 0, 0],
    ".": [0, 0, 0, 0, 0, 0x0C, 0x0C],
    "2": [0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F],
    "3": [0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E],
    "A": [0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11],
    "E": [0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F],
    "H": [0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11],
    "I": [0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E],
    "L": [0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F],
    "N": [0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11],
    "O": [0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E],
    "R": [0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11],
    "T": [0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04],
    "V": [0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04],
    "Z": [0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F],
}

NIGHT = (12, 30, 84)
OCEAN = (28, 98, 178)
OCEAN_LIGHT = (86, 160, 222)
LAND = (70, 160, 84)
LAND_DARK = (40, 118, 60)
GRID = (190, 220, 245)
CASE = (214, 218, 226)
CASE_DARK = (120, 126, 140)
LED_GREEN = (60, 230, 90)
LED_AMBER = (250, 190, 40)
CABLE = (40, 40, 48)
WHITE = (255, 255, 255)


def draw_globe(c, cx, cy, r):
    """A globe lit from the upper left, with continents and its grid."""
    continents = [(-0.35, -0.25, 0.32), (-0.15, 0.05, 0.26), (0.3, -0.35, 0.22),
                  (0.42, 0.1, 0.2), (0.15, 0.45, 0.18), (-0.45, 0.4, 0.14)]
    for y in range(int(cy - r - 1), int(cy + r + 2)):
        for x in range(int(cx - r - 1), int(cx + r + 2)):
            u, v = (x + 0.5 - cx) / r, (y + 0.5 - cy) / r
            d = math.hypot(u, v)
            if d > 1.0 + 0.5 / r:
                continue
            light = max(0.0, 1.0 - math.hypot(u + 0.45, v + 0.45) / 1.6)
            colour = mix(OCEAN, OCEAN_LIGHT, light)
            for lu, lv, lr in continents:
                if math.hypot(u - lu, v - lv) < lr:
                    colour = mix(LAND_DARK, LAND, light + 0.3)
            cover = min(1.0, max(0.0, (1.0 - d) * r + 0.5))
            c.blend(x, y, colour, cover)
    for k in (-2, -1, 0, 1, 2):  # parallels
        yy = cy + r * k / 3
        half = math.sqrt(max(0.0, r * r - (yy - cy) ** 2))
        c.line(cx - half + 1, yy, cx + half - 1, yy, GRID, 0.8)
    for k in (-2, -1, 0, 1, 2):  # meridians as half-ellipses
        a = r * abs(k) / 3
        points = [(cx + math.copysign(a, k) * math.cos(t) if k else cx, cy + r * math.sin(t))
                  for t in [i * math.pi / 40 - math.pi / 2 for i in range(41)]]
        c.polyline(points, GRID, 0.8)


def draw_modem(c, x, y, w, h, lights=5):
    """A desktop modem: a rounded case, a front strip and a row of lights."""
    c.rounded_rect(x + 3, y + 4, x + w + 3, y + h + 4, 6, mix(CASE_DARK, NIGHT, 0.5))  # shadow
    c.rounded_rect(x, y, x + w, y + h, 6, CASE)
    c.rect(x + 4, y + h - h // 3, x + w - 4, y + h - 4, CASE_DARK)
    for i in range(lights):
        lx = x + 10 + i * (w - 20) / max(1, lights - 1)
        c.disc(lx, y + h - h // 6 - 2, 2.4, LED_GREEN if i % 3 else LED_AMBER)


def draw_signal(c, x0, y0, x1, y1, colour, waves=6, amplitude=6.0):
    """The telephone line: a wavy cable carrying the dial-up signal."""
    length = math.hypot(x1 - x0, y1 - y0)
    nx, ny = -(y1 - y0) / length, (x1 - x0) / length
    points = []
    for i in range(121):
        t = i / 120
        s = amplitude * math.sin(t * waves * 2 * math.pi)
        points.append((x0 + (x1 - x0) * t + nx * s, y0 + (y1 - y0) * t + ny * s))
    c.polyline(points, colour, 2.0)


def side_picture():
    c = Canvas(176, 314)
    c.vertical_gradient(NIGHT, (34, 120, 170))
    for i in range(40):  # stars, placed by a fixed rule
        x, y = (i * 73) % 176, (i * 131) % 150
        c.disc(x + 0.5, y + 0.5, 0.9 + (i % 3) * 0.3, WHITE, 0.7)
    draw_globe(c, 88, 96, 58)
    draw_signal(c, 88, 162, 88, 236, (250, 210, 90), waves=4, amplitude=7)
    draw_modem(c, 28, 236, 120, 36)
    label = "HALVORAN"
    c.text((176 - c.text_width(label, 2)) // 2, 286, label, WHITE, 2)
    return c


def banner_picture():
    c = Canvas(325, 195)
    c.vertical_gradient((232, 242, 252), WHITE)
    c.rect(0, 150, 325, 195, (226, 232, 240))
    # A computer on the left: monitor and stand.
    c.rounded_rect(22, 52, 112, 120, 5, CASE_DARK)
    c.rect(28, 58, 106, 112, (24, 64, 140))
    for i in range(5):
        c.rect(34, 64 + i * 9, 34 + 30 + (i * 17) % 36, 68 + i * 9, (150, 200, 250))
    c.rect(60, 120, 74, 136, CASE_DARK)
    c.rect(44, 136, 90, 142, CASE_DARK)
    # The modem beside it and the cable to the wall socket.
    draw_modem(c, 118, 118, 78, 24, lights=4)
    c.polyline([(112, 110), (118, 126)], CABLE, 2.0)
    c.rounded_rect(216, 128, 232, 146, 3, CASE)
    c.rect(221, 134, 227, 140, CASE_DARK)
    c.polyline([(196, 132), (206, 132), (206, 137), (216, 137)], CABLE, 2.0)
    # The line carries the connection out to the Internet.
    draw_signal(c, 232, 134, 262, 90, (230, 150, 30), waves=3, amplitude=4)
    draw_globe(c, 272, 66, 40)
    for k in range(3):  # data arcs over the globe
        rr = 48 + k * 8
        points = [(272 + rr * math.cos(t), 66 + rr * math.sin(t))
                  for t in [math.pi * (1.1 + i * 0.012) for i in range(34)]]
        c.polyline(points, (230, 150, 30), 1.4)
    return c


# The 16 colours of the standard palette, the only ones a 16-colour icon can use.
PALETTE16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
             (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
             (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def icon_image(size):
    """The icon: a globe with a modem in front of it. Returns palette indices
    per pixel, or None where the icon is transparent."""
    s = size / 32.0
    img = [[None] * size for _ in range(size)]

    def put(x, y, index):
        if 0 <= x < size and 0 <= y < size:
            img[y][x] = index

    cx, cy, r = 15.5 * s, 13.5 * s, 12.5 * s
    for y in range(size):
        for x in range(size):
            u, v = (x + 0.5 - cx) / r, (y + 0.5 - cy) / r
            d = math.hypot(u, v)
            if d <= 1.0:
                land = (math.hypot(u + 0.35, v + 0.2) < 0.38 or math.hypot(u - 0.35, v + 0.35) < 0.28
                        or math.hypot(u - 0.2, v - 0.4) < 0.25)
                lit = math.hypot(u + 0.4, v + 0.4) < 0.7
                put(x, y, (10 if lit else 2) if land else (12 if lit else 4))
                if d > 1.0 - 1.2 / r:
                    put(x, y, 4)
    if size >= 32:  # grid lines only where there is room for them
        for y in (int(cy - r / 2), int(cy), int(cy + r / 2)):
            for x in range(size):
                if img[y][x] is not None and math.hypot(x + 0.5 - cx, y + 0.5 - cy) < r - 1:
                    img[y][x] = 14 if img[y][x] in (12, 4) else img[y][x]
    # The modem: a light case with a dark front and two lights.
    x0, y0, x1, y1 = int(5 * s), int(21 * s), int(27 * s), int(29 * s)
    for y in range(y0, y1):
        for x in range(x0, x1):
            edge = y in (y0, y1 - 1) or x in (x0, x1 - 1)
            put(x, y, 0 if edge else (7 if y < (y0 + y1) // 2 else 8))
    put(int(9 * s), int(26 * s), 10)
    put(int(13 * s), int(26 * s), 11)
    if size >= 32:
        put(int(9 * s) + 1, int(26 * s), 10)
        put(int(13 * s) + 1, int(26 * s), 11)
    return img


def bmp_bytes(canvas):
    """A 24-bit BMP file: rows bottom-up, blue-green-red, padded to 4 bytes."""
    row_size = (canvas.width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.get(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0,
                       len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def icon_dib(img):
    """One icon image: header (height doubled), 16-colour palette, 4-bit colour
    rows and the 1-bit transparency mask, both bottom-up."""
    size = len(img)
    xor_row = ((size * 4 + 31) // 32) * 4
    and_row = ((size + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(xor_row)
        bits = bytearray(and_row)
        for x in range(size):
            index = img[y][x]
            if index is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                index = 0
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += row
        mask += bits
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE16)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                       0, 0, 16, 0)
    return info + palette + bytes(xor) + bytes(mask)


def ico_bytes(images):
    dibs = [icon_dib(img) for img in images]
    offset = 6 + 16 * len(dibs)
    out = struct.pack("<HHH", 0, 1, len(dibs))
    for img, dib in zip(images, dibs):
        size = len(img)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(dib), offset)
        offset += len(dib)
    return out + b"".join(dibs)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw_pictures.py OUTPUT_DIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write(os.path.join(out, "side.bmp"), bmp_bytes(side_picture()))
    write(os.path.join(out, "banner.bmp"), bmp_bytes(banner_picture()))
    write(os.path.join(out, "halvoran.ico"), ico_bytes([icon_image(32), icon_image(16)]))


if __name__ == "__main__":
    main()
