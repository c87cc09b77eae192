#!/usr/bin/env python3
"""Draws the program icon: a yellow key on a blue disc, one 32 x 32 image in the
16 standard colours. Writes res/tarnwick.ico (or the path given). The .ico is committed,
so building needs no Python; run this only to change the picture.
"""
import struct
import sys
from pathlib import Path

SIZE = 32

# The 16 colours of the standard palette, in their usual order, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, YELLOW, BLUE, WHITE = 0, 4, 11, 12, 15
TRANSPARENT = None


def inside_disc(x, y, radius):
    cx = cy = (SIZE - 1) / 2
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def is_key(x, y):
    # The bow: a ring around a hole.
    bow = (x - 10) ** 2 + (y - 15.5) ** 2
    if 2.6 ** 2 < bow <= 6.2 ** 2:
        return True
    # The shaft, then two teeth hanging from it.
    if 16 <= x <= 27 and 14 <= y <= 17:
        return True
    if 21 <= x <= 22 and 18 <= y <= 20:
        return True
    if 25 <= x <= 27 and 18 <= y <= 21:
        return True
    return False


def draw():
    pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if inside_disc(x, y, 15.6):
                pixels[y][x] = NAVY if not inside_disc(x, y, 14.4) else BLUE
    key = [[is_key(x, y) for x in range(SIZE)] for y in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if key[y][x]:
                pixels[y][x] = YELLOW
            elif pixels[y][x] is not TRANSPARENT and any(
                    0 <= x + dx < SIZE and 0 <= y + dy < SIZE and key[y + dy][x + dx]
                    for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                pixels[y][x] = BLACK
    # A glint on the bow.
    pixels[12][7] = WHITE
    pixels[11][8] = WHITE
    return pixels


def encode(pixels):
    # Colour bits: 4 bits per pixel, rows bottom-up, each row 16 bytes (already a
    # multiple of 4). Mask: 1 bit per pixel, 1 = transparent, rows of 4 bytes.
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        for x in range(0, SIZE, 2):
            hi = row[x] or 0
            lo = row[x + 1] or 0
            xor.append((hi << 4) | lo)
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] is TRANSPARENT else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "res" / "tarnwick.ico"
    target.write_bytes(encode(draw()))


if __name__ == "__main__":
    main()
