#!/usr/bin/env python3
"""Draws the icons of Demtrel and Sarvent and writes them as .ico files.

Every picture is described once on a 32-unit grid and rendered at each size a
DPI from 96 to 192 asks for: 16, 20 and 24 pixels for small icons (tray,
caption, page tree), 32, 40 and 48 for large ones. The program's and the tray's
icons carry 32-bit images with an alpha channel. The page-tree icons are
16-colour images, opaque on the window colour: the tree's image list keeps 16
colours and no mask, so more would only make the program larger. Sarvent's icon
is a 16-colour image, as the Control Panel of the target systems expects. The
two largest sizes of every icon are compressed as PNG (below).

usage: make-icons.py OUTPUT_DIR
"""

import collections
import math
import os
import struct
import sys
import zlib

# The first image is the one the system takes when a program asks for an icon at
# its own size, as the application object does: it stays the 32-pixel image.
SIZES = (32, 16, 20, 24, 40, 48)


# ---------------------------------------------------------------- shapes
# A shape is made for one image size: given the size's grid (below) it gives a
# predicate on grid coordinates (0..32 in both directions). At sizes the grid
# does not divide (20, 24, 40, 48) the straight edges of rectangles and the
# centres of circles move to the nearest pixel edge, so that edges stay sharp
# instead of turning into a blurred or half-covered row; slanted shapes keep
# their exact place.


class Grid:
    def __init__(self, size):
        self.pixel = 32 / size
        # At 16 and 32 pixels the pixel centres decide already, as they always did.
        self.exact = 32 % size == 0

    def edge(self, v):
        """The pixel edge nearest to v, halves downwards: where a pixel's centre decides."""
        if self.exact:
            return v
        return math.ceil(v / self.pixel - 0.5) * self.pixel


def rect(x0, y0, x1, y1):
    def at(grid):
        sx0, sy0, sx1, sy1 = (grid.edge(v) for v in (x0, y0, x1, y1))
        return lambda x, y: sx0 <= x < sx1 and sy0 <= y < sy1

    return at


