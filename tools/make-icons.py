#!/usr/bin/env python3
"""Draws the icons of Demtrel and Sarvent and writes them as .ico files.

Every picture is described once on a 32-unit grid and rendered at 16 and 32
pixels. Demtrel's icons carry 32-bit images with an
alpha channel; the page-tree icons are opaque on the window colour because the
tree's image list has no mask. Sarvent's icon is a 16-colour image, as the
Control Panel of the target systems expects.

usage: make-icons.py OUTPUT_DIR
"""

import collections
import math
import os
import struct
import sys

SIZES = (32, 16)


# ---------------------------------------------------------------- shapes
# A shape is a predicate on grid coordinates (0..32 in both directions).


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, inner, outer):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def arc(cx, cy, inner, outer, start_deg, end_deg):
    """Part of a ring; angles in degrees, 0 pointing right, counting clockwise on screen."""
    band = ring(cx, cy, inner, outer)

    def inside(x, y):
        if not band(x, y):
            return False
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return start_deg <= angle <= end_deg or start_deg <= angle + 360 <= end_deg

    return inside


def segment(ax, ay, bx, by, width):
    """A stroke with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    half = width / 2

    def inside(x, y):
        t = 0 if length2 == 0 else max(0, min(1, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half * half

    return inside


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

    return inside


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

    return inside


# ---------------------------------------------------------------- colours

WINDOW = (255, 255, 255)
OUTLINE = (38, 50, 64)
BLUE = (33, 102, 172)
LIGHT_BLUE = (120, 172, 222)
GREY = (112, 120, 128)
LIGHT_GREY = (214, 218, 222)
GREEN = (46, 160, 67)
ORANGE = (232, 128, 24)
WHITE = (255, 255, 255)


# ---------------------------------------------------------------- pictures
# Each picture is (background or None, [(shape, colour), ...]) painted in order.


def app_picture(body=BLUE, rails=LIGHT_BLUE):
    return None, [
        (rounded_rect(1, 3, 31, 29, 5), OUTLINE),
        (rounded_rect(2.5, 4.5, 29.5, 27.5, 4), body),
        (rect(8, 8, 10, 24), rails),
        (rect(15, 8, 17, 24), rails),
        (rect(22, 8, 24, 24), rails),
        (rounded_rect(5, 17, 13, 22, 1.5), WHITE),
        (rounded_rect(12, 10, 20, 15, 1.5), WHITE),
        (rounded_rect(19, 14, 27, 19, 1.5), WHITE),
    ]


def sarvent_picture():
    # Colours taken from the 16-colour palette, so nothing is approximated.
    return app_picture(body=(0, 0, 128), rails=(128, 128, 128))


def general_picture():
    return WINDOW, [
        (rounded_rect(2, 4, 30, 26, 2), OUTLINE),
        (rect(4, 9, 28, 24), WHITE),
        (rect(4, 6, 28, 8.5), BLUE),
        (rect(7, 12, 25, 14), GREY),
        (rect(7, 17, 20, 19), GREY),
        (rect(10, 26, 22, 29), OUTLINE),
    ]


def devices_picture():
    return WINDOW, [
        (rounded_rect(1, 9, 31, 24, 2), OUTLINE),
        (rect(2.5, 10.5, 29.5, 22.5), LIGHT_GREY),
        (circle(8, 16.5, 3.5), OUTLINE),
        (circle(8, 16.5, 2), GREY),
        (circle(16, 16.5, 3.5), OUTLINE),
        (circle(16, 16.5, 2), GREY),
        (circle(25, 14, 2), GREEN),
        (rect(22, 18, 28, 20), OUTLINE),
    ]


def settings_picture():
    return WINDOW, [
        (segment(4, 8, 28, 8, 2.5), GREY),
        (segment(4, 16, 28, 16, 2.5), GREY),
        (segment(4, 24, 28, 24, 2.5), GREY),
        (rounded_rect(17, 4, 23, 12, 1.5), OUTLINE),
        (rounded_rect(18.5, 5.5, 21.5, 10.5, 0.5), LIGHT_BLUE),
        (rounded_rect(7, 12, 13, 20, 1.5), OUTLINE),
        (rounded_rect(8.5, 13.5, 11.5, 18.5, 0.5), LIGHT_BLUE),
        (rounded_rect(21, 20, 27, 28, 1.5), OUTLINE),
        (rounded_rect(22.5, 21.5, 25.5, 26.5, 0.5), LIGHT_BLUE),
    ]


def channels_picture():
    shapes = [(rounded_rect(2, 5, 30, 27, 2), OUTLINE), (rect(3.5, 6.5, 28.5, 25.5), LIGHT_GREY)]
    for cx in (9, 23):
        for cy in (11, 21):
            shapes += [
                (circle(cx, cy, 4), OUTLINE),
                (circle(cx, cy, 2.8), GREY),
                (circle(cx, cy, 1.4), OUTLINE),
            ]
    return WINDOW, shapes


def streams_picture():
    return WINDOW, [
        (wave(3, 24, 10, 4, 1.5, 2.5), BLUE),
        (wave(3, 24, 22, 4, 1.5, 2.5), GREEN),
        (polygon([(24, 4), (31, 10), (24, 16)]), BLUE),
        (polygon([(24, 16), (31, 22), (24, 28)]), GREEN),
    ]


def synch_picture():
    return WINDOW, [
        (circle(16, 16, 14.5), OUTLINE),
        (circle(16, 16, 12.5), WHITE),
        (rect(15, 4.5, 17, 7.5), GREY),
        (rect(15, 24.5, 17, 27.5), GREY),
        (rect(4.5, 15, 7.5, 17), GREY),
        (rect(24.5, 15, 27.5, 17), GREY),
        (segment(16, 16, 16, 8, 2.5), OUTLINE),
        (segment(16, 16, 22, 19, 2.5), OUTLINE),
        (arc(16, 16, 9.5, 11, 200, 330), ORANGE),
        (circle(16, 16, 2), ORANGE),
    ]


# ---------------------------------------------------------------- rendering


def render(picture, size, samples):
    """Returns rows of (r, g, b, a) from top to bottom, with samples x samples per pixel."""
    background, shapes = picture
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


# Full-colour images are smoothed; palette images are sampled once per pixel,
# since blended edge colours have no good match among 16 colours.
Format = collections.namedtuple("Format", "encode samples")
FULL_COLOUR = Format(image_32bpp, 4)
SIXTEEN_COLOURS = Format(image_4bpp, 1)


def icon_file(picture, image_format):
    images = [
        (size,) + image_format.encode(render(picture, size, image_format.samples), size)
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
    "page-general.ico": (general_picture, FULL_COLOUR),
    "page-devices.ico": (devices_picture, FULL_COLOUR),
    "page-settings.ico": (settings_picture, FULL_COLOUR),
    "page-channels.ico": (channels_picture, FULL_COLOUR),
    "page-streams.ico": (streams_picture, FULL_COLOUR),
    "page-synch.ico": (synch_picture, FULL_COLOUR),
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
