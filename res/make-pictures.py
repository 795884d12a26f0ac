#!/usr/bin/env python3
"""Draws Velmora's pictures and writes them next to this script:

  velmora.ico  the main window's icon: a speech bubble with a crescent moon ("away")
  tools.ico    the colour pickers and the personal-message window: a painter's palette
  info.ico     About and Help: an "i" on a blue disc
  banner.bmp   the main window's banner (298 x 38, 24-bit): the name on a blue gradient

Each icon holds 16, 32 and 48 pixel images (32-bit with alpha). Plain Python 3, no
packages: the shapes are sampled 4 x 4 times per pixel for smooth edges, and the .ico and
.bmp files are written byte by byte. The build uses the committed files; run this only to
change a picture:  python3 res/make-pictures.py
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = 4  # per axis and pixel


class Canvas:
    """RGBA pixels, 0..255 floats, top row first."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [[list(background) for _ in range(width)] for _ in range(height)]

    def fill(self, inside, colour):
        """Paints where inside(u, v) is true; u and v run 0..1 across the canvas's shorter side.
        colour is an (r, g, b, a) tuple or a function of (u, v) giving one."""
        size = min(self.width, self.height)
        step = 1.0 / SAMPLES
        for y in range(self.height):
            for x in range(self.width):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if inside((x + (sx + 0.5) * step) / size, (y + (sy + 0.5) * step) / size):
                            hits += 1
                if hits:
                    u, v = (x + 0.5) / size, (y + 0.5) / size
                    paint = colour(u, v) if callable(colour) else colour
                    self.blend(x, y, paint, hits / (SAMPLES * SAMPLES))

    def blend(self, x, y, paint, coverage):
        r, g, b, a = paint
        alpha = a / 255.0 * coverage
        dst = self.pixels[y][x]
        dst_alpha = dst[3] / 255.0
        out_alpha = alpha + dst_alpha * (1 - alpha)
        if out_alpha <= 0:
            return
        for i, channel in enumerate((r, g, b)):
            dst[i] = (channel * alpha + dst[i] * dst_alpha * (1 - alpha)) / out_alpha
        dst[3] = out_alpha * 255.0

    def rgba(self, x, y):
        return tuple(max(0, min(255, int(round(c)))) for c in self.pixels[y][x])


# Shapes, in unit coordinates.
def disc(cx, cy, r):
    return lambda u, v: (u - cx) ** 2 + (v - cy) ** 2 <= r * r


def ellipse(cx, cy, rx, ry):
    return lambda u, v: ((u - cx) / rx) ** 2 + ((v - cy) / ry) ** 2 <= 1


def rounded_rect(left, top, right, bottom, radius):
    def inside(u, v):
        if not (left <= u <= right and top <= v <= bottom):
            return False
        dx = max(left + radius - u, 0, u - (right - radius))
        dy = max(top + radius - v, 0, v - (bottom - radius))
        return dx * dx + dy * dy <= radius * radius

    return inside


def polygon(points):
    def inside(u, v):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > v) != (yj > v) and u < (xj - xi) * (v - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    return inside


def union(*shapes):
    return lambda u, v: any(shape(u, v) for shape in shapes)


def minus(shape, hole):
    return lambda u, v: shape(u, v) and not hole(u, v)


def vertical_gradient(top, bottom, v0=0.0, v1=1.0):
    def colour(u, v):
        t = min(1.0, max(0.0, (v - v0) / (v1 - v0)))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(4))

    return colour


# The pictures.
def draw_velmora(size):
    canvas = Canvas(size, size)
    bubble = union(rounded_rect(0.04, 0.08, 0.96, 0.74, 0.2),
                   polygon([(0.22, 0.66), (0.44, 0.66), (0.16, 0.95)]))
    canvas.fill(bubble, (16, 40, 110, 255))  # outline
    inner = union(rounded_rect(0.09, 0.13, 0.91, 0.69, 0.16),
                  polygon([(0.26, 0.62), (0.40, 0.62), (0.22, 0.83)]))
    canvas.fill(inner, vertical_gradient((90, 150, 235, 255), (30, 70, 170, 255), 0.13, 0.69))
    moon = minus(disc(0.5, 0.41, 0.22), disc(0.60, 0.34, 0.19))
    canvas.fill(moon, (255, 214, 64, 255))
    canvas.fill(disc(0.74, 0.26, 0.035), (255, 244, 190, 255))
    canvas.fill(disc(0.30, 0.22, 0.025), (255, 244, 190, 255))
    return canvas


def draw_tools(size):
    canvas = Canvas(size, size)
    palette = minus(ellipse(0.5, 0.52, 0.47, 0.42), ellipse(0.66, 0.72, 0.09, 0.075))
    canvas.fill(palette, (120, 72, 30, 255))  # outline
    board = minus(ellipse(0.5, 0.52, 0.42, 0.37), ellipse(0.66, 0.72, 0.13, 0.11))
    canvas.fill(board, vertical_gradient((244, 214, 160, 255), (214, 170, 110, 255), 0.15, 0.9))
    for (cx, cy), paint in (((0.28, 0.44), (220, 30, 30, 255)),
                            ((0.44, 0.28), (40, 170, 50, 255)),
                            ((0.64, 0.30), (30, 80, 220, 255)),
                            ((0.34, 0.68), (255, 255, 255, 255))):
        canvas.fill(disc(cx, cy, 0.095), (60, 40, 20, 200))
        canvas.fill(disc(cx, cy, 0.075), paint)
    return canvas


