#!/usr/bin/env python3
"""Draws the input box's five glyphs and writes them as 32-bit icons with alpha.

Each icon file holds one image per display scale, 16, 20, 24 and 32 pixels (96, 120, 144 and
192 DPI), each drawn at its own size from the same shapes, not stretched from another image.
Standard library only. Every shape is a polygon (or a union of polygons) given on a 16-unit grid
and rasterised with 8x8 supersampling; a shape can carry an inner outline of a given width,
measured from its edge, which is kept to whole pixels at every size.
Two sets: one drawn for the light box, one for the dark box (lighter outlines, darker paper).
Usage: make_icons.py [OUTPUT_DIR] [--preview DIR]   (preview: each image at 8x zoom on its set's
background and on the no-match red, as PNG files)
"""
import math
import os
import struct
import sys
import zlib

SIZE = 16  # the grid the shapes are given on
SIZES = (16, 20, 24, 32)
SUB = 8  # samples per pixel along each axis


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def inside(poly, x, y):
    hit = False
    n = len(poly)
    for i in range(n):
        ax, ay = poly[i]
        bx, by = poly[(i + 1) % n]
        if (ay > y) != (by > y):
            cross = ax + (y - ay) * (bx - ax) / (by - ay)
            if x < cross:
                hit = not hit
    return hit


def edge_distance(poly, x, y):
    best = 1e9
    n = len(poly)
    for i in range(n):
        ax, ay = poly[i]
        bx, by = poly[(i + 1) % n]
        dx, dy = bx - ax, by - ay
        length = dx * dx + dy * dy
        t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
        px, py = ax + t * dx - x, ay + t * dy - y
        best = min(best, math.hypot(px, py))
    return best


class Shape:
    """Polygons filled with fill, with an inner outline of width line in colour stroke."""

    def __init__(self, polys, fill, stroke=None, line=0.0):
        self.polys = polys
        self.fill = fill
        self.stroke = stroke
        self.line = line

    def sample(self, x, y, line):
        hits = [p for p in self.polys if inside(p, x, y)]
        if not hits:
            return None
        if self.stroke is None:
            return self.fill
        # The outline follows the union's boundary: a point is on it when it is near an edge
        # of a polygon it lies in and not deep inside any other.
        near = min(edge_distance(p, x, y) for p in hits)
        deep = any(edge_distance(p, x, y) >= line for p in hits)
        return self.stroke if near < line and not deep else self.fill

    def line_at(self, size):
        """The outline's width in grid units at size: whole pixels, at least one."""
        if size == SIZE:
            return self.line
        return max(1, round(self.line * size / SIZE)) * SIZE / size


def render(shapes, size=SIZE):
    """RGBA rows, top first, straight alpha, size x size pixels."""
    unit = SIZE / size  # grid units per pixel
    lines = [shape.line_at(size) for shape in shapes]
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SUB):
                for sx in range(SUB):
                    x = (px + (sx + 0.5) / SUB) * unit
                    y = (py + (sy + 0.5) / SUB) * unit
                    colour = None
                    for shape, line in zip(shapes, lines):
                        c = shape.sample(x, y, line)
                        if c is not None:
                            colour = c
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / (SUB * SUB))))
        pixels.append(row)
    return pixels


# The colours of each set: the pictures drawn for a light background, and those drawn for a dark one.
LIGHT = {
    "outline": (64, 64, 72), "paper": (255, 255, 255), "paper_back": (226, 230, 238), "lines": (120, 130, 150),
    "funnel": (40, 110, 220), "funnel_line": (10, 45, 120), "skin": (255, 214, 160), "skin_line": (120, 60, 20),
    "clear": ((210, 40, 40), (140, 20, 20)), "clear_pressed": ((150, 20, 20), (90, 10, 10)),
    "clear_hot": ((240, 90, 90), (180, 40, 40)),
}
DARK = {
    "outline": (200, 200, 210), "paper": (70, 70, 78), "paper_back": (52, 52, 60), "lines": (170, 180, 200),
    "funnel": (90, 160, 255), "funnel_line": (180, 215, 255), "skin": (240, 196, 140), "skin_line": (255, 236, 210),
    "clear": ((196, 43, 28), (235, 100, 90)), "clear_pressed": ((140, 25, 18), (200, 70, 60)),
    "clear_hot": ((236, 84, 70), (255, 170, 160)),
}


def document_stack(c):
    """Two sheets, the back one up and to the right, in the lower left of the icon."""
    back = Shape([rect(4.0, 3.5, 12.0, 13.0)], c["paper_back"], c["outline"], 1.0)
    front = Shape([rect(0.5, 6.0, 8.5, 15.5)], c["paper"], c["outline"], 1.0)
    lines = Shape([rect(2.0, 9.0, 7.0, 10.0), rect(2.0, 11.5, 7.0, 12.5)], c["lines"])
    return [back, front, lines]


