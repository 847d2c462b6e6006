#!/usr/bin/python3
"""Draw Quelvo's bitmaps and icon.

Run from the repository root:  /usr/bin/python3 assets/draw_artwork.py
Writes the BMP/ICO files next to this script; the C++ build only embeds the
outputs.  Enlarged PNG copies go to /tmp/artwork_preview/ for eyeballing.

Every bitmap comes at 100 % (name.bmp) and 200 % (name_200.bmp); the program
scales the nearest larger one down for other DPIs.  The 200 % images and the
logo are reduced to 256 colours, and every picture of 256 colours or fewer is
stored with a palette and run-length encoded, to keep the executable small.
"""

import math
import os
import random
import struct

from PIL import Image, ImageDraw, ImageFilter, ImageFont

OUT_DIR = os.path.dirname(os.path.abspath(__file__))
PREVIEW_DIR = "/tmp/artwork_preview"
PREVIEW_SCALE = 6

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
SANS = FONT_DIR + "DejaVuSans.ttf"
BOLD = FONT_DIR + "DejaVuSans-Bold.ttf"
COND_BOLD = FONT_DIR + "DejaVuSansCondensed-Bold.ttf"

OVERSAMPLE = 4              # supersampling factor for shapes
SCALE = 1                   # 1 while drawing the 100 % images, 2 for 200 %
SS = OVERSAMPLE * SCALE     # art coordinates in 100 % pixels times SS
BADGE_SIZE = (88, 31)
PIVORON_SIZE = (90, 30)

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# The 16 colours every Windows display can show, in the order icons expect.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# (size, bits per pixel) in the order the icon directory lists them: the
# small icon at 100, 125, 150 and 200 %, the large one up to 200 %.
ICON_IMAGES = [(16, 4), (16, 8), (20, 8), (24, 8), (32, 4), (32, 8), (48, 8),
               (64, 8)]


# ---------------------------------------------------------------- helpers

def font(path, size):
    return ImageFont.truetype(path, size)


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def shade(colour, factor):
    """Darken (factor < 1) or lighten towards white (factor > 1)."""
    if factor <= 1:
        return tuple(round(c * factor) for c in colour)
    return lerp(colour, WHITE, factor - 1)


def vertical_gradient(img, top, bottom, y0=0, y1=None):
    """y0 and y1 in 100 % pixels."""
    y0 = y0 * SCALE
    y1 = img.height if y1 is None else y1 * SCALE
    draw = ImageDraw.Draw(img)
    for y in range(y0, y1):
        t = (y - y0) / max(1, y1 - y0 - 1)
        draw.line([(0, y), (img.width - 1, y)], fill=lerp(top, bottom, t))


def shaded_sphere(draw, cx, cy, r, dark, light, steps=40):
    """Concentric discs drifting towards the upper left fake a lit sphere."""
    for i in range(steps + 1):
        t = i / steps
        rr = r * (1 - 0.9 * t)
        ox = cx - r * 0.38 * t
        oy = cy - r * 0.38 * t
        col = lerp(dark, light, t ** 0.8)
        draw.ellipse([ox - rr, oy - rr, ox + rr, oy + rr], fill=col)


def iso_cube(draw, cx, cy, s, top, left, right):
    """Isometric cube whose front vertical edge is centred on (cx, cy)."""
    w = s * 0.866
    c = (cx, cy)
    t, ul, ur = (cx, cy - s), (cx - w, cy - s / 2), (cx + w, cy - s / 2)
    b, bl, br = (cx, cy + s), (cx - w, cy + s / 2), (cx + w, cy + s / 2)
    draw.polygon([t, ur, c, ul], fill=top)
    draw.polygon([ul, c, b, bl], fill=left)
    draw.polygon([c, ur, br, b], fill=right)