def draw_info(size):
    canvas = Canvas(size, size)
    canvas.fill(disc(0.5, 0.5, 0.47), (20, 60, 150, 255))
    canvas.fill(disc(0.5, 0.5, 0.42), vertical_gradient((100, 170, 245, 255), (30, 90, 200, 255), 0.08, 0.92))
    canvas.fill(disc(0.5, 0.28, 0.075), (255, 255, 255, 255))
    canvas.fill(union(rounded_rect(0.42, 0.42, 0.58, 0.78, 0.03), rounded_rect(0.36, 0.42, 0.58, 0.49, 0.02),
                      rounded_rect(0.36, 0.72, 0.64, 0.79, 0.02)), (255, 255, 255, 255))
    return canvas


# A 5 x 7 pixel font for the banner's words; g and y reach two rows below the line.
FONT = {
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "a": ["00000", "00000", "01110", "00001", "01111", "10001", "01111"],
    "e": ["00000", "00000", "01110", "10001", "11111", "10000", "01110"],
    "f": ["00110", "01000", "11110", "01000", "01000", "01000", "01000"],
    "g": ["00000", "00000", "01111", "10001", "10001", "10011", "01101", "00001", "01110"],
    "l": ["01100", "00100", "00100", "00100", "00100", "00100", "01110"],
    "m": ["00000", "00000", "11010", "10101", "10101", "10101", "10101"],
    "o": ["00000", "00000", "01110", "10001", "10001", "10001", "01110"],
    "r": ["00000", "00000", "10110", "11001", "10000", "10000", "10000"],
    "s": ["00000", "00000", "01111", "10000", "01110", "00001", "11110"],
    "w": ["00000", "00000", "10001", "10001", "10101", "10101", "01010"],
    "y": ["00000", "00000", "10001", "10001", "10001", "10011", "01101", "00001", "01110"],
    " ": ["00000"] * 7,
}


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_text(canvas, text, left, top, scale, colour):
    for index, char in enumerate(text):
        rows = FONT[char]
        for row, bits in enumerate(rows):
            for column, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            x = left + (index * 6 + column) * scale + dx
                            y = top + row * scale + dy
                            if 0 <= x < canvas.width and 0 <= y < canvas.height:
                                canvas.blend(x, y, colour, 1.0)


def draw_banner():
    width, height = 298, 38
    canvas = Canvas(width, height, (0, 0, 0, 255))
    for y in range(height):
        for x in range(width):
            t = x / (width - 1)
            shade = 1.0 - 0.25 * abs(y - height / 2) / (height / 2)
            base = (18 + 10 * t, 42 + 90 * t, 120 + 60 * t)
            canvas.pixels[y][x] = [c * shade for c in base] + [255.0]
    # The icon's moon on the left.
    moon = Canvas(30, 30)
    moon.fill(minus(disc(0.5, 0.5, 0.36), disc(0.64, 0.40, 0.31)), (255, 214, 64, 255))
    moon.fill(disc(0.82, 0.2, 0.05), (255, 244, 190, 255))
    for y in range(30):
        for x in range(30):
            r, g, b, a = moon.rgba(x, y)
            if a:
                canvas.blend(8 + x, 4 + y, (r, g, b, 255), a / 255.0)
    draw_text(canvas, "Velmora", 45, 5, 3, (0, 0, 40, 140))  # shadow
    draw_text(canvas, "Velmora", 44, 4, 3, (255, 255, 255, 255))
    tagline = "away messages for AIM"
    draw_text(canvas, tagline, width - 10 - text_width(tagline, 1), 26, 1, (215, 232, 255, 255))
    return canvas


# Files.
def dib_for_icon(canvas):
    """A 32-bit BITMAPINFOHEADER image with its AND mask, as an .ico entry holds it."""
    size = canvas.width
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = canvas.rgba(x, y)
            colour += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(mask_row)
        for x in range(size):
            if canvas.rgba(x, y)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def write_icon(path, draw):
    images = [dib_for_icon(draw(size)) for size in (16, 32, 48)]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip((16, 32, 48), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(path, "wb") as file:
        file.write(out)


def write_bmp24(path, canvas):
    row_size = (canvas.width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(canvas.height)):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b, _ = canvas.rgba(x, y)
            row += bytes((b, g, r))
        pixels += row + bytes(row_size - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as file:
        file.write(header + info + pixels)


def main():
    write_icon(os.path.join(HERE, "velmora.ico"), draw_velmora)
    write_icon(os.path.join(HERE, "tools.ico"), draw_tools)
    write_icon(os.path.join(HERE, "info.ico"), draw_info)
    write_bmp24(os.path.join(HERE, "banner.bmp"), draw_banner())


if __name__ == "__main__":
    main()