def filter_icon(c):
    funnel = Shape([[(6.5, 0.5), (15.5, 0.5), (12.4, 5.0), (12.4, 10.5), (9.6, 13.0), (9.6, 5.0)]],
                   c["funnel"], c["funnel_line"], 1.1)
    return document_stack(c) + [funnel]


def select_icon(c):
    skin, line = c["skin"], c["skin_line"]
    # A hand pointing up and to the left: the index finger, the fist with its knuckles, the thumb.
    finger = [(9.0, 0.5), (11.8, 0.5), (11.8, 7.5), (9.0, 7.5)]
    fist = [(9.0, 6.5), (15.5, 6.5), (15.5, 13.5), (14.0, 15.5), (10.5, 15.5), (8.5, 13.0)]
    thumb = [(6.0, 8.5), (9.4, 8.5), (10.8, 11.8), (9.2, 13.0), (6.0, 10.5)]
    hand = Shape([finger, fist, thumb], skin, line, 1.1)
    knuckles = Shape([rect(12.4, 7.0, 13.2, 10.0)], line)
    return document_stack(c) + [hand, knuckles]


def clear_icon(square, border):
    box = Shape([rect(1.0, 1.0, 15.0, 15.0)], square, border, 1.0)
    w = 1.2  # half the stroke width of the cross
    d = w / math.sqrt(2)
    a, b = 4.6, 11.4
    cross = Shape([[(a - d, a + d), (a + d, a - d), (b + d, b - d), (b - d, b + d)],
                   [(b - d, a - d), (b + d, a + d), (a + d, b + d), (a - d, b - d)]], (255, 255, 255))
    return [box, cross]


# Resource number: file name, drawing, background of the preview. The dark set's numbers are the
# light set's plus 10.
ICONS = {}
for offset, suffix, colours, ground in ((0, "", LIGHT, (255, 255, 255)), (10, "_dark", DARK, (43, 43, 43))):
    ICONS[225 + offset] = ("filter" + suffix, lambda c=colours: filter_icon(c), ground)
    ICONS[227 + offset] = ("select" + suffix, lambda c=colours: select_icon(c), ground)
    for number, name in ((230, "clear"), (231, "clear_pressed"), (232, "clear_hot")):
        ICONS[number + offset] = (name + suffix, lambda c=colours[name]: clear_icon(*c), ground)


def image_bytes(pixels):
    """One image: BITMAPINFOHEADER, BGRA rows bottom first, then the AND mask."""
    size = len(pixels)
    xor = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(pixels) for p in row)
    mask_rows = []
    for row in reversed(pixels):
        bits = 0
        for x, p in enumerate(row):
            if p[3] == 0:
                bits |= 1 << (31 - x)
        mask_rows.append(struct.pack(">I", bits))  # each row padded to 32 bits (sizes up to 32)
    mask = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def ico_bytes(images):
    """The icon file: its directory, then each image, smallest first."""
    data = [image_bytes(pixels) for pixels in images]
    offset = 6 + 16 * len(data)
    directory = struct.pack("<HHH", 0, 1, len(data))
    for pixels, image in zip(images, data):
        directory += struct.pack("<BBBBHHII", len(pixels), len(pixels), 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(data)


def png_bytes(rows):
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    head = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def preview(pixels, ground, zoom=8):
    """The icon over its set's background and over the no-match red, side by side."""
    size = len(pixels)
    rows = []
    for y in range(size * zoom):
        row = []
        for background in (ground, (255, 102, 102)):
            for x in range(size * zoom):
                r, g, b, a = pixels[y // zoom][x // zoom]
                row.append(tuple(round((c * a + bg * (255 - a)) / 255) for c, bg in zip((r, g, b), background)))
        rows.append(row)
    return png_bytes(rows)


def main(argv):
    out = os.path.dirname(os.path.abspath(__file__))
    previews = None
    args = list(argv)
    if "--preview" in args:
        i = args.index("--preview")
        previews = args[i + 1]
        del args[i:i + 2]
    if args:
        out = args[0]
    for number, (name, draw, ground) in sorted(ICONS.items()):
        shapes = draw()
        images = [render(shapes, size) for size in SIZES]
        with open(os.path.join(out, "%s.ico" % name), "wb") as f:
            f.write(ico_bytes(images))
        if previews:
            os.makedirs(previews, exist_ok=True)
            for pixels in images:
                with open(os.path.join(previews, "%d_%s_%d.png" % (number, name, len(pixels))), "wb") as f:
                    f.write(preview(pixels, ground))


if __name__ == "__main__":
    main(sys.argv[1:])