def rounded_rect(x0, y0, x1, y1, r):
    def at(grid):
        sx0, sy0, sx1, sy1 = (grid.edge(v) for v in (x0, y0, x1, y1))

        def inside(x, y):
            if not (sx0 <= x < sx1 and sy0 <= y < sy1):
                return False
            cx = min(max(x, sx0 + r), sx1 - r)
            cy = min(max(y, sy0 + r), sy1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

        return inside

    return at


def circle(cx, cy, r):
    # Centred on a pixel corner, a circle comes out symmetric; elsewhere it is
    # lopsided or grows spikes at small sizes.
    def at(grid):
        scx, scy = grid.edge(cx), grid.edge(cy)
        return lambda x, y: (x - scx) ** 2 + (y - scy) ** 2 <= r * r

    return at


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    return lambda grid: inside


def wave(x0, x1, cy, amplitude, periods, width):
    """A sine stroke from x0 to x1 around cy."""
    half = width / 2

    def inside(x, y):
        if not (x0 - half <= x <= x1 + half):
            return False
        xc = min(max(x, x0), x1)
        phase = (xc - x0) / (x1 - x0) * periods * 2 * math.pi
        centre = cy - amplitude * math.sin(phase)
        slope = amplitude * math.cos(phase) * periods * 2 * math.pi / (x1 - x0)
        distance = abs(y - centre) / math.sqrt(1 + slope * slope)
        return distance <= half and abs(x - xc) <= half

    return lambda grid: inside


# ---------------------------------------------------------------- colours

WINDOW = (255, 255, 255)
OUTLINE = (38, 50, 64)
BLUE = (33, 102, 172)
LIGHT_BLUE = (120, 172, 222)
WHITE = (255, 255, 255)


# ---------------------------------------------------------------- pictures
# Each picture is (background or None, [(shape, colour), ...]) painted in order.
# Edges on even grid lines keep the 16-pixel images sharp.


def app_picture(body=BLUE, rails=LIGHT_BLUE):
    return None, [
        (rounded_rect(0, 2, 32, 30, 5), OUTLINE),
        (rounded_rect(2, 4, 30, 28, 4), body),
        (rect(6, 8, 8, 24), rails),
        (rect(14, 8, 16, 24), rails),
        (rect(22, 8, 24, 24), rails),
        (rounded_rect(3, 17, 11, 21, 1), WHITE),
        (rounded_rect(11, 10, 19, 14, 1), WHITE),
        (rounded_rect(19, 14, 27, 18, 1), WHITE),
    ]


def sarvent_picture():
    # Colours taken from the 16-colour palette, so nothing is approximated.
    return app_picture(body=(0, 0, 128), rails=(128, 128, 128))


# The page tree keeps its images at the system's default depth of 16 colours, so
# the page pictures use only colours of that palette and survive it unchanged.
BLACK = (0, 0, 0)
NAVY = (0, 0, 128)
TEAL = (0, 128, 128)
DARK_GREEN = (0, 128, 0)
DARK_GREY = (128, 128, 128)
SILVER = (192, 192, 192)
BRIGHT_GREEN = (0, 255, 0)
RED = (255, 0, 0)


def general_picture():
    return WINDOW, [
        (rect(2, 4, 30, 26), BLACK),
        (rect(4, 10, 28, 24), WHITE),
        (rect(4, 6, 28, 10), NAVY),
        (rect(8, 14, 24, 16), DARK_GREY),
        (rect(8, 18, 20, 20), DARK_GREY),
        (rect(10, 26, 22, 28), BLACK),
    ]


def devices_picture():
    return WINDOW, [
        (rect(0, 10, 32, 24), BLACK),
        (rect(2, 12, 30, 22), SILVER),
        (circle(7, 17, 3.2), BLACK),
        (circle(7, 17, 1.5), DARK_GREY),
        (circle(15, 17, 3.2), BLACK),
        (circle(15, 17, 1.5), DARK_GREY),
        (rect(22, 14, 26, 16), BRIGHT_GREEN),
        (rect(22, 18, 28, 20), BLACK),
    ]


def settings_picture():
    return WINDOW, [
        (rect(2, 6, 30, 8), DARK_GREY),
        (rect(2, 16, 30, 18), DARK_GREY),
        (rect(2, 26, 30, 28), DARK_GREY),
        (rect(18, 2, 24, 12), BLACK),
        (rect(20, 4, 22, 10), TEAL),
        (rect(6, 12, 12, 22), BLACK),
        (rect(8, 14, 10, 20), TEAL),
        (rect(14, 22, 20, 32), BLACK),
        (rect(16, 24, 18, 30), TEAL),
    ]


def channels_picture():
    # One level meter per channel.
    shapes = [(rect(0, 28, 32, 30), BLACK)]
    for index, level in enumerate((10, 4, 16, 8)):
        left = 2 + 8 * index
        shapes += [
            (rect(left, 2, left + 6, 28), SILVER),
            (rect(left, level, left + 6, 28), DARK_GREEN),
            (rect(left, level, left + 6, level + 2), BRIGHT_GREEN),
        ]
    return WINDOW, shapes


def streams_picture():
    return WINDOW, [
        (wave(2, 22, 9, 4, 1.5, 2.8), NAVY),
        (wave(2, 22, 23, 4, 1.5, 2.8), DARK_GREEN),
        (polygon([(22, 2), (31, 9), (22, 16)]), NAVY),
        (polygon([(22, 16), (31, 23), (22, 30)]), DARK_GREEN),
    ]


def synch_picture():
    return WINDOW, [
        (circle(16, 16, 15), BLACK),
        (circle(16, 16, 13), WHITE),
        (rect(14, 4, 18, 8), DARK_GREY),
        (rect(14, 24, 18, 28), DARK_GREY),
        (rect(4, 14, 8, 18), DARK_GREY),
        (rect(24, 14, 28, 18), DARK_GREY),
        (rect(14, 8, 18, 18), BLACK),
        (rect(14, 14, 24, 18), BLACK),
        (rect(14, 14, 18, 18), RED),
    ]


def dropouts_picture():
    # A level meter that breaks off: the bars of a take with a gap in it.
    shapes = [(rect(0, 28, 32, 30), BLACK)]
    for index, level in enumerate((12, 6, 0, 10)):
        left = 2 + 8 * index
        if level == 0:
            shapes += [(rect(left + 2, 8, left + 4, 20), RED), (rect(left + 2, 22, left + 4, 26), RED)]
            continue
        shapes += [
            (rect(left, level, left + 6, 28), DARK_GREEN),
            (rect(left, level, left + 6, level + 2), BRIGHT_GREEN),
        ]
    return WINDOW, shapes


def tray_warning_picture():
    # The program's icon with a warning sign over its lower right corner.
    background, shapes = app_picture()
    return background, shapes + [
        (polygon([(20, 12), (32, 32), (8, 32)]), OUTLINE),
        (polygon([(20, 15), (29.5, 30.5), (10.5, 30.5)]), (255, 204, 0)),
        (rect(19, 19, 21, 26), BLACK),
        (rect(19, 27, 21, 29), BLACK),
    ]


# ---------------------------------------------------------------- rendering


def render(picture, size, samples):
    """Returns rows of (r, g, b, a) from top to bottom, with samples x samples per pixel."""
    background, shapes = picture
    grid = Grid(size)
    shapes = [(shape(grid), fill) for shape, fill in shapes]
    scale = 32 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    colour, alpha = (background, 1.0) if background else ((0, 0, 0), 0.0)
                    for shape, fill in shapes:
                        if shape(x, y):
                            colour, alpha = fill, 1.0
                    r += colour[0] * alpha
                    g += colour[1] * alpha
                    b += colour[2] * alpha
                    a += alpha
            n = samples * samples
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
        rows.append(row)
    return rows


# The standard 16-colour palette (black, dark and bright primaries, greys, white).
PALETTE_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def nearest_palette_index(colour):
    return min(
        range(16),
        key=lambda i: sum((colour[c] - PALETTE_16[i][c]) ** 2 for c in range(3)),
    )


# ---------------------------------------------------------------- file format


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def and_mask(rows, size):
    """1 bit per pixel, set where the pixel is transparent; bottom row first."""
    data = b""
    for row in reversed(rows):
        bits = bytearray((size + 7) // 8)
        for x, pixel in enumerate(row):
            if pixel[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += padded(bytes(bits))
    return data


def bitmap_header(size, bpp, image_bytes, colours):
    return struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bpp, 0, image_bytes, 0, 0, colours, 0)


def image_32bpp(rows, size):
    pixels = b""
    for row in reversed(rows):
        pixels += b"".join(struct.pack("BBBB", b, g, r, a) for r, g, b, a in row)
    mask = and_mask(rows, size)
    return bitmap_header(size, 32, len(pixels) + len(mask), 0) + pixels + mask, 0, 32


def image_4bpp(rows, size):
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE_16)
    pixels = b""
    for row in reversed(rows):
        nibbles = [0 if p[3] < 128 else nearest_palette_index(p) for p in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        pixels += padded(packed)
    mask = and_mask(rows, size)
    header = bitmap_header(size, 4, len(pixels) + len(mask), 16)
    return header + palette + pixels + mask, 16, 4


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_pixels(raw_rows):
    """The compressed rows, each after its filter byte: 0 leaves a row as it is, 2
    stores its difference from the row above, which long flat runs compress best;
    whichever of the two is shorter."""

    def filtered(filter_type):
        data = b""
        previous = bytes(len(raw_rows[0]))
        for raw in raw_rows:
            if filter_type == 2:
                data += b"\2" + bytes((a - b) & 0xFF for a, b in zip(raw, previous))
            else:
                data += b"\0" + raw
            previous = raw
        return zlib.compress(data, 9)

    return min((filtered(f) for f in (0, 2)), key=len)


def png_file(size, depth, colour_type, extra_chunks, raw_rows):
    header = struct.pack(">IIBBBBB", size, size, depth, colour_type, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + extra_chunks
    return png + png_chunk(b"IDAT", png_pixels(raw_rows)) + png_chunk(b"IEND", b"")


# The two largest sizes are stored as PNG, an eighth or less of the bitmap's
# bytes with the same pixels, read by every system from Windows Vista on. The
# smaller ones stay bitmaps, which every part of the system reads.


def image_png(rows, size):
    """A 32-bit image: 8-bit red, green, blue and alpha."""
    raw_rows = [b"".join(struct.pack("BBBB", *pixel) for pixel in row) for row in rows]
    return png_file(size, 8, 6, b"", raw_rows), 0, 32


def image_png_4bit(rows, size):
    """A 16-colour image: 4-bit indexes into the 16-colour palette. Where it lets
    the background through, it takes a colour it does not use and marks that
    one transparent."""
    opaque = [[None if p[3] < 128 else nearest_palette_index(p) for p in row] for row in rows]
    used = {index for row in opaque for index in row if index is not None}
    clear = min(set(range(16)) - used) if any(None in row for row in opaque) else None
    chunks = png_chunk(b"PLTE", b"".join(bytes(colour) for colour in PALETTE_16))
    if clear is not None:
        chunks += png_chunk(b"tRNS", bytes([255] * clear + [0]))
    raw_rows = []
    for row in opaque:
        nibbles = [clear if index is None else index for index in row]
        raw_rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2)))
    return png_file(size, 4, 3, chunks, raw_rows), 16, 4


