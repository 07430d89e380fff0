#!/usr/bin/env python3
"""Builds the programs' icons and cursors from the readable sources in the repo.

  make_art.py cursor SOURCE.txt OUT.cur      a monochrome cursor drawn in text (';' starts a comment)
  make_art.py icon NAME OUT.ico SIZE[,SIZE]  a 32-bit icon drawn by the code below
  make_art.py png NAME OUT.png               a PNG strip drawn by the code below
                                             (toolbar-frames, toolbar-icons, width-icons, splash)

The output depends only on the inputs, so builds are reproducible.
"""
import math
import struct
import sys
import zlib


def read_cursor_source(path):
    hotspot, rows = (0, 0), []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith(";"):
                continue
            if line.startswith("hotspot"):
                _, x, y = line.split()
                hotspot = (int(x), int(y))
                continue
            rows.append(line)
    width = len(rows[0])
    if any(len(r) != width for r in rows) or any(c not in "#.o" for r in rows for c in r):
        raise SystemExit(f"{path}: rows must have equal length and use only '#', 'o', '.'")
    return hotspot, rows


def mono_rows(bits, width):
    """Packs rows of 0/1 into 1-bit rows padded to 4 bytes, bottom row first."""
    stride = ((width + 31) // 32) * 4
    out = bytearray()
    for row in reversed(bits):
        packed = bytearray(stride)
        for x, bit in enumerate(row):
            if bit:
                packed[x // 8] |= 0x80 >> (x % 8)
        out += packed
    return bytes(out)


def write_cursor(source, out):
    (hx, hy), rows = read_cursor_source(source)
    w, h = len(rows[0]), len(rows)
    # '#' black (AND 0, XOR 0), 'o' white (AND 0, XOR 1), '.' transparent (AND 1, XOR 0).
    xor = [[1 if c == "o" else 0 for c in r] for r in rows]
    and_ = [[1 if c == "." else 0 for c in r] for r in rows]
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + mono_rows(xor, w) + mono_rows(and_, w)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 2, 0, hx, hy, len(image), 6 + 16)
    with open(out, "wb") as f:
        f.write(directory + entry + image)


def kestrow_mark(size):
    """The program mark: a blue tile with white crop corners and an orange pointer dot.
    Returns rows of (r, g, b, a), supersampled 4x for smooth edges."""
    ss = 4
    n = size * ss
    radius = n * 0.18
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    x = (px * ss + sx + 0.5) / n
                    y = (py * ss + sy + 0.5) / n
                    r, g, b, a = sample_mark(x, y, radius / n)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            a = acc[3] / (ss * ss)
            if acc[3] > 0:
                color = tuple(round(c / acc[3]) for c in acc[:3])
            else:
                color = (0, 0, 0)
            row.append((*color, round(a * 255)))
        pixels.append(row)
    return pixels


def sample_mark(x, y, r):
    # Rounded tile from 0.04 to 0.96.
    lo, hi = 0.04, 0.96
    cx = min(max(x, lo + r), hi - r)
    cy = min(max(y, lo + r), hi - r)
    if not (lo <= x <= hi and lo <= y <= hi) or (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return (0, 0, 0, 0.0)
    # Crop corners: L shapes at the four corners of an inner square.
    a, b, t, arm = 0.24, 0.76, 0.075, 0.2
    for (ex, ey, dx, dy) in ((a, a, 1, 1), (b, a, -1, 1), (a, b, 1, -1), (b, b, -1, -1)):
        in_h = (min(ex, ex + dx * arm) <= x <= max(ex, ex + dx * arm)) and abs(y - ey) <= t / 2
        in_v = (min(ey, ey + dy * arm) <= y <= max(ey, ey + dy * arm)) and abs(x - ex) <= t / 2
        if in_h or in_v:
            return (255, 255, 255, 1.0)
    if (x - 0.5) ** 2 + (y - 0.5) ** 2 <= 0.09 ** 2:
        return (255, 140, 0, 1.0)
    shade = y  # darker towards the bottom
    return (round(40 - 20 * shade), round(120 - 40 * shade), round(230 - 50 * shade), 1.0)


def icon_image(size):
    pixels = kestrow_mark(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):
        for (r, g, b, a) in row:
            xor += bytes([b, g, r, a])
    and_ = mono_rows([[1 if p[3] == 0 else 0 for p in row] for row in pixels], size)
    return header + bytes(xor) + and_


def write_icon(name, out, sizes):
    if name != "kestrow":
        raise SystemExit(f"unknown icon {name}")
    images = [icon_image(s) for s in sizes]
    offset = 6 + 16 * len(images)
    data = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(sizes, images):
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(out, "wb") as f:
        f.write(data + b"".join(images))


class Canvas:
    """RGBA pixels with shapes drawn by 4x4 supersampled coverage."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0, 0, 0, 0)] * w for _ in range(h)]

    def blend(self, x, y, color, cover):
        if not (0 <= x < self.w and 0 <= y < self.h) or cover <= 0:
            return
        r, g, b, a = color
        a = a * cover / 255.0
        dr, dg, db, da = self.px[y][x]
        da /= 255.0
        out_a = a + da * (1 - a)
        if out_a == 0:
            return
        mix = lambda s, d: round((s * a + d * da * (1 - a)) / out_a)
        self.px[y][x] = (mix(r, dr), mix(g, dg), mix(b, db), round(out_a * 255))

    def shape(self, inside, color, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                hits = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
                self.blend(x, y, color, hits / 16.0)

    def rect(self, x0, y0, x1, y1, color):
        self.shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color)

    def frame(self, x0, y0, x1, y1, t, color):
        self.shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1 and not
                   (x0 + t <= x < x1 - t and y0 + t <= y < y1 - t), color)

    def line(self, ax, ay, bx, by, width, color):
        def inside(x, y):
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            return math.hypot(x - ax - t * dx, y - ay - t * dy) <= width / 2
        self.shape(inside, color)

    def polygon(self, pts, color):
        def inside(x, y):
            c = False
            for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1]):
                if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                    c = not c
            return c
        self.shape(inside, color)

    def disc(self, cx, cy, r, color):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def ring(self, cx, cy, r, width, color, start=0.0, end=360.0):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            ang = math.degrees(math.atan2(y - cy, x - cx)) % 360
            return abs(d - r) <= width / 2 and start <= ang <= end
        self.shape(inside, color)

    def png(self):
        raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in self.px)
        chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data +
                                    struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
        head = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(raw, 9)) +
                chunk(b"IEND", b""))


INK = (40, 64, 110, 255)
BLUE = (30, 110, 220, 255)


def toolbar_frames():
    """Two 22 x 22 frames: hover (light) and pressed or checked (deeper)."""
    c = Canvas(44, 22)
    for i, (fill, edge) in enumerate((((222, 236, 252, 255), (120, 170, 230, 255)),
                                      ((188, 212, 240, 255), (60, 120, 200, 255)))):
        x = 22 * i
        c.rect(x + 1, 1, x + 21, 21, fill)
        c.frame(x, 0, x + 22, 22, 1, edge)
    return c


def toolbar_icons():
    """Fourteen 18 x 18 icons: rectangle, arrow, brush, T, undo, copy, save, cancel,
    ellipse, highlighter, mosaic, step number, redo, pin."""
    c = Canvas(252, 18)
    # 0: a rectangle frame
    c.frame(2, 4, 16, 14, 1.6, INK)
    # 1: an arrow pointing up-right
    x = 18
    c.line(x + 3, 15, x + 12, 6, 1.8, INK)
    c.polygon([(x + 15, 3), (x + 8.5, 4.5), (x + 13.5, 9.5)], INK)
    # 2: a brush: handle and a bristle tip
    x = 36
    c.line(x + 15, 2, x + 8, 9, 2.2, (150, 90, 40, 255))
    c.polygon([(x + 7, 8), (x + 10, 11), (x + 6, 16), (x + 2, 16), (x + 3, 12)], BLUE)
    # 3: the letter T
    x = 54
    c.rect(x + 3, 3, x + 15, 5, INK)
    c.rect(x + 8, 5, x + 10, 15, INK)
    # 4: undo: three quarters of a circle with a head at its start
    x = 72
    c.ring(x + 9.5, 10, 5, 1.8, INK, 200, 360)
    c.ring(x + 9.5, 10, 5, 1.8, INK, 0, 100)
    c.polygon([(x + 1.5, 5), (x + 7.5, 6.5), (x + 3, 11)], INK)
    # 5: two sheets
    x = 90
    c.rect(x + 2, 2, x + 11, 13, (255, 255, 255, 255))
    c.frame(x + 2, 2, x + 11, 13, 1.2, INK)
    c.rect(x + 7, 6, x + 16, 17, (255, 255, 255, 255))
    c.frame(x + 7, 6, x + 16, 17, 1.2, INK)
    # 6: a floppy disk
    x = 108
    c.polygon([(x + 2, 2), (x + 14, 2), (x + 16, 4), (x + 16, 16), (x + 2, 16)], BLUE)
    c.rect(x + 5, 2, x + 13, 7, (235, 240, 248, 255))
    c.rect(x + 10, 3, x + 12, 6, BLUE)
    c.rect(x + 4, 10, x + 14, 16, (255, 255, 255, 255))
    # 7: a red circle with a white cross
    x = 126
    c.disc(x + 9, 9, 7.5, (220, 40, 40, 255))
    c.line(x + 6, 6, x + 12, 12, 1.8, (255, 255, 255, 255))
    c.line(x + 12, 6, x + 6, 12, 1.8, (255, 255, 255, 255))
    # 8: an ellipse outline
    x = 144
    c.shape(lambda px, py: 0.62 <= ((px - x - 9) / 7.2) ** 2 + ((py - 9) / 5.2) ** 2 <= 1.0, INK)
    # 9: a highlighter: a broad yellow stroke under a slanted marker
    x = 162
    c.rect(x + 1, 12, x + 17, 16, (250, 220, 40, 255))
    c.polygon([(x + 12, 2), (x + 16, 6), (x + 9, 13), (x + 5, 9)], INK)
    c.polygon([(x + 5, 9), (x + 9, 13), (x + 5, 14), (x + 4, 13)], (250, 200, 20, 255))
    # 10: mosaic: a 3 x 3 grid of grey blocks
    x = 180
    for i in range(3):
        for j in range(3):
            shade = (90, 150, 200)[(i + 2 * j) % 3]
            c.rect(x + 2 + 5 * i, 2 + 5 * j, x + 7 + 5 * i, 7 + 5 * j, (shade, shade, shade + 30, 255))
    c.frame(x + 2, 2, x + 17, 17, 1, INK)
    # 11: a step number: a blue disc with a white 1
    x = 198
    c.disc(x + 9, 9, 7.5, BLUE)
    c.rect(x + 8.2, 5, x + 10.2, 14, (255, 255, 255, 255))
    c.polygon([(x + 8.2, 5), (x + 10.2, 5), (x + 6, 8), (x + 6, 7)], (255, 255, 255, 255))
    # 12: redo: undo's mirror image
    x = 216
    c.ring(x + 8.5, 10, 5, 1.8, INK, 80, 180)
    c.ring(x + 8.5, 10, 5, 1.8, INK, 180, 340)
    c.polygon([(x + 16.5, 5), (x + 10.5, 6.5), (x + 15, 11)], INK)
    # 13: a push pin leaning left: red head, collar, steel needle
    x = 234
    c.line(x + 8, 10, x + 2, 16, 1.3, (120, 120, 130, 255))
    c.polygon([(x + 5, 8), (x + 10, 13), (x + 12, 11), (x + 7, 6)], (200, 40, 40, 255))
    c.line(x + 9, 7, x + 13, 3, 3.2, (220, 50, 50, 255))
    c.disc(x + 14, 4, 3, (235, 70, 70, 255))
    return c


def width_icons():
    """Three 8 x 8 icons: a thin, a medium and a thick stroke, for the pen widths."""
    c = Canvas(24, 8)
    for i, t in enumerate((1, 3, 5)):
        top = (8 - t) // 2
        c.rect(8 * i + 1, top, 8 * i + 7, top + t, INK)
    return c


SPLASH_PAPER = (240, 246, 255, 255)


def splash():
    """The 450 x 300 start-up picture: a rounded blue card, transparent outside its
    corners, with the program mark and a selection frame on light paper."""
    w, h, radius = 450, 300, 18.0
    c = Canvas(w, h)
    for y in range(h):
        t = y / (h - 1)
        top, bottom = (36, 118, 226), (18, 66, 160)
        color = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,)
        for x in range(w):
            # Coverage of the rounded corners from the distance to the corner's centre.
            cx = min(max(x + 0.5, radius), w - radius)
            cy = min(max(y + 0.5, radius), h - radius)
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            cover = max(0.0, min(1.0, radius + 0.5 - d))
            if cover > 0:
                c.blend(x, y, color, cover)
    # The selection: light paper with a white frame and handles.
    left, top, right, bottom = 200, 70, 410, 230
    for y in range(top, bottom):
        for x in range(left, right):
            c.px[y][x] = SPLASH_PAPER
    white = (255, 255, 255, 255)
    for x0, y0, x1, y1 in ((left - 2, top - 2, right + 2, top), (left - 2, bottom, right + 2, bottom + 2),
                           (left - 2, top, left, bottom), (right, top, right + 2, bottom)):
        for y in range(y0, y1):
            for x in range(x0, x1):
                c.px[y][x] = white
    for hx in (left, (left + right) // 2, right):
        for hy in (top, (top + bottom) // 2, bottom):
            if hx == (left + right) // 2 and hy == (top + bottom) // 2:
                continue
            for y in range(hy - 4, hy + 4):
                for x in range(hx - 4, hx + 4):
                    c.px[y][x] = white
    # An arrow drawn on the selection, as the annotation tools do.
    arrow = Canvas(90, 60)
    arrow.line(8, 52, 70, 14, 5, (230, 60, 40, 255))
    arrow.polygon([(84, 6), (58, 10), (72, 30)], (230, 60, 40, 255))
    paste(c, arrow.px, 240, 120)
    paste(c, kestrow_mark(128), 40, 86)
    return c


def paste(canvas, pixels, left, top):
    for y, row in enumerate(pixels):
        for x, (r, g, b, a) in enumerate(row):
            canvas.blend(left + x, top + y, (r, g, b, 255), a / 255.0)


PNGS = {"toolbar-frames": toolbar_frames, "toolbar-icons": toolbar_icons, "width-icons": width_icons,
        "splash": splash}


def write_png(name, out):
    if name not in PNGS:
        raise SystemExit(f"unknown png {name}")
    with open(out, "wb") as f:
        f.write(PNGS[name]().png())


def main(argv):
    if len(argv) == 4 and argv[1] == "cursor":
        write_cursor(argv[2], argv[3])
    elif len(argv) == 4 and argv[1] == "png":
        write_png(argv[2], argv[3])
    elif len(argv) == 5 and argv[1] == "icon":
        write_icon(argv[2], argv[3], [int(s) for s in argv[4].split(",")])
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
