#!/usr/bin/env python3
"""Writes the host's 16x16, 16-colour MAINICON: a memory chip with a green
level bar. Run once by hand when the artwork changes; the .ico is committed."""
import struct, sys

# Standard 16-colour palette (index: B, G, R, 0).
PALETTE = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
           (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
ART = [
    "................",
    "..7.7.7.7.7.7...",
    "..7.7.7.7.7.7...",
    ".88888888888888.",
    ".80000000000008.",
    ".80AAAAAAAAAA08.",
    ".80A22222222A08.",
    ".80AAAAAAAAAA08.",
    ".80000000000008.",
    ".80FFFFFFFFFF08.",
    ".80000000000008.",
    ".88888888888888.",
    "..7.7.7.7.7.7...",
    "..7.7.7.7.7.7...",
    "................",
    "................",
]
def main(path):
    pixels = [[int(c, 16) if c != '.' else 0 for c in row] for row in ART]
    transparent = [[c == '.' for c in row] for row in ART]
    xor = b''
    for y in reversed(range(16)):
        row = pixels[y]
        xor += bytes((row[x] << 4) | row[x + 1] for x in range(0, 16, 2))
    andmask = b''
    for y in reversed(range(16)):
        bits = 0
        for x in range(16):
            if transparent[y][x]:
                bits |= 1 << (15 - x)
        andmask += struct.pack('>H', bits) + b'\0\0'   # rows padded to 32 bits
    header = struct.pack('<IiiHHIIiiII', 40, 16, 32, 1, 4, 0, len(xor) + len(andmask), 0, 0, 16, 0)
    pal = b''.join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    image = header + pal + xor + andmask
    ico = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 16, 16, 16, 0, 1, 4, len(image), 22) + image
    open(path, 'wb').write(ico)
main(sys.argv[1] if len(sys.argv) > 1 else 'host/resources/mainicon.ico')
