#!/usr/bin/env python3
"""Writes the status bar's print-button faces (resources/bitmaps/*.bmp).

The faces are small 24-bit bitmaps of a button with a printer glyph: up,
pressed (shifted by one pixel, frame inverted) and greyed."""
import os
import struct
import sys

W, H = 54, 22


def face_bitmap(face, ink, pressed):
    px = [[face] * W for _ in range(H)]
    light, dark, black = (255, 255, 255), (128, 128, 128), (0, 0, 0)
    tl, br = (dark, light) if pressed else (light, dark)
    for x in range(W):
        px[0][x] = tl
        px[H - 1][x] = light if pressed else black
    for y in range(H):
        px[y][0] = tl
        px[y][W - 1] = light if pressed else black
    for x in range(1, W - 1):
        px[H - 2][x] = br
    for y in range(1, H - 1):
        px[y][W - 2] = br
    o = 1 if pressed else 0
    for y in range(4, 9):  # paper
        for x in range(20, 34):
            px[y + o][x + o] = light if ink != face else face
        px[y + o][20 + o] = ink
        px[y + o][33 + o] = ink
    for x in range(20, 34):
        px[4 + o][x + o] = ink
    for y in range(9, 16):  # body
        for x in range(15, 39):
            px[y + o][x + o] = ink
    for x in range(18, 36):
        px[16 + o][x + o] = ink
    for x in range(19, 35):  # output slot
        px[12 + o][x + o] = face
    row = (W * 3 + 3) & ~3
    data = b""
    for y in range(H - 1, -1, -1):
        data += b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in px[y]) + b"\0" * (row - W * 3)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "bitmaps")
    face = (212, 208, 200)
    for name, ink, pressed in (("print_up", (0, 0, 0), False), ("print_down", (0, 0, 0), True),
                               ("print_disabled", (128, 128, 128), False)):
        with open(os.path.join(out, name + ".bmp"), "wb") as f:
            f.write(face_bitmap(face, ink, pressed))


if __name__ == "__main__":
    main()
