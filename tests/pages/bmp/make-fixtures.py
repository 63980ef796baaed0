#!/usr/bin/env python3
"""Writes the BMP files of the caption page's file table (CaptionFilesTest).

Every accepted file shows the same 24 x 12 picture: black, a white bar in row 1
(x 2..9) and a white dot at (20, 4); dark greys in row 5 give the palette
files more colours without changing the one-bit result. Files named im-* come
from ImageMagick's convert, py-* from the writer below. Run it in this folder.
"""
import struct
import subprocess
import zlib

W, H = 24, 12


def picture(greys):
    """Rows top to bottom of (r, g, b); `greys` dark shades along row 5."""
    rows = [[(0, 0, 0)] * W for _ in range(H)]
    for x in range(2, 10):
        rows[1][x] = (255, 255, 255)
    rows[4][20] = (255, 255, 255)
    for x in range(greys):
        rows[5][x] = (3 * x + 3,) * 3
    return rows


def pad4(b):
    return b + bytes(-len(b) % 4)


def palette_of(rows):
    colours = []
    for row in rows:
        for c in row:
            if c not in colours:
                colours.append(c)
    return colours


def pixel_bytes(rows, bits, colours):
    out = []
    for row in rows:
        if bits == 24:
            line = b"".join(bytes((b, g, r)) for r, g, b in row)
        elif bits == 32:
            line = b"".join(bytes((b, g, r, 255)) for r, g, b in row)
        else:
            idx = [colours.index(c) for c in row]
            per = 8 // bits
            line = bytearray()
            for i in range(0, W, per):
                v = 0
                for k, c in enumerate(idx[i:i + per]):
                    v |= c << (8 - bits * (k + 1))
                line.append(v)
            line = bytes(line)
        out.append(pad4(line))
    return out


MASKS = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)


def bmp(rows, bits, header=40, compression=0, top_down=False, masks_after=False,
        data=None):
    colours = palette_of(rows) if 0 < bits <= 8 else []
    if data is None:
        lines = pixel_bytes(rows, bits, colours)
        data = b"".join(lines if top_down else lines[::-1])
    pixels = data
    height = -H if top_down else H
    if header == 12:
        info = struct.pack("<IHHHH", 12, W, H, 1, bits)
        table = b"".join(bytes((b, g, r)) for r, g, b in colours)
    else:
        info = struct.pack("<IiiHHIIiiII", header, W, height, 1, bits, compression,
                           len(pixels), 2835, 2835, len(colours), 0)
        if header >= 108:
            info += MASKS + b"BGRs" + bytes(36) + bytes(12)
        if header == 124:
            info += struct.pack("<IIII", 4, 0, 0, 0)
        info = info[:header]
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
        if masks_after:
            table = MASKS[:12]
    offset = 14 + len(info) + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + table + pixels


def png_bytes(rows):
    raw = b"".join(b"\0" + bytes(v for c in row for v in c) for row in rows)
    chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(
        ">I", zlib.crc32(t + d))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


plain = picture(0)
write("py-1-info40.bmp", bmp(plain, 1))
write("py-1-info40-topdown.bmp", bmp(plain, 1, top_down=True))
write("py-4-info40.bmp", bmp(picture(6), 4))
write("py-8-info40.bmp", bmp(picture(20), 8))
write("py-24-info40.bmp", bmp(plain, 24))
write("py-24-info40-topdown.bmp", bmp(plain, 24, top_down=True))
write("py-24-core12.bmp", bmp(plain, 24, header=12))
write("py-32-info40.bmp", bmp(plain, 32))
write("py-32-info40-bitfields.bmp", bmp(plain, 32, compression=3, masks_after=True))
write("py-32-v4-bitfields.bmp", bmp(plain, 32, header=108, compression=3))
write("py-32-v5-bitfields-topdown.bmp", bmp(plain, 32, header=124, compression=3, top_down=True))
# Refused: compressed rows, a picture of another format inside, lies and cuts.
write("bad-py-8-rle8.bmp", bmp(picture(20), 8, compression=1, data=bytes((24, 0)) * H + b"\0\1"))
write("bad-py-4-rle4.bmp", bmp(picture(6), 4, compression=2, data=bytes((24, 0)) * H + b"\0\1"))
write("bad-py-png-inside.bmp", bmp(plain, 0, compression=5, data=png_bytes(plain)))
write("bad-py-jpeg-inside.bmp", bmp(plain, 0, compression=4, data=b"\xff\xd8\xff\xe0" + bytes(60)))
write("bad-py-24-bitfields.bmp", bmp(plain, 24, compression=3, masks_after=True))
write("bad-py-32-info40-bitfields-nomasks.bmp", bmp(plain, 32, compression=3))
write("bad-py-24-truncated.bmp", bmp(plain, 24)[:-40])

# ImageMagick: the sources, then each way it writes them.
for greys in (0, 6, 20):
    write(f"src{greys}.png", png_bytes(picture(greys)))
for out, src, args in [
    ("im-1-v4.bmp", "src0.png", ["-type", "Bilevel"]),
    ("im-1-bmp3.bmp", "src0.png", ["-type", "Bilevel"]),
    ("im-4-v5.bmp", "src6.png", ["-type", "Palette", "-compress", "None"]),
    ("im-8-v5.bmp", "src20.png", ["-type", "Palette", "-compress", "None"]),
    ("im-8-bmp3.bmp", "src20.png", ["-type", "Palette", "-compress", "None"]),
    ("im-24-v5.bmp", "src0.png", []),
    ("im-24-bmp3.bmp", "src0.png", ["-type", "TrueColor"]),
    ("im-32-v5-bitfields.bmp", "src0.png", ["-type", "TrueColorAlpha"]),
    ("bad-im-8-rle8.bmp", "src20.png", ["-type", "Palette", "-compress", "RLE"]),
]:
    target = ("BMP3:" if "bmp3" in out else "") + out
    subprocess.run(["convert", src, *args, target], check=True)
for greys in (0, 6, 20):
    subprocess.run(["rm", f"src{greys}.png"], check=True)
