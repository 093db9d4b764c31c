#!/usr/bin/env python3
"""Draws the window's pictures and writes them as 16-colour resources:
resources/FileOpen.bmp, resources/FolderOpen.bmp (16 x 16 on magenta, which
the loading flags turn into the button face) and resources/Fendrix.ico
(32 x 32 and 16 x 16). Standard library only; run it after changing a
picture and commit the files it writes."""

import os
import struct

# The 16 colours of the classic palette; pictures use their indexes.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)


class Picture:
    def __init__(self, size, background):
        self.size = size
        self.pixels = [[background] * size for _ in range(size)]

    def set(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.set(x, y0, colour)
            self.set(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.set(x0, y, colour)
            self.set(x1, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.set(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), colour)

    def polygon(self, points, colour):
        """Fills a convex or simple polygon by scan lines through pixel centres."""
        ys = [p[1] for p in points]
        for y in range(min(ys), max(ys) + 1):
            cy = y + 0.5
            xs = []
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay <= cy < by) or (by <= cy < ay):
                    xs.append(ax + (cy - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                for x in range(int(round(a)), int(round(b))):
                    self.set(x, y, colour)
        for a, b in zip(points, points[1:] + points[:1]):
            self.line(a[0], a[1], b[0], b[1], colour)


def sheet(p, x0, y0, x1, y1, fold):
    """A white sheet with its top-right corner folded over."""
    p.fill(x0, y0, x1, y1, WHITE)
    p.frame(x0, y0, x1, y1, BLACK)
    for i in range(fold + 1):
        for j in range(fold + 1 - i):
            p.set(x1 - j, y0 + i, p.pixels[0][0])
    p.line(x1 - fold, y0, x1, y0 + fold, BLACK)
    p.line(x1 - fold, y0, x1 - fold, y0 + fold, BLACK)
    p.line(x1 - fold, y0 + fold, x1, y0 + fold, BLACK)
    p.fill(x1 - fold + 1, y0 + 1, x1 - fold + 1, y0 + fold - 1, SILVER)


def file_open_bitmap():
    p = Picture(16, MAGENTA)
    sheet(p, 3, 1, 12, 14, 3)
    for y in (6, 8, 10, 12):
        p.line(5, y, 10, y, GREY)
    return p


def open_folder(p, s):
    """An open yellow folder scaled to s/16."""
    def pt(x, y):
        return (int(round(x * s / 16)), int(round(y * s / 16)))
    back = [pt(1, 3), pt(6, 3), pt(7, 4), pt(13, 4), pt(13, 13), pt(1, 13)]
    p.polygon(back, OLIVE)
    p.polygon([pt(2, 4), pt(5, 4), pt(6, 5), pt(12, 5), pt(12, 7), pt(2, 7)], YELLOW)
    front = [pt(3, 7), pt(15, 7), pt(13, 13), pt(1, 13)]
    p.polygon(front, YELLOW)
    for a, b in zip(front, front[1:] + front[:1]):
        p.line(a[0], a[1], b[0], b[1], OLIVE)


def folder_open_bitmap():
    p = Picture(16, MAGENTA)
    open_folder(p, 16)
    return p


def main_icon(size):
    """A diskette with the green progress arc of the window around it."""
    transparent = MAGENTA
    p = Picture(size, transparent)
    s = size / 32

    def c(v):
        return int(round(v * s))

    # the arc: 270 degrees from the upper left, counter-clockwise on screen
    import math
    r_out, r_in = 15.5 * s, 12.5 * s
    cx = cy = size / 2
    for y in range(size):
        for x in range(size):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            d = math.hypot(dx, dy)
            angle = math.degrees(math.atan2(-dy, dx)) % 360
            if r_in <= d <= r_out and not (45 < angle < 135):
                p.set(x, y, GREEN if d < (r_in + r_out) / 2 else LIME)
    # the diskette
    x0, y0, x1, y1 = c(8), c(8), c(23), c(23)
    p.fill(x0, y0, x1, y1, NAVY)
    p.fill(c(11), y0, c(20), c(13), SILVER)
    p.fill(c(17), c(9), c(18), c(12), NAVY)
    p.fill(c(10), c(16), c(21), y1, WHITE)
    if size >= 32:
        p.line(c(12), c(18), c(19), c(18), BLUE)
        p.line(c(12), c(20), c(19), c(20), BLUE)
    p.frame(x0, y0, x1, y1, BLACK)
    return p, transparent


def bmp_pixel_rows(p, transparent=None):
    """4-bit rows, bottom-up, each padded to 4 bytes."""
    rows = []
    for y in reversed(range(p.size)):
        line = [0 if (transparent is not None and v == transparent) else v for v in p.pixels[y]]
        data = bytes((line[i] << 4) | line[i + 1] for i in range(0, p.size, 2))
        data += b"\0" * (-len(data) % 4)
        rows.append(data)
    return b"".join(rows)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def write_bmp(path, p):
    pixels = bmp_pixel_rows(p)
    offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info_header(p.size, p.size, len(pixels)) + palette_bytes() + pixels)


def icon_image(p, transparent):
    xor = bmp_pixel_rows(p, transparent)
    mask_rows = []
    for y in reversed(range(p.size)):
        bits = 0
        data = bytearray()
        for x in range(p.size):
            bits = (bits << 1) | (1 if p.pixels[y][x] == transparent else 0)
            if x % 8 == 7:
                data.append(bits)
                bits = 0
        data += b"\0" * (-len(data) % 4)
        mask_rows.append(bytes(data))
    mask = b"".join(mask_rows)
    return info_header(p.size, 2 * p.size, len(xor) + len(mask)) + palette_bytes() + xor + mask


def write_ico(path, images):
    blobs = [icon_image(p, t) for p, t in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for (p, _), blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", p.size % 256, p.size % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    write_bmp(os.path.join(here, "FileOpen.bmp"), file_open_bitmap())
    write_bmp(os.path.join(here, "FolderOpen.bmp"), folder_open_bitmap())
    write_ico(os.path.join(here, "Fendrix.ico"), [main_icon(32), main_icon(16)])


if __name__ == "__main__":
    main()
