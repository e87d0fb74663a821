#!/usr/bin/env python3
"""Writes host/resources/scripthost.ico: one 32x32 image, 16 colours (4 bpp).

The picture is drawn below as text, one character per pixel, so it can be
edited and regenerated:  python3 tools/make_icon.py
"""
import os
import struct

# The 16 colours of the classic VGA palette (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Characters: '.' transparent, otherwise a hex digit naming a palette index.
PICTURE = """
................................
................................
..0000000000000000000000000000..
..0444444444444444444444444440..
..04CCCCCCCCCCCCCCCCCC9BFAFC40..
..04CCCCCCCCCCCCCCCCCCCCCCCC40..
..0444444444444444444444444440..
..0FFFFFFFFFFFFFFFFFFFFFFFFFF0..
..0F888888888888888888888888F0..
..0F800000000000000000000008F0..
..0F80AA00000000000000000008F0..
..0F800AA0000000000000000008F0..
..0F8000AA000000000000000008F0..
..0F80000AA00000000000000008F0..
..0F8000AA000000000000000008F0..
..0F800AA0000BBBBBBB00000008F0..
..0F80AA00000000000000000008F0..
..0F800000000000000000000008F0..
..0F80000000000000000E000008F0..
..0F8000000000000000EEE00008F0..
..0F800000000000000EEEEE0008F0..
..0F80000000000000000E000008F0..
..0F80000000000000000E000008F0..
..0F800000000000000000000008F0..
..0F888888888888888888888888F0..
..0FFFFFFFFFFFFFFFFFFFFFFFFFF0..
..0777777777777777777777777770..
..0000000000000000000000000000..
................................
................................
................................
................................
"""


def rows():
    lines = [l for l in PICTURE.strip("\n").split("\n")]
    out = []
    for l in lines:
        l = (l + "." * 32)[:32]
        out.append(l)
    while len(out) < 32:
        out.append("." * 32)
    return out[:32]


def main():
    pic = rows()
    xor = bytearray()
    mask = bytearray()
    for line in reversed(pic):  # bitmaps are stored bottom-up
        for x in range(0, 32, 2):
            hi = 0 if line[x] == "." else int(line[x], 16)
            lo = 0 if line[x + 1] == "." else int(line[x + 1], 16)
            xor.append((hi << 4) | lo)
        bits = 0
        for x in range(32):
            bits = (bits << 1) | (1 if line[x] == "." else 0)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    path = os.path.join(os.path.dirname(__file__), "..", "host", "resources", "scripthost.ico")
    with open(path, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main()
