#!/usr/bin/env python3
# Writes KESTRUNE.ico (icon 128 of the Windows program): 32 and 16 pixel images of 16 colours each
# from the PNGs in the folder given, then the full-colour PNGs of icons/ for displays of any scale.
# Usage: make_ico.py FOLDER_OF_16_COLOUR_PNGS OUTPUT.ico (make_icons.sh runs it).
import pathlib
import struct
import sys
import zlib

HERE = pathlib.Path(__file__).resolve().parent
SIZES = (32, 16)
COLOURS = 16
# Full-colour images as 32-bit bitmaps with alpha; 256 pixels as PNG, as Windows Vista and later
# read it (older ones pick the nearest bitmap).
FULL_COLOUR_SIZES = (16, 24, 32, 48, 64)
PNG_SIZE = 256


def png_chunks(data):
    position = 8
    while position < len(data):
        (length,) = struct.unpack(">I", data[position:position + 4])
        yield data[position + 4:position + 8], data[position + 8:position + 8 + length]
        position += 12 + length


def paeth(left, up, up_left):
    guess = left + up - up_left
    distances = (abs(guess - left), abs(guess - up), abs(guess - up_left))
    return (left, up, up_left)[distances.index(min(distances))]


def unfilter(raw, width, height):
    """The RGBA rows of an 8-bit, non-interlaced PNG."""
    stride = width * 4
    rows, previous, offset = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[offset], bytearray(raw[offset + 1:offset + 1 + stride])
        offset += 1 + stride
        for x in range(stride):
            left = line[x - 4] if x >= 4 else 0
            up_left = previous[x - 4] if x >= 4 else 0
            predictor = (0, left, previous[x], (left + previous[x]) // 2,
                         paeth(left, previous[x], up_left))[kind]
            line[x] = (line[x] + predictor) & 0xFF
        rows.append(bytes(line))
        previous = line
    return rows


def read_rgba(path):
    data = path.read_bytes()
    header, pixels = None, b""
    for kind, body in png_chunks(data):
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            pixels += body
    width, height, depth, colour_type, _, _, interlace = header
    if (depth, colour_type, interlace) != (8, 6, 0):
        sys.exit(f"{path}: want 8-bit RGBA without interlacing")
    return width, height, unfilter(zlib.decompress(pixels), width, height)


def icon_image(width, height, rows):
    """One 4-bit icon image: header, palette, colour bits and mask, bottom row first."""
    opaque = [[row[4 * x + 3] >= 128 for x in range(width)] for row in rows]
    palette = sorted({row[4 * x:4 * x + 3] for y, row in enumerate(rows)
                      for x in range(width) if opaque[y][x]})
    if len(palette) > COLOURS:
        sys.exit(f"{width}x{height}: {len(palette)} colours, at most {COLOURS} fit")
    palette += [b"\0\0\0"] * (COLOURS - len(palette))
    index = {colour: number for number, colour in enumerate(palette)}
    colour_bits, mask_bits = b"", b""
    mask_stride = ((width + 31) // 32) * 4
    for y in reversed(range(height)):
        row = rows[y]
        nibbles = [index[row[4 * x:4 * x + 3]] if opaque[y][x] else 0 for x in range(width)]
        colour_bits += bytes(nibbles[x] << 4 | nibbles[x + 1] for x in range(0, width, 2))
        mask = 0
        for x in range(width):
            mask = mask << 1 | (0 if opaque[y][x] else 1)
        mask_bits += mask.to_bytes((width + 7) // 8, "big").ljust(mask_stride, b"\0")
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 4, 0,
                         len(colour_bits) + len(mask_bits), 0, 0, COLOURS, 0)
    quads = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    return header + quads + colour_bits + mask_bits


def full_colour_image(width, height, rows):
    """One 32-bit icon image: header, BGRA pixels and mask, bottom row first."""
    pixels, mask_bits = b"", b""
    mask_stride = ((width + 31) // 32) * 4
    for y in reversed(range(height)):
        row = rows[y]
        pixels += b"".join(bytes((row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]))
                           for x in range(width))
        mask = 0
        for x in range(width):
            mask = mask << 1 | (1 if row[4 * x + 3] == 0 else 0)
        mask_bits += mask.to_bytes((width + 7) // 8, "big").ljust(mask_stride, b"\0")
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0,
                         len(pixels) + len(mask_bits), 0, 0, 0, 0)
    return header + pixels + mask_bits


def main():
    four_bit, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    images = []  # (size, colours, bits per pixel, body)
    for size in SIZES:
        width, height, rows = read_rgba(four_bit / f"kestrune-{size}.png")
        images.append((width, COLOURS, 4, icon_image(width, height, rows)))
    for size in FULL_COLOUR_SIZES:
        width, height, rows = read_rgba(HERE / "icons" / f"kestrune-{size}.png")
        images.append((width, 0, 32, full_colour_image(width, height, rows)))
    images.append((PNG_SIZE, 0, 32, (HERE / "icons" / f"kestrune-{PNG_SIZE}.png").read_bytes()))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, bodies = b"", b""
    for size, colours, bits, body in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                               len(body), offset)
        offset += len(body)
        bodies += body
    output.write_bytes(directory + entries + bodies)


if __name__ == "__main__":
    main()
