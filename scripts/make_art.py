#!/usr/bin/env python3
"""Builds the programs' icons and cursors from the readable sources in the repo.

  make_art.py cursor SOURCE.txt OUT.cur      a monochrome cursor drawn in text (';' starts a comment)
  make_art.py icon NAME OUT.ico SIZE[,SIZE]  a 32-bit icon drawn by the code below

The output depends only on the inputs, so builds are reproducible.
"""
import struct
import sys


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


def main(argv):
    if len(argv) == 4 and argv[1] == "cursor":
        write_cursor(argv[2], argv[3])
    elif len(argv) == 5 and argv[1] == "icon":
        write_icon(argv[2], argv[3], [int(s) for s in argv[4].split(",")])
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
