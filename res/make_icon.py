#!/usr/bin/env python3
"""Draws the program icon: two serial connectors joined by a cable.

Writes Duoprobe.ico, a single 32 x 32 image in the 16 standard colours.
Run it again after changing the picture; the .ico is kept in the repository
so that a build needs no Python.
"""
import struct
import sys

PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREEN, NAVY, SILVER, GRAY, LIME, BLUE, WHITE = 0, 2, 4, 7, 8, 10, 12, 15
SIZE = 32
TRANSPARENT = None


def draw():
    px = [[TRANSPARENT] * SIZE for _ in range(SIZE)]

    def put(x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            px[y][x] = c

    def connector(left):
        # A D-sub shell: a trapezoid, wider at the top, with two rows of pins.
        for row in range(10):
            inset = row // 3
            x0, x1 = left + inset, left + 12 - inset
            for x in range(x0, x1 + 1):
                edge = row in (0, 9) or x in (x0, x1)
                put(x, 3 + row, BLACK if edge else SILVER)
        for i in range(5):
            put(left + 2 + 2 * i, 6, GRAY)
        for i in range(4):
            put(left + 3 + 2 * i, 9, GRAY)
        # The strain relief under the shell, where the cable leaves.
        for y in range(13, 16):
            for x in range(left + 5, left + 8):
                put(x, y, BLACK if x in (left + 5, left + 7) else GRAY)

    connector(1)
    connector(18)
    # The cable: down from each connector, joined by a loop along the bottom.
    for y in range(16, 26):
        for x in (6, 7):
            put(x, y, NAVY)
        for x in (23, 24):
            put(x, y, NAVY)
    for x in range(6, 25):
        for y in (26, 27):
            put(x, y, NAVY)
    for x in range(8, 23):
        put(x, 25, BLUE)
    # A green tick in the loop: the link works.
    for i, (x, y) in enumerate([(12, 20), (13, 21), (14, 22), (15, 21), (16, 20), (17, 19), (18, 18)]):
        put(x, y, LIME)
        put(x, y + 1, GREEN)
    return px


def ico(px):
    xor = b""
    mask = b""
    for y in reversed(range(SIZE)):  # bitmaps are stored bottom-up
        row = px[y]
        nibbles = [c if c is not None else 0 for c in row]
        xor += bytes((nibbles[x] << 4) | nibbles[x + 1] for x in range(0, SIZE, 2))
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "Duoprobe.ico"
    with open(out, "wb") as f:
        f.write(ico(draw()))