def downsample(img, k=SS):
    return img.resize((img.width // k, img.height // k), Image.LANCZOS)


def set_scale(scale):
    global SCALE, SS
    SCALE, SS = scale, OVERSAMPLE * scale


def scaled_name(name):
    stem, ext = os.path.splitext(name)
    return name if SCALE == 1 else "%s_%d%s" % (stem, SCALE * 100, ext)


def save_bmp(img, name, colours=None):
    """With `colours`, reduced to that many; a picture of 256 colours or fewer
    is stored with a palette, run-length encoded where that is smaller (both
    load natively, to the same pixels); any other stays 24-bit."""
    name = scaled_name(name)
    img = img.convert("RGB")
    if colours:
        img = img.quantize(colors=colours, method=Image.Quantize.MEDIANCUT,
                           dither=Image.Dither.FLOYDSTEINBERG).convert("RGB")
    path = os.path.join(OUT_DIR, name)
    used = img.getcolors(256)
    if used:
        write_palette_bmp(img, [colour for _, colour in used], path)
    else:
        img.save(path, "BMP")
    preview(img, name)


def rle8_row(row):
    """One row in BI_RLE8: runs of one index, literal stretches of three or
    more indices (padded to a word), the row's end marker."""
    out, i, n = bytearray(), 0, len(row)
    while i < n:
        run = 1
        while i + run < n and run < 255 and row[i + run] == row[i]:
            run += 1
        if run >= 2:
            out += bytes([run, row[i]])
            i += run
            continue
        end = i
        while end < n and end - i < 255 and not (
                end + 2 < n and row[end] == row[end + 1] == row[end + 2]):
            end += 1
        literal = row[i:end]
        if len(literal) < 3:
            for index in literal:
                out += bytes([1, index])
        else:
            out += bytes([0, len(literal)]) + literal
            if len(literal) % 2:
                out += b"\0"
        i = end
    return out + b"\0\0"


def write_palette_bmp(img, palette, path):
    """8 bits per pixel, bottom-up, with exactly the colours it uses."""
    index = {colour: i for i, colour in enumerate(palette)}
    width, height = img.size
    pixels = list(img.getdata())
    rows = [bytes(index[c] for c in pixels[y * width:(y + 1) * width])
            for y in reversed(range(height))]
    raw = b"".join(row + bytes(-width % 4) for row in rows)
    rle = b"".join(rle8_row(row) for row in rows)[:-2] + b"\0\1"
    compression, data = (1, rle) if len(rle) < len(raw) else (0, raw)
    table = b"".join(bytes([b, g, r, 0]) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, compression,
                       len(data), 2835, 2835, len(palette), len(palette))
    with open(path, "wb") as out:
        out.write(header + info + table + data)


def preview(img, name, scale=PREVIEW_SCALE):
    os.makedirs(PREVIEW_DIR, exist_ok=True)
    big = img.resize((img.width * scale, img.height * scale), Image.NEAREST)
    big.save(os.path.join(PREVIEW_DIR, os.path.splitext(name)[0] + ".png"))


# ----------------------------------------------------------------- badges

def badge(size, background, art=None):
    """Background at the final scale, vector art supersampled on top of it;
    size and art coordinates are in 100 % pixels."""
    w, h = size
    scaled = (w * SCALE, h * SCALE)
    if callable(background):
        img = Image.new("RGB", scaled, WHITE)
        background(img)
    else:
        img = Image.new("RGB", scaled, background)
    if art:
        layer = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
        art(ImageDraw.Draw(layer))
        small = downsample(layer, OVERSAMPLE)
        img.paste(small, (0, 0), small)
    return img


def border(img, colour):
    ImageDraw.Draw(img).rectangle([0, 0, img.width - 1, img.height - 1],
                                  outline=colour, width=SCALE)


def text(img, xy, words, face, size, fill, anchor="la", smooth=True):
    """Position and size in 100 % pixels.  Larger images are always smoothed:
    the program only ever shrinks them."""
    draw = ImageDraw.Draw(img)
    draw.fontmode = "L" if smooth or SCALE > 1 else "1"
    draw.text((xy[0] * SCALE, xy[1] * SCALE), words,
              font=font(face, size * SCALE), fill=fill, anchor=anchor)


def butterfly(draw, cx, cy, s, wing, vein, body):
    """Four wings, upper pair larger, around a slim body; s is half-width."""
    k = SS
    cx, cy, s = cx * k, cy * k, s * k
    for side in (-1, 1):
        upper = [(cx, cy - s * 0.1), (cx + side * s * 0.55, cy - s * 0.95),
                 (cx + side * s * 1.0, cy - s * 0.75),
                 (cx + side * s * 0.85, cy - s * 0.05), (cx, cy + s * 0.05)]
        lower = [(cx, cy + s * 0.05), (cx + side * s * 0.8, cy + s * 0.05),
                 (cx + side * s * 0.75, cy + s * 0.6),
                 (cx + side * s * 0.35, cy + s * 0.85), (cx, cy + s * 0.35)]
        draw.polygon(upper, fill=wing, outline=vein)
        draw.polygon(lower, fill=wing, outline=vein)
        draw.line([(cx, cy), (cx + side * s * 0.6, cy - s * 0.6)],
                  fill=vein, width=k // 2)
        draw.line([(cx, cy - s * 0.45), (cx + side * s * 0.3, cy - s * 1.05)],
                  fill=body, width=k // 2)
    draw.ellipse([cx - k * 0.6, cy - s * 0.5, cx + k * 0.6, cy + s * 0.55],
                 fill=body)


def draw_cortona():
    blue, light_blue = (16, 64, 160), (40, 110, 210)

    def bg(img):
        vertical_gradient(img, light_blue, blue)

    def art(d):
        butterfly(d, 14, 15.5, 11, (215, 232, 255, 255), (150, 185, 235, 255),
                  (20, 40, 90, 255))

    img = badge(BADGE_SIZE, bg, art)
    # hard-edged capitals read crisper on this blue; the 8 px caption
    # needs smoothing or "LI" collapses into a "U"
    text(img, (57, 13), "CORTONA", COND_BOLD, 11, WHITE, "ms", smooth=False)
    text(img, (57, 24), "VRML CLIENT", COND_BOLD, 8, (200, 220, 255), "ms")
    border(img, (8, 32, 90))
    return img


def draw_blaxxun():
    grey, green = (64, 66, 68), (70, 200, 70)

    def art(d):
        cx, cy, r = 15 * SS, 15.5 * SS, 12 * SS
        d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=green + (255,))
        r2 = r - 2.2 * SS
        d.ellipse([cx - r2, cy - r2, cx + r2, cy + r2], fill=(0, 0, 0, 255))
        hl = r2 * 0.55
        d.arc([cx - hl - SS, cy - hl - SS, cx + hl - SS, cy + hl - SS],
              200, 250, fill=(90, 90, 90, 255), width=SS)

    img = badge(BADGE_SIZE, grey, art)
    text(img, (57, 13), "Blaxxun", BOLD, 10, WHITE, "ms")
    text(img, (57, 25), "Contact", BOLD, 10, green, "ms")
    border(img, (20, 20, 20))
    return img


def draw_bscontact():
    blue, yellow, ink = (20, 70, 190), (250, 195, 0), (20, 30, 60)

    def art(d):
        cx, cy = 15 * SS, 15.5 * SS
        ring(d, cx - 2.5 * SS, cy, 8.5 * SS, 2.6 * SS, blue)
        ring(d, cx + 2.5 * SS, cy, 8.5 * SS, 2.6 * SS, yellow)
        # re-lay the blue ring's right side so the two rings interlock
        r = 8.5 * SS
        d.arc([cx - 2.5 * SS - r, cy - r, cx - 2.5 * SS + r, cy + r],
              -40, 10, fill=blue + (255,), width=round(2.6 * SS))

    img = badge(BADGE_SIZE, WHITE, art)
    text(img, (33, 14), "BS", BOLD, 11, ink, "ls")
    text(img, (33, 26), "Contact", BOLD, 11, ink, "ls")
    border(img, (120, 130, 150))
    return img


def ring(draw, cx, cy, r, width, colour):
    draw.ellipse([cx - r, cy - r, cx + r, cy + r], outline=colour + (255,),
                 width=round(width))


def draw_pivoron():
    blue = (30, 80, 200)

    def bg(img):
        vertical_gradient(img, WHITE, (246, 246, 246), 0, 18)
        vertical_gradient(img, (214, 214, 218), (170, 170, 176), 18, 30)

    def art(d):
        shaded_sphere(d, 14 * SS, 14.5 * SS, 11 * SS, (70, 70, 76, 255),
                      (250, 250, 252, 255))

    img = badge(PIVORON_SIZE, bg, art)
    text(img, (58, 19), "pivoron", BOLD, 11, blue, "ms")
    border(img, (128, 128, 136))
    return img


def spiral_points(cx, cy, r, turns, steps=200):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        a = -math.pi / 2 + t * turns * 2 * math.pi
        rr = r * (0.12 + 0.88 * t)
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    return pts


def draw_cosmoplayer():
    yellow = (255, 214, 0)

    def art(d):
        pts = spiral_points(15 * SS, 15.5 * SS, 11 * SS, 2.4)
        d.line(pts, fill=yellow + (255,), width=round(1.8 * SS),
               joint="curve")

    img = badge(BADGE_SIZE, BLACK, art)
    text(img, (57, 13), "Cosmo", BOLD, 11, WHITE, "ms", smooth=False)
    text(img, (57, 25), "Player", BOLD, 11, WHITE, "ms", smooth=False)
    border(img, (110, 110, 110))
    return img


def octagon(cx, cy, r):
    return [(cx + r * math.cos(math.pi / 8 + i * math.pi / 4),
             cy + r * math.sin(math.pi / 8 + i * math.pi / 4))
            for i in range(8)]


def draw_octaga():
    navy, mid = (10, 24, 80), (24, 48, 130)
    orange = (255, 150, 30)

    def bg(img):
        vertical_gradient(img, mid, navy)

    def art(d):
        cx, cy = 14 * SS, 15.5 * SS
        d.polygon(octagon(cx, cy, 10.5 * SS), fill=orange + (255,))
        d.polygon(octagon(cx, cy, 7.5 * SS), fill=navy + (255,))
        d.polygon(octagon(cx, cy, 4 * SS), fill=(255, 215, 140, 255))

    img = badge(BADGE_SIZE, bg, art)
    text(img, (57, 13), "Octaga", BOLD, 11, WHITE, "ms", smooth=False)
    text(img, (57, 25), "Player", SANS, 10, (255, 190, 110), "ms",
         smooth=False)
    border(img, (4, 10, 40))
    return img


def draw_flux():
    ink, blue = (30, 34, 40), (30, 90, 210)

    def art(d):
        iso_cube(d, 15 * SS, 16 * SS, 10.5 * SS, shade(blue, 1.45),
                 blue, shade(blue, 0.6))

    img = badge(BADGE_SIZE, WHITE, art)
    text(img, (57, 14), "Flux", BOLD, 11, ink, "ms", smooth=False)
    text(img, (57, 25), "Player", SANS, 10, blue, "ms", smooth=False)
    border(img, (140, 150, 170))
    return img


BADGES = {
    "badge_cortona.bmp": draw_cortona,
    "badge_blaxxun.bmp": draw_blaxxun,
    "badge_bscontact.bmp": draw_bscontact,
    "badge_pivoron.bmp": draw_pivoron,
    "badge_cosmoplayer.bmp": draw_cosmoplayer,
    "badge_octaga.bmp": draw_octaga,
    "badge_flux.bmp": draw_flux,
}


# ------------------------------------------------------------ icon scene

# Smooth shading for the 256-colour images.  Each solid has a dark, a base
# and a light tone.
ICON_SMOOTH = {
    "red": ((110, 0, 0), (228, 28, 28), (255, 190, 180)),
    "yellow": ((170, 130, 0), (248, 208, 0), (255, 242, 120)),
    "blue": ((10, 20, 120), (40, 84, 240), (140, 175, 255)),
    "green": ((15, 110, 25), (40, 175, 45), (120, 230, 100)),
    "floor": (0, 86, 110), "grid": (0, 215, 240), "edge": (16, 16, 28),
}

# The 16-colour images keep to the fixed palette so nothing gets dithered.
ICON_FLAT = {
    "red": ((128, 0, 0), (255, 0, 0), (255, 255, 255)),
    "yellow": ((128, 128, 0), (255, 255, 0), (255, 255, 0)),
    "blue": ((0, 0, 128), (0, 0, 255), (0, 0, 255)),
    "green": ((0, 128, 0), (0, 255, 0), (0, 255, 0)),
    "floor": (0, 128, 128), "grid": (0, 255, 255), "edge": (0, 0, 0),
}


def ramp(tones, t, flat):
    """t = 0 is the shadow side, 1 the highlight."""
    dark, base, light = tones
    if flat:
        return base if t >= 0.45 else dark
    if t < 0.7:
        return lerp(dark, base, t / 0.7)
    return lerp(base, light, (t - 0.7) / 0.3)


def _mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t)


def floor_grid(draw, u, pal, lines, width):
    """Floor seen at an angle: back edge narrow, front edge full width."""
    bl, br = (0.14 * u, 0.36 * u), (0.86 * u, 0.36 * u)
    fl, fr = (0.0, 0.98 * u), (u - 1.0, 0.98 * u)
    draw.polygon([bl, br, fr, fl], fill=pal["floor"])
    for i in range(lines + 1):
        t = i / lines
        draw.line([_mix(bl, br, t), _mix(fl, fr, t)], fill=pal["grid"],
                  width=width)
        # rows bunch up towards the back to sell the depth
        d = t ** 1.5
        draw.line([_mix(bl, fl, d), _mix(br, fr, d)], fill=pal["grid"],
                  width=width)


def ball(draw, cx, cy, r, pal, flat, width):
    tones = pal["red"]
    if flat:
        disc(draw, cx, cy, r, tones[0])
        disc(draw, cx - 0.14 * r, cy - 0.14 * r, 0.8 * r, tones[1])
        disc(draw, cx - 0.4 * r, cy - 0.4 * r, 0.2 * r, tones[2])
    else:
        steps = 40
        for i in range(steps + 1):
            t = i / steps
            o = 0.4 * r * t
            disc(draw, cx - o, cy - o, r * (1 - 0.92 * t),
                 ramp(tones, t, False))
    draw.ellipse([cx - r, cy - r, cx + r, cy + r], outline=pal["edge"],
                 width=width)


def disc(draw, cx, cy, r, fill):
    draw.ellipse([cx - r, cy - r, cx + r, cy + r], fill=fill)


def cone(draw, apex, base, radii, pal, flat, width, steps=48):
    """Fan of thin triangles so each sliver gets its own light level."""
    (bx, by), (rx, ry) = base, radii
    pts = [(bx + rx * math.cos(math.pi * i / steps),
            by + ry * math.sin(math.pi * i / steps)) for i in range(steps + 1)]
    for i in range(steps):
        a = math.pi * (i + 0.5) / steps
        light = 0.5 + 0.5 * math.cos(a - 2.2)
        draw.polygon([apex, pts[i], pts[i + 1]],
                     fill=ramp(pal["blue"], light, flat))
    draw.line([pts[0], apex, pts[-1]], fill=pal["edge"], width=width)
    draw.line(pts, fill=pal["edge"], width=width)


def pyramid(draw, apex, corners, pal, width):
    left, front, right = corners
    dark, _, light = pal["green"]
    draw.polygon([apex, left, front], fill=light)
    draw.polygon([apex, front, right], fill=dark)
    draw.line([left, apex, right, front, left], fill=pal["edge"],
              width=width, joint="curve")
    draw.line([apex, front], fill=pal["edge"], width=width)


def box(draw, cx, cy, s, pal, width):
    dark, base, light = pal["yellow"]
    iso_cube(draw, cx, cy, s, light, base, dark)
    w = s * 0.866
    edges = [(cx - w, cy - s / 2), (cx, cy - s), (cx + w, cy - s / 2),
             (cx + w, cy + s / 2), (cx, cy + s), (cx - w, cy + s / 2)]
    draw.polygon(edges, outline=pal["edge"], width=width)
    for far in ((cx - w, cy - s / 2), (cx + w, cy - s / 2), (cx, cy + s)):
        draw.line([(cx, cy), far], fill=pal["edge"], width=width)


def icon_scene(px, flat):
    """RGBA scene, px square: cube and cone at the back, sphere and
    pyramid in front, all standing on a grid floor."""
    k = 8
    u = px * k
    pal = ICON_FLAT if flat else ICON_SMOOTH
    ow = k if px < 48 else round(k * 1.25)       # outlines about 1 pixel
    img = Image.new("RGBA", (u, u), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    floor_grid(d, u, pal, 4, k)
    box(d, 0.25 * u, 0.27 * u, 0.19 * u, pal, ow)
    cone(d, (0.70 * u, 0.03 * u), (0.70 * u, 0.42 * u), (0.18 * u, 0.05 * u),
         pal, flat, ow)
    ball(d, 0.28 * u, 0.755 * u, 0.205 * u, pal, flat, ow)
    pyramid(d, (0.76 * u, 0.52 * u),
            ((0.52 * u, 0.86 * u), (0.70 * u, 0.96 * u), (0.97 * u, 0.84 * u)),
            pal, ow)
    return img.resize((px, px), Image.LANCZOS)


# At 16 pixels smooth shapes turn to mush, so that size is drawn by hand.
# Letters pick a tone from the icon palettes; "." is transparent.
ICON16_FLOOR = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "..CCCCCCCCCCCC..",
    "..CTTTCTTCTTTC..",
    ".CTTTCTTTTCTTTC.",
    ".CCCCCCCCCCCCCC.",
    ".CTTCTTTTTTCTTC.",
    "CTTTCTTTTTTCTTTC",
    "CTTCTTTTTTTTCTTC",
    "CTTCTTTTTTTTCTTC",
    "CCCCCCCCCCCCCCCC",
]

# (left, top, rows) for each solid, painted over the floor in this order.
ICON16_SOLIDS = [
    (0, 1, ["..KKKKKK",
            ".KLLLLKK",
            "KKKKKKyK",
            "KYYYYKyK",
            "KYYYYKyK",
            "KYYYYKyK",
            "KYYYYKK.",
            "KKKKKK.."]),
    (9, 0, ["...K...",
            "..KHK..",
            "..KHK..",
            ".KHBbK.",
            ".KHBbK.",
            "KBHBbbK",
            "KBHBbbK",
            ".KKKKK."]),
    (0, 9, ["..KKK..",
            ".KRRRK.",
            "KRWRRrK",
            "KRRRRrK",
            "KRRRrrK",
            ".KrrrK.",
            "..KKK.."]),
    (7, 8, ["....K....",
            "...KGK...",
            "..KGGgK..",
            "..KGGgK..",
            ".KGGGggK.",
            ".KGGGggK.",
            "KGGGGgggK",
            "KKKKKKKKK"]),
]


def icon16_tones(pal):
    (rd, rb, rl), (yd, yb, yl) = pal["red"], pal["yellow"]
    (bd, bb, bl), (gd, _, gl) = pal["blue"], pal["green"]
    return {"K": pal["edge"], "C": pal["grid"], "T": pal["floor"],
            "r": rd, "R": rb, "W": rl, "y": yd, "Y": yb, "L": yl,
            "b": bd, "B": bb, "H": bl, "g": gd, "G": gl}


def icon16(flat):
    grid = [list(row) for row in ICON16_FLOOR]
    for left, top, rows in ICON16_SOLIDS:
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch != ".":
                    grid[top + y][left + x] = ch
    tones = icon16_tones(ICON_FLAT if flat else ICON_SMOOTH)
    img = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
    for y, row in enumerate(grid):
        for x, ch in enumerate(row):
            if ch != ".":
                img.putpixel((x, y), tones[ch] + (255,))
    return img


# ------------------------------------------------------------- ico writer

def colour_distance(a, b):
    return 2 * (a[0] - b[0]) ** 2 + 4 * (a[1] - b[1]) ** 2 + \
        3 * (a[2] - b[2]) ** 2


def nearest_index(colour, palette, cache):
    if colour not in cache:
        cache[colour] = min(range(len(palette)),
                            key=lambda i: colour_distance(colour, palette[i]))
    return cache[colour]


def adaptive_palette(pixels):
    """255 colours fitted to the opaque pixels, plus black for the holes."""
    strip = Image.new("RGB", (len(pixels), 1))
    strip.putdata(pixels)
    q = strip.quantize(colors=255, method=Image.MEDIANCUT)
    flat = q.getpalette()
    used = max(q.getdata()) + 1
    pal = [tuple(flat[i:i + 3]) for i in range(0, 3 * used, 3)]
    pal += [BLACK] * (256 - len(pal))
    return pal


def index_image(rgba, bpp):
    """Palette indices (row-major, top-down), palette and opacity flags."""
    data = list(rgba.getdata())
    opaque = [a >= 128 for _, _, _, a in data]
    rgb = [p[:3] for p in data]
    if bpp == 4:
        palette = VGA16
    else:
        palette = adaptive_palette([c for c, o in zip(rgb, opaque) if o])
    cache = {}
    hole = palette.index(BLACK)
    idx = [nearest_index(c, palette, cache) if o else hole
           for c, o in zip(rgb, opaque)]
    return idx, palette, opaque


def pad4(row):
    return row + b"\0" * (-len(row) % 4)


def pack_rows(values, width, bpp):
    """Bottom-up rows of `bpp`-bit values, each row padded to 4 bytes."""
    rows = []
    per_byte = 8 // bpp
    for y in range(len(values) // width - 1, -1, -1):
        row = values[y * width:(y + 1) * width]
        out = bytearray()
        for x in range(0, width, per_byte):
            byte = 0
            for j, v in enumerate(row[x:x + per_byte]):
                byte |= v << (8 - bpp * (j + 1))
            out.append(byte)
        rows.append(pad4(bytes(out)))
    return b"".join(rows)


def ico_entry_image(rgba, bpp):
    size = rgba.width
    idx, palette, opaque = index_image(rgba, bpp)
    colours = 1 << bpp
    xor = pack_rows(idx, size, bpp)
    mask = pack_rows([0 if o else 1 for o in opaque], size, 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0)
                   for r, g, b in palette[:colours])
    return header + pal + xor + mask


def write_ico(images, name):
    """images: list of (RGBA image, bits per pixel), written in that order."""
    blobs = [ico_entry_image(img, bpp) for img, bpp in images]
    offset = 6 + 16 * len(blobs)
    out = struct.pack("<HHH", 0, 1, len(blobs))
    for (img, bpp), blob in zip(images, blobs):
        count = 16 if bpp == 4 else 0
        out += struct.pack("<BBBBHHII", img.width % 256, img.height % 256,
                           count, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    with open(os.path.join(OUT_DIR, name), "wb") as f:
        f.write(out + b"".join(blobs))


def draw_icon():
    images = []
    for size, bpp in ICON_IMAGES:
        flat = bpp == 4
        art = icon16(flat) if size == 16 else icon_scene(size, flat)
        images.append((art, bpp))
    write_ico(images, "quelvo.ico")


# ------------------------------------------------------------ power glyph

POWER_GLYPH = [
    "............",
    ".....##.....",
    "...#.##.#...",
    "..#..##..#..",
    ".#...##...#.",
    ".#...##...#.",
    ".#........#.",
    ".#........#.",
    "..#......#..",
    "...#....#...",
    "....####....",
    "............",
]


POWER_RED, POWER_DARK_RED = (210, 30, 30), (140, 10, 10)


def draw_power():
    """12 pixels, set by hand; larger sizes are drawn as shapes."""
    if SCALE > 1:
        return draw_power_smooth(12 * SCALE)
    red, dark_red = POWER_RED, POWER_DARK_RED
    img = Image.new("RGB", (12, 12), red)
    ImageDraw.Draw(img).rectangle([0, 0, 11, 11], outline=dark_red)
    for y, row in enumerate(POWER_GLYPH):
        for x, ch in enumerate(row):
            if ch == "#":
                img.putpixel((x, y), WHITE)
    return img


def draw_power_smooth(size):
    """The same glyph as shapes: an open ring with a bar through its gap."""
    k = OVERSAMPLE
    u = size * k
    img = Image.new("RGB", (u, u), POWER_RED)
    d = ImageDraw.Draw(img)
    edge = size / 12 * k
    d.rectangle([0, 0, u - 1, u - 1], outline=POWER_DARK_RED,
                width=round(edge))
    r, stroke = 0.30 * u, round(0.095 * u)
    c = (u / 2, u * 0.56)
    d.arc([c[0] - r, c[1] - r, c[0] + r, c[1] + r], -60, 240, fill=WHITE,
          width=stroke)
    d.line([(u / 2, u * 0.14), (u / 2, u * 0.50)], fill=WHITE,
           width=round(0.13 * u))
    return downsample(img, k)


# ------------------------------------------------------------------ logo

LOGO_SIZE = (118, 200)
LOGO_SS = 8
# The about window stretches the logo over its picture box, 1935 x 3645
# twips: 129 x 243 pixels at 100 %.  It is drawn at that size so that the
# program never blows it up.
LOGO_SHOWN = (129, 243)
STONE_CENTRE, STONE_RADII = (59, 78), (53, 70)
WORDMARK_COLOUR = (150, 58, 32)

# Lizard spine, head first: (x, y, half-width) in logo pixels.
LIZARD_SPINE = [
    (59, 17, 1.8), (59, 21, 4.8), (59, 26, 6.2), (59, 31, 5.4),
    (59, 36, 4.4), (59, 42, 5.8), (59.5, 51, 7.6), (60, 62, 8.0),
    (60.5, 72, 7.0), (61, 80, 5.2), (62, 90, 4.0), (63, 101, 3.3),
    (61, 112, 2.8), (55, 122, 2.4), (46, 126, 2.1), (38, 122, 1.8),
    (35, 114, 1.6), (39, 107, 1.4), (45, 108, 1.2), (46, 113, 1.0),
]

# Shoulder, elbow/knee, foot, and the direction the toes fan towards.
LIZARD_LEGS = [
    ((55, 46), (42, 49), (38, 38), -105),
    ((64, 46), (77, 49), (81, 38), -75),
    ((56, 74), (43, 70), (39, 83), 125),
    ((65, 74), (78, 70), (82, 83), 55),
]


def catmull_rom(points, samples=12):
    """Smooth curve through (x, y, w) points; w is interpolated too."""
    pts = [points[0]] + points + [points[-1]]
    out = []
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[i + 1], pts[i + 2]
        for s in range(samples):
            t = s / samples
            out.append(tuple(
                0.5 * (2 * b + (c - a) * t
                       + (2 * a - 5 * b + 4 * c - d) * t * t
                       + (3 * b - a - 3 * c + d) * t ** 3)
                for a, b, c, d in zip(p0, p1, p2, p3)))
    out.append(points[-1])
    return out


def stone_mask(k):
    """Pebble outline: an ellipse with a few gentle bumps."""
    (cx, cy), (rx, ry) = STONE_CENTRE, STONE_RADII
    pts = []
    for i in range(180):
        a = 2 * math.pi * i / 180
        bump = 1 + 0.05 * math.sin(3 * a + 1) + 0.035 * math.sin(5 * a + 2)
        pts.append(((cx + rx * bump * math.cos(a)) * k,
                    (cy + ry * bump * math.sin(a)) * k))
    mask = Image.new("L", (LOGO_SIZE[0] * k, LOGO_SIZE[1] * k), 0)
    ImageDraw.Draw(mask).polygon(pts, fill=255)
    return mask


def stone(k):
    """Grey pebble lit from the upper left, with a little grit."""
    w, h = LOGO_SIZE[0] * k, LOGO_SIZE[1] * k
    (cx, cy), (rx, ry) = STONE_CENTRE, STONE_RADII
    rng = random.Random(7)
    lx, ly, lz = -0.45, -0.55, 0.70
    img = Image.new("RGB", (w, h), WHITE)
    px = img.load()
    for y in range(h):
        ny = (y / k - cy) / ry
        for x in range(w):
            nx = (x / k - cx) / rx
            nz = math.sqrt(max(0.0, 1 - nx * nx - ny * ny)) * 0.8
            light = max(0.0, (nx * lx + ny * ly + nz * lz))
            g = 92 + 110 * light + rng.uniform(-9, 9)
            px[x, y] = (round(g), round(g), round(g * 1.02))
    return img


def lizard_mask(k):
    mask = Image.new("L", (LOGO_SIZE[0] * k, LOGO_SIZE[1] * k), 0)
    d = ImageDraw.Draw(mask)
    for x, y, r in catmull_rom(LIZARD_SPINE):
        d.ellipse([(x - r) * k, (y - r) * k, (x + r) * k, (y + r) * k],
                  fill=255)
    for leg in LIZARD_LEGS:
        draw_leg(d, leg, k)
    return mask


def draw_leg(d, leg, k):
    hip, knee, foot, toe_dir = leg
    d.line([scale_pt(hip, k), scale_pt(knee, k)], fill=255,
           width=round(4.2 * k))
    d.line([scale_pt(knee, k), scale_pt(foot, k)], fill=255,
           width=round(3.2 * k))
    for p in (knee, foot):
        r = 1.7 * k
        x, y = scale_pt(p, k)
        d.ellipse([x - r, y - r, x + r, y + r], fill=255)
    for spread in (-50, -17, 17, 50):
        a = math.radians(toe_dir + spread)
        tip = (foot[0] + 4.6 * math.cos(a), foot[1] + 4.6 * math.sin(a))
        d.line([scale_pt(foot, k), scale_pt(tip, k)], fill=255,
               width=round(1.2 * k))
        r = 0.9 * k
        x, y = scale_pt(tip, k)
        d.ellipse([x - r, y - r, x + r, y + r], fill=255)


def scale_pt(p, k):
    return (p[0] * k, p[1] * k)


def draw_logo():
    """Drawn large, then stretched to the picture box at the current scale."""
    k = LOGO_SS
    img = Image.new("RGB", (LOGO_SIZE[0] * k, LOGO_SIZE[1] * k), WHITE)
    rock = stone_mask(k)
    img.paste((96, 96, 100), (0, 0), rock)
    img.paste(stone(k), (0, 0), rock.filter(ImageFilter.MinFilter(k + 1)))
    lizard = lizard_mask(k)
    img.paste(BLACK, (0, 0), lizard_shadow(lizard, rock, k))
    img.paste((14, 14, 16), (0, 0), lizard)
    draw_lizard_sheen(img, k)
    wordmark(img, k)
    return img.resize((LOGO_SHOWN[0] * SCALE, LOGO_SHOWN[1] * SCALE),
                      Image.LANCZOS)


def lizard_shadow(lizard, rock, k):
    """Soft shadow down and to the right, kept on the stone."""
    shifted = Image.new("L", lizard.size, 0)
    shifted.paste(lizard, (int(2.5 * k), 3 * k))
    shadow = shifted.filter(ImageFilter.GaussianBlur(2.5 * k))
    shadow = shadow.point(lambda v: v * 0.45)
    return Image.composite(shadow, Image.new("L", shadow.size, 0), rock)


def draw_lizard_sheen(img, k):
    """A faint dorsal highlight and two eyes keep the black body readable."""
    d = ImageDraw.Draw(img)
    spine = catmull_rom(LIZARD_SPINE[5:10])
    d.line([(x * k - 1.5 * k, y * k) for x, y, _ in spine], fill=(44, 45, 48),
           width=round(1.2 * k), joint="curve")
    for ex in (56.0, 62.0):
        d.ellipse([(ex - 1) * k, 23 * k, (ex + 1) * k, 25 * k],
                  fill=(150, 150, 130))


def wordmark(img, k):
    f = font(BOLD, 24 * k)
    d = ImageDraw.Draw(img)
    x, y = LOGO_SIZE[0] // 2 * k, 184 * k
    d.text((x + k, y + k), "QUELVO", font=f, fill=(200, 190, 180),
           anchor="ms")
    d.text((x, y), "QUELVO", font=f, fill=WORDMARK_COLOUR, anchor="ms")


# ------------------------------------------------------------------- main

def main():
    for scale in (1, 2):
        set_scale(scale)
        # the 100 % badges keep full colour: they are shown as they are
        for name, painter in BADGES.items():
            save_bmp(painter(), name, None if scale == 1 else 256)
        save_bmp(draw_power(), "power.bmp")
        save_bmp(draw_logo(), "logo.bmp", 256)
    draw_icon()


if __name__ == "__main__":
    main()
