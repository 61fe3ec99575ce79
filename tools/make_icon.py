#!/usr/bin/env python3
"""Draws the TapTally program icon (resource 600) and writes it as a .ico file.

The picture is a mouse seen from above, with its cable, two buttons and a green
tick mark beside it: 32 x 32 pixels, 16 colours (4 bits per pixel) from the
standard VGA palette, with a transparency mask around the shapes.

Usage: tools/make_icon.py [output]   (default: resources/taptally.ico)
"""

import os
import struct
import sys

SIZE = 32

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, LIGHT_GREY, DARK_GREY, GREEN, WHITE = 0, 2, 7, 8, 10, 15
CLEAR = None


def inside_body(x, y):
    """The mouse body: an upright ellipse in the lower left of the picture."""
    cx, cy, rx, ry = 12.0, 19.5, 8.6, 11.2
    dx = (x + 0.5 - cx) / rx
    dy = (y + 0.5 - cy) / ry
    return dx * dx + dy * dy <= 1.0


def draw_mouse(pixels):
    for y in range(SIZE):
        for x in range(SIZE):
            if not inside_body(x, y):
                continue
            edge = any(not inside_body(x + dx, y + dy)
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                pixels[y][x] = BLACK
            elif y < 17:
                pixels[y][x] = WHITE  # the two buttons
            else:
                pixels[y][x] = LIGHT_GREY
    # The split between the buttons and the line below them.
    for y in range(9, 17):
        pixels[y][11] = DARK_GREY
    for x in range(4, 20):
        if pixels[17][x] not in (CLEAR, BLACK):
            pixels[17][x] = DARK_GREY
    # The cable, leaving the front of the mouse and bending to the left.
    for y in range(4, 9):
        pixels[y][11] = BLACK
    for x in range(5, 12):
        pixels[3][x] = BLACK
    pixels[2][4] = BLACK
    pixels[1][4] = BLACK
    pixels[0][4] = BLACK


def draw_tick(pixels):
    """A thick green tick in the upper right, outlined in dark green."""
    stroke = set()
    for i in range(5):  # short arm, down to the right
        for t in range(3):
            stroke.add((17 + i, 9 + i + t))
    for i in range(10):  # long arm, up to the right
        for t in range(3):
            stroke.add((21 + i, 13 - i + t - 1))
    stroke = {(x, y) for x, y in stroke if 0 <= x < SIZE and 0 <= y < SIZE}
    for x, y in stroke:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                nx, ny = x + dx, y + dy
                if (0 <= nx < SIZE and 0 <= ny < SIZE and (nx, ny) not in stroke
                        and pixels[ny][nx] is CLEAR):
                    pixels[ny][nx] = DARK_GREEN
    for x, y in stroke:
        pixels[y][x] = GREEN


def picture():
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]
    draw_mouse(pixels)
    draw_tick(pixels)
    return pixels


def ico_bytes(pixels):
    """One 32 x 32, 4-bit image in the .ico container (rows stored bottom-up)."""
    xor_rows = []
    and_rows = []
    for row in reversed(pixels):
        nibbles = [0 if p is CLEAR else p for p in row]
        xor_rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2)))
        mask = 0
        for p in row:
            mask = (mask << 1) | (1 if p is CLEAR else 0)
        and_rows.append(struct.pack(">I", mask))  # 32 bits: one row, already 4-byte aligned
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "taptally.ico")
    with open(output, "wb") as f:
        f.write(ico_bytes(picture()))


if __name__ == "__main__":
    main()
