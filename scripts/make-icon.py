#!/usr/bin/env python3
"""Writes the host's MAINICON, 16-colour, at every size the shell asks for: a memory chip with a green
level bar. Run once by hand when the artwork changes; the .ico is committed."""
import struct, sys, zlib

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
# The sizes the shell asks for: small and large icons at 96, 120 and 144 DPI.
SIZES = [16, 20, 24, 32, 40, 48]
# Asked for only by Vista and later, which read PNG entries: stored so, small.
PNG_SIZES = [40]
# The colours the art uses, in palette order: a short palette keeps the
# larger entries small.
USED = sorted({int(c, 16) for row in ART for c in row if c != '.'} | {0})

def entry(size):
    """One 4-bit entry of `size` pixels: the art scaled by nearest neighbour."""
    index = {colour: i for i, colour in enumerate(USED)}
    def at(x, y):
        return ART[y * 16 // size][x * 16 // size]
    stride = (size * 4 + 31) // 32 * 4
    xor = b''
    for y in reversed(range(size)):
        row = [index[int(at(x, y), 16)] if at(x, y) != '.' else 0 for x in range(size)]
        row += [0] * (size % 2)
        packed = bytes((row[x] << 4) | row[x + 1] for x in range(0, len(row), 2))
        xor += packed + b'\0' * (stride - len(packed))
    mask_stride = (size + 31) // 32 * 4
    andmask = b''
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            if at(x, y) == '.':
                bits |= 1 << (mask_stride * 8 - 1 - x)
        andmask += bits.to_bytes(mask_stride, 'big')
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 4, 0, len(xor) + len(andmask), 0, 0,
                         len(USED), 0)
    pal = b''.join(bytes((b, g, r, 0)) for (r, g, b) in (PALETTE[c] for c in USED))
    return header + pal + xor + andmask

def png_entry(size):
    """The same picture as a 4-bit PNG; its last palette entry is transparent."""
    index = {colour: i for i, colour in enumerate(USED)}
    clear = len(USED)
    raw = b''
    for y in range(size):
        row = [clear if ART[y * 16 // size][x * 16 // size] == '.' else
               index[int(ART[y * 16 // size][x * 16 // size], 16)] for x in range(size)]
        row += [0] * (size % 2)
        raw += b'\0' + bytes((row[x] << 4) | row[x + 1] for x in range(0, len(row), 2))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    palette = b''.join(bytes(PALETTE[c]) for c in USED) + b'\0\0\0'
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 4, 3, 0, 0, 0)) +
            chunk(b'PLTE', palette) + chunk(b'tRNS', b'\xff' * len(USED) + b'\0') +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))

def main(path):
    images = [png_entry(size) if size in PNG_SIZES else entry(size) for size in SIZES]
    offset = 6 + 16 * len(images)
    ico = struct.pack('<HHH', 0, 1, len(images))
    for size, image in zip(SIZES, images):
        ico += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    open(path, 'wb').write(ico + b''.join(images))
main(sys.argv[1] if len(sys.argv) > 1 else 'host/resources/mainicon.ico')
