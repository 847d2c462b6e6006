#!/usr/bin/python3
"""Checks the bitmaps that quelvo.exe embeds: each palette picture's data follows Microsoft's BI_RLE8 rules to the
letter (a run never crosses its row, every row ends, the picture ends once and nothing follows) and decodes to the
pixels that Pillow's own reader gives; a picture of 256 colours or fewer is never stored in 24 bits.

    /usr/bin/python3 check_artwork.py ASSETS_FOLDER
"""

import glob
import os
import struct
import sys

from PIL import Image


def decode_rle8(data, width, height):
    """Rows bottom-up as lists of palette indices; raises ValueError where the stream breaks a rule."""
    rows, row, i = [], [], 0
    while True:
        if i + 2 > len(data):
            raise ValueError("the data ends before the end-of-bitmap marker")
        count, value = data[i], data[i + 1]
        i += 2
        if count:
            row += [value] * count
        elif value == 0:
            rows.append(row)
            row = []
        elif value == 1:
            rows.append(row)
            break
        elif value == 2:
            raise ValueError("a delta leaves pixels undefined")
        else:
            row += list(data[i:i + value])
            i += value + value % 2
        if len(row) > width:
            raise ValueError("a run crosses the end of row %d" % len(rows))
    if i != len(data):
        raise ValueError("%d bytes follow the end-of-bitmap marker" % (len(data) - i))
    if len(rows) != height or any(len(r) != width for r in rows):
        raise ValueError("%d rows of widths %s for %dx%d" % (len(rows), sorted({len(r) for r in rows}), width, height))
    return rows


def check(path):
    """The problems of one file, as sentences."""
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    size, width, height, planes, bits, compression, image_bytes, _, _, used = struct.unpack_from("<IiiHHIIiiI", data, 14)
    picture = Image.open(path)
    pixels = list(picture.convert("RGB").getdata())
    if bits == 24:
        colours = len(set(pixels))
        return ["%d colours stored in 24 bits (a palette holds them)" % colours] if colours <= 256 else []
    if bits != 8 or compression not in (0, 1):
        return ["%d bits per pixel, compression %d: neither 8-bit nor 24-bit" % (bits, compression)]
    table = [tuple(data[14 + size + 4 * k + c] for c in (2, 1, 0)) for k in range(used or 256)]
    if compression == 0:
        return []
    stream = data[offset:]
    if image_bytes != len(stream):
        return ["the header's image size %d is not the data's %d bytes" % (image_bytes, len(stream))]
    try:
        rows = decode_rle8(stream, width, height)
    except ValueError as error:
        return [str(error)]
    try:
        decoded = [table[index] for row in reversed(rows) for index in row]
    except IndexError:
        return ["an index beyond the palette's %d colours" % len(table)]
    if decoded != pixels:
        wrong = sum(a != b for a, b in zip(decoded, pixels))
        return ["%d pixels differ from what Pillow reads" % wrong]
    return []


def main():
    folder = sys.argv[1]
    paths = sorted(glob.glob(os.path.join(folder, "*.bmp")))
    if not paths:
        print("no bitmap in %s" % folder)
        return 1
    failed = 0
    for path in paths:
        for problem in check(path):
            print("%s: %s" % (os.path.basename(path), problem))
            failed += 1
    print("%d bitmaps checked, %d problems" % (len(paths), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
