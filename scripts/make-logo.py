#!/usr/bin/env python3
"""Writes the About dialog's 60x60 LOGO (16-colour) and LOGOMASK (two
colours): a memory module with a red level bar over a cap. Run by hand when
the artwork changes; the .bmp files are committed."""
import struct, sys

SIZE = 60
# Indices into the standard 16-colour palette.
BLACK, GREEN, GREY, RED, YELLOW, WHITE = 0, 2, 8, 9, 11, 15
PALETTE = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
           (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]

def draw():
    art = [[None] * SIZE for _ in range(SIZE)]  # None: outside the shape
    def box(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                art[y][x] = colour
    # The cap's crown: a half disc above the module.
    for y in range(4, 16):
        for x in range(10, 50):
            if (x - 29.5) ** 2 + ((y - 16) * 1.6) ** 2 <= 19.5 ** 2:
                art[y][x] = RED
    box(6, 16, 53, 17, BLACK)  # the brim
    # The module: a green board with a black rim, four chips, a level bar.
    box(4, 18, 55, 47, BLACK)
    box(5, 19, 54, 46, GREEN)
    for x in (8, 20, 32, 44):
        box(x, 22, x + 8, 33, GREY)
        box(x + 1, 23, x + 7, 32, BLACK)
    box(8, 36, 51, 38, WHITE)
    box(8, 36, 38, 38, RED)
    # Gold contacts along the lower edge, with the key notch left open.
    for x in range(7, 53, 3):
        box(x, 41, x + 1, 46, YELLOW)
    box(28, 42, 31, 47, None)
    return art

def bmp(width, height, bits, palette, rows):
    stride = ((width * bits + 31) // 32) * 4
    pixels = b''
    for row in reversed(rows):
        packed = 0
        for v in row:
            packed = (packed << bits) | v
        packed <<= stride * 8 - width * bits
        pixels += packed.to_bytes(stride, 'big')
    pal = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(pixels), 0, 0,
                       len(palette), len(palette))
    offset = 14 + len(info) + len(pal)
    head = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return head + info + pal + pixels

def main(folder):
    art = draw()
    logo = [[WHITE if c is None else c for c in row] for row in art]
    mask = [[0 if c is None else 1 for c in row] for row in art]
    open(folder + '/logo.bmp', 'wb').write(bmp(SIZE, SIZE, 4, PALETTE, logo))
    open(folder + '/logomask.bmp', 'wb').write(
        bmp(SIZE, SIZE, 1, [(0, 0, 0), (255, 255, 255)], mask))

main(sys.argv[1] if len(sys.argv) > 1 else 'host/resources')