# encode and samples per image size; samples is how many samples per pixel in
# each direction. Full-colour images are smoothed where a shape is round or
# slanted, except at 16 pixels, where smoothing blurs the picture more than it
# helps. Palette images are sampled once per pixel, since blended edge colours
# have no good match among 16 colours (and the page tree reduces them to 16
# colours anyway).
Format = collections.namedtuple("Format", "encode samples")
FULL_COLOUR = Format(
    {size: image_png if size >= 40 else image_32bpp for size in SIZES},
    {size: 1 if size == 16 else 4 for size in SIZES},
)
SIXTEEN_COLOURS = Format(
    {size: image_png_4bit if size >= 40 else image_4bpp for size in SIZES},
    {size: 1 for size in SIZES},
)


def icon_file(picture, image_format):
    images = [
        (size,) + image_format.encode[size](render(picture, size, image_format.samples[size]), size)
        for size in SIZES
    ]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data, colours, bpp in images:
        entries += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data, _, _ in images)


ICONS = {
    "app.ico": (app_picture, FULL_COLOUR),
    "page-general.ico": (general_picture, SIXTEEN_COLOURS),
    "page-devices.ico": (devices_picture, SIXTEEN_COLOURS),
    "page-settings.ico": (settings_picture, SIXTEEN_COLOURS),
    "page-channels.ico": (channels_picture, SIXTEEN_COLOURS),
    "page-streams.ico": (streams_picture, SIXTEEN_COLOURS),
    "page-synch.ico": (synch_picture, SIXTEEN_COLOURS),
    "page-dropouts.ico": (dropouts_picture, SIXTEEN_COLOURS),
    "tray-warning.ico": (tray_warning_picture, FULL_COLOUR),
    "sarvent.ico": (sarvent_picture, SIXTEEN_COLOURS),
}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, (picture, image_format) in ICONS.items():
        with open(os.path.join(sys.argv[1], name), "wb") as out:
            out.write(icon_file(picture(), image_format))


if __name__ == "__main__":
    main()
