#!/usr/bin/env python3
"""Generate resources/RURA_Win.ico, the launcher's application icon.

The picture (a generic application window: dark frame, blue title bar with
minimise / maximise / close buttons, white client area) is drawn here from
scratch for each size and colour depth; the output is byte-for-byte the same
on every run.  Python 3 standard library only.

Rerun:
    python3 resources/make_icon.py                      # rewrite the .ico
    python3 resources/make_icon.py --preview OUT.png    # also render all eight
                                                        # images side by side
    python3 resources/make_icon.py --preview OUT.png --scale 4

Images, in directory order: 32 and 16 px 4-bit (standard 16-colour table,
fully opaque); 48, 32 and 16 px 8-bit (own 256-colour table, AND mask for the
transparent margin); 48, 32 and 16 px 32-bit (per-pixel alpha, soft shadow).
Every image is an uncompressed DIB with a 1-bit AND mask.
"""

import argparse
import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ICO_PATH = os.path.join(HERE, "RURA_Win.ico")

# --------------------------------------------------------------------------
# Palettes
# --------------------------------------------------------------------------

# Standard Windows 16-colour table (classic VGA values), in table order.
VGA16 = [
    (0, 0, 0),        # black
    (128, 0, 0),      # maroon
    (0, 128, 0),      # green
    (128, 128, 0),    # olive
    (0, 0, 128),      # navy
    (128, 0, 128),    # purple
    (0, 128, 128),    # teal
    (128, 128, 128),  # grey
    (192, 192, 192),  # silver
    (255, 0, 0),      # red
    (0, 255, 0),      # lime
    (255, 255, 0),    # yellow
    (0, 0, 255),      # blue
    (255, 0, 255),    # fuchsia
    (0, 255, 255),    # aqua
    (255, 255, 255),  # white
]


def palette256():
    """16 standard colours, a 6x6x6 colour cube, then 24 greys."""
    pal = list(VGA16)
    steps = (0, 51, 102, 153, 204, 255)
    for r in steps:
        for g in steps:
            for b in steps:
                pal.append((r, g, b))
    for i in range(24):
        v = 8 + 10 * i
        pal.append((v, v, v))
    assert len(pal) == 256
    return pal


PAL256 = palette256()

# --------------------------------------------------------------------------
# Colours per drawing style.  Every value is (r, g, b); the 4-bit style uses
# exact entries of VGA16, the others are free and get quantised if needed.
# --------------------------------------------------------------------------

COLOURS = {
    "vga": {
        "frame": (0, 0, 128),
        "title_top": (0, 0, 255),
        "title_bottom": (0, 0, 255),
        "title_edge": (0, 0, 255),
        "client": (255, 255, 255),
        "button": (192, 192, 192),
        "glyph": (0, 0, 0),
        "close": (255, 0, 0),
        "close_glyph": (255, 255, 255),
        "small_glyph": (255, 255, 255),
        "text": (192, 192, 192),
    },
    "pal": {
        "frame": (0, 51, 102),
        "title_top": (51, 102, 204),
        "title_bottom": (0, 102, 204),
        "title_edge": (0, 51, 153),
        "client": (255, 255, 255),
        "button": (204, 204, 204),
        "glyph": (0, 51, 102),
        "close": (204, 51, 51),
        "close_glyph": (255, 255, 255),
        "small_glyph": (255, 255, 255),
        "text": (204, 204, 204),
    },
    "rgba": {
        "frame": (22, 44, 92),
        "title_top": (78, 146, 240),
        "title_bottom": (24, 92, 206),
        "title_edge": (16, 66, 160),
        "client": (255, 255, 255),
        "button": (232, 238, 248),
        "glyph": (20, 46, 104),
        "close": (214, 56, 44),
        "close_glyph": (255, 255, 255),
        "small_glyph": (255, 255, 255),
        "text": (214, 220, 230),
    },
}

# --------------------------------------------------------------------------
# Shapes (signed distance: negative inside)
# --------------------------------------------------------------------------


def sd_rrect(px, py, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    ox, oy = max(qx, 0.0), max(qy, 0.0)
    return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - r


def sd_segment(px, py, ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy)) - half_width


# --------------------------------------------------------------------------
# Canvas with premultiplied RGBA floats (0..1)
# --------------------------------------------------------------------------


class Canvas:
    def __init__(self, size, samples):
        self.size = size
        self.samples = samples  # per axis; 1 = pixel centre only (hard edges)
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def _blend(self, x, y, rgb, alpha):
        if alpha <= 0.0:
            return
        p = self.px[y * self.size + x]
        k = 1.0 - alpha
        p[0] = rgb[0] / 255.0 * alpha + p[0] * k
        p[1] = rgb[1] / 255.0 * alpha + p[1] * k
        p[2] = rgb[2] / 255.0 * alpha + p[2] * k
        p[3] = alpha + p[3] * k

    def fill(self, sdf, bbox, colour):
        """Fill where sdf(x, y) <= 0.  colour is (r,g,b) or a function of y."""
        n = self.samples
        offs = [(i + 0.5) / n for i in range(n)]
        x0, y0, x1, y1 = bbox
        xa, ya = max(0, int(math.floor(x0)) - 1), max(0, int(math.floor(y0)) - 1)
        xb = min(self.size, int(math.ceil(x1)) + 1)
        yb = min(self.size, int(math.ceil(y1)) + 1)
        for y in range(ya, yb):
            rgb = colour(y + 0.5) if callable(colour) else colour
            for x in range(xa, xb):
                hits = 0
                for sy in offs:
                    for sx in offs:
                        if sdf(x + sx, y + sy) <= 0.0:
                            hits += 1
                if hits:
                    self._blend(x, y, rgb, hits / float(n * n))

    def rect(self, x0, y0, x1, y1, colour, r=0.0):
        self.fill(lambda px, py: sd_rrect(px, py, x0, y0, x1, y1, r),
                  (x0, y0, x1, y1), colour)

    def line(self, ax, ay, bx, by, width, colour):
        h = width / 2.0
        self.fill(lambda px, py: sd_segment(px, py, ax, ay, bx, by, h),
                  (min(ax, bx) - h, min(ay, by) - h,
                   max(ax, bx) + h, max(ay, by) + h), colour)

    def shadow(self, x0, y0, x1, y1, r, blur, strength):
        """Soft black shadow of a rounded rectangle, sampled per pixel."""
        for y in range(self.size):
            for x in range(self.size):
                d = sd_rrect(x + 0.5, y + 0.5, x0, y0, x1, y1, r)
                if d <= 0.0:
                    a = strength
                else:
                    a = strength * math.exp(-(d / blur) ** 2)
                if a >= 2.0 / 255.0:  # drop the faint tail
                    self._blend(x, y, (0, 0, 0), a)

    def straight_rgba(self):
        """Rows top first; each pixel (r, g, b, a) as 0..255 ints."""
        out = []
        for y in range(self.size):
            row = []
            for x in range(self.size):
                r, g, b, a = self.px[y * self.size + x]
                ai = int(round(a * 255.0))
                if ai <= 0:
                    row.append((0, 0, 0, 0))
                    continue
                row.append((min(255, int(round(r / a * 255.0))),
                            min(255, int(round(g / a * 255.0))),
                            min(255, int(round(b / a * 255.0))),
                            ai))
            out.append(row)
        return out


# --------------------------------------------------------------------------
# The picture, laid out by hand for each size.
#   win      outer window rectangle (frame included), pixel edges
#   radius   corner radius of the frame (smooth styles only)
#   title    (y0, y1) of the title bar, inside the frame
#   buttons  [(kind, x0, y0, x1, y1)] caption buttons, kind in min/max/close
#   text     optional short title-text bar (x0, y0, x1, y1)
#   shadow   (dx, dy, blur, strength) for the 32-bit style
# "Full" layouts fill the whole square (used where every pixel is opaque).
# --------------------------------------------------------------------------

LAYOUTS = {
    (48, False): {
        "win": (2, 3, 45, 44), "radius": 2.5, "title": (4, 17),
        "buttons": [("min", 14, 6, 23, 15), ("max", 24, 6, 33, 15),
                    ("close", 34, 6, 43, 15)],
        "text": (5, 9, 12, 12),
        "shadow": (1.0, 1.5, 1.6, 0.45),
    },
    (32, False): {
        "win": (1, 2, 30, 29), "radius": 1.5, "title": (3, 10),
        "buttons": [("min", 12, 4, 17, 9), ("max", 18, 4, 23, 9),
                    ("close", 24, 4, 29, 9)],
        "text": (3, 5, 8, 7),
        "shadow": (0.8, 1.2, 1.2, 0.45),
    },
    (32, True): {
        "win": (0, 0, 32, 32), "radius": 0.0, "title": (1, 8),
        "buttons": [("min", 13, 2, 18, 7), ("max", 19, 2, 24, 7),
                    ("close", 25, 2, 30, 7)],
        "text": (2, 3, 8, 5),
        "shadow": None,
    },
    (16, False): {
        "win": (0, 1, 15, 15), "radius": 0.8, "title": (2, 6),
        "buttons": [("min", 5, 3, 7, 5), ("max", 8, 3, 10, 5),
                    ("close", 11, 3, 13, 5)],
        "text": None,
        "shadow": (0.6, 0.6, 0.5, 0.40),
    },
    (16, True): {
        "win": (0, 0, 16, 16), "radius": 0.0, "title": (1, 5),
        "buttons": [("min", 6, 2, 8, 4), ("max", 9, 2, 11, 4),
                    ("close", 12, 2, 14, 4)],
        "text": None,
        "shadow": None,
    },
}


def draw(size, style):
    """Render one image.  style: 'vga' (4-bit), 'pal' (8-bit), 'rgba'."""
    full = style == "vga"
    lay = LAYOUTS[(size, full)]
    col = COLOURS[style]
    smooth = style == "rgba"
    cv = Canvas(size, 8 if smooth else 1)

    wx0, wy0, wx1, wy1 = lay["win"]
    r = lay["radius"] if smooth else 0.0
    ty0, ty1 = lay["title"]

    if smooth and lay["shadow"]:
        dx, dy, blur, strength = lay["shadow"]
        cv.shadow(wx0 + dx, wy0 + dy, wx1 + dx, wy1 + dy, r + 0.5, blur,
                  strength)

    # Frame, then title bar and client area inside it.
    cv.rect(wx0, wy0, wx1, wy1, col["frame"], r)
    ix0, ix1 = wx0 + 1, wx1 - 1
    top, bot = col["title_top"], col["title_bottom"]

    def title_colour(y):
        t = (y - ty0) / float(ty1 - ty0)
        return tuple(top[i] + (bot[i] - top[i]) * t for i in range(3))

    cv.rect(ix0, ty0, ix1, ty1, title_colour if smooth else bot,
            max(r - 1.0, 0.0))
    if smooth:
        # Flatten the lower corners of the title bar again and add a darker
        # edge line where it meets the client area.
        cv.rect(ix0, (ty0 + ty1) / 2.0, ix1, ty1, title_colour)
    cv.rect(ix0, ty1, ix1, wy1 - 1, col["client"], max(r - 1.0, 0.0))
    if smooth:
        cv.rect(ix0, ty1, ix1, (ty1 + wy1) / 2.0, col["client"])
        if size >= 32:
            cv.rect(ix0, ty1, ix1, ty1 + 1, col["title_edge"])

    if lay["text"]:
        cv.rect(*lay["text"], colour=col["text"])

    for kind, bx0, by0, bx1, by1 in lay["buttons"]:
        bw = bx1 - bx0
        if bw <= 2:
            # 16 px: 2x2 buttons, told apart by shape and colour only.
            if kind == "min":
                cv.rect(bx0, by1 - 1, bx1, by1, col["small_glyph"])
            elif kind == "max":
                cv.rect(bx0, by0, bx1, by1, col["small_glyph"])
            else:
                cv.rect(bx0, by0, bx1, by1, col["close"])
            continue
        face = col["close"] if kind == "close" else col["button"]
        ink = col["close_glyph"] if kind == "close" else col["glyph"]
        br = 0.8 if (smooth and bw >= 8) else 0.0
        cv.rect(bx0, by0, bx1, by1, face, br)
        # Glyph box: leave a 1 px face margin (2 px on the larger buttons).
        m = 2 if bw >= 8 else 1
        gx0, gy0, gx1, gy1 = bx0 + m, by0 + m, bx1 - m, by1 - m
        if kind == "min":
            cv.rect(gx0, gy1 - 1, gx1, gy1, ink)
        elif kind == "max":
            cv.rect(gx0, gy0, gx1, gy1, ink)
            top_bar = 2 if bw >= 8 else 1
            if gx1 - gx0 > 2 and gy1 - gy0 > 2:
                cv.rect(gx0 + 1, gy0 + top_bar, gx1 - 1, gy1 - 1, face)
        else:
            w = 1.5 if (smooth and bw >= 8) else 1.0
            # Diagonals through pixel centres so hard rendering stays crisp.
            cv.line(gx0 + 0.5, gy0 + 0.5, gx1 - 0.5, gy1 - 0.5, w, ink)
            cv.line(gx0 + 0.5, gy1 - 0.5, gx1 - 0.5, gy0 + 0.5, w, ink)
    return cv


# --------------------------------------------------------------------------
# DIB encoding
# --------------------------------------------------------------------------


def row_bytes(width, bits):
    return ((width * bits + 31) // 32) * 4


def nearest(pal, rgb):
    best, best_d = 0, None
    for i, p in enumerate(pal):
        d = (p[0] - rgb[0]) ** 2 + (p[1] - rgb[1]) ** 2 + (p[2] - rgb[2]) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def pack_mask(mask, size):
    """mask: rows top first of 0/1.  Returns rows bottom first, padded."""
    rb = row_bytes(size, 1)
    out = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(rb)
        for x in range(size):
            if mask[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def info_header(size, bits):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0,
                       0, 0, 0, 0)


def encode_indexed(size, bits, pal, rgba):
    indices, mask = [], []
    for row in rgba:
        irow, mrow = [], []
        for (r, g, b, a) in row:
            if a >= 128:
                irow.append(nearest(pal, (r, g, b)))
                mrow.append(0)
            else:
                irow.append(0)  # black under a set mask bit: background shows
                mrow.append(1)
        indices.append(irow)
        mask.append(mrow)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in pal)
    rb = row_bytes(size, bits)
    pixels = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(rb)
        for x, idx in enumerate(indices[y]):
            if bits == 8:
                row[x] = idx
            else:  # 4-bit: high nibble is the left pixel
                row[x // 2] |= idx << (4 if x % 2 == 0 else 0)
        pixels += row
    return info_header(size, bits) + table + bytes(pixels) + pack_mask(mask, size), mask


def encode_rgba(size, rgba):
    pixels = bytearray()
    for y in range(size - 1, -1, -1):
        for (r, g, b, a) in rgba[y]:
            pixels += struct.pack("<BBBB", b, g, r, a)
    mask = [[1 if p[3] == 0 else 0 for p in row] for row in rgba]
    return info_header(size, 32) + bytes(pixels) + pack_mask(mask, size)


# (size, bits, colour-count byte, table entries, expected total bytes)
IMAGES = [
    (32, 4, 16, 16, 744),
    (16, 4, 16, 16, 296),
    (48, 8, 0, 256, 3752),
    (32, 8, 0, 256, 2216),
    (16, 8, 0, 256, 1384),
    (48, 32, 0, 0, 9640),
    (32, 32, 0, 0, 4264),
    (16, 32, 0, 0, 1128),
]


def build_image(size, bits):
    if bits == 4:
        rgba = draw(size, "vga").straight_rgba()
        data, mask = encode_indexed(size, 4, VGA16, rgba)
        assert not any(any(r) for r in mask), "4-bit images must be opaque"
        # Every 4-bit colour is an exact table entry.
        for row in rgba:
            for (r, g, b, a) in row:
                assert (r, g, b) in VGA16, (r, g, b)
    elif bits == 8:
        rgba = draw(size, "pal").straight_rgba()
        data, _ = encode_indexed(size, 8, PAL256, rgba)
    else:
        rgba = draw(size, "rgba").straight_rgba()
        data = encode_rgba(size, rgba)
    return data


def build_ico():
    images = []
    for size, bits, ncol, entries, expect in IMAGES:
        data = build_image(size, bits)
        calc = (40 + 4 * entries + size * row_bytes(size, bits)
                + size * row_bytes(size, 1))
        assert calc == expect, (size, bits, calc, expect)
        assert len(data) == expect, (size, bits, len(data), expect)
        images.append(data)
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (size, bits, ncol, _, _), data in zip(IMAGES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, ncol, 0, 1,
                           bits, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


# --------------------------------------------------------------------------
# Reading the .ico back (verification and preview)
# --------------------------------------------------------------------------


def parse_ico(blob):
    """Return a list of dicts, one per image, with pixels decoded to RGBA."""
    reserved, kind, count = struct.unpack_from("<HHH", blob, 0)
    assert (reserved, kind) == (0, 1), (reserved, kind)
    result = []
    for i in range(count):
        w, h, ncol, res, planes, bits, nbytes, off = struct.unpack_from(
            "<BBBBHHII", blob, 6 + 16 * i)
        w, h = w or 256, h or 256
        (bsize, bw, bh, bplanes, bbits, comp, simg, xres, yres, used,
         important) = struct.unpack_from("<IiiHHIIiiII", blob, off)
        assert bsize == 40 and bw == w and bh == 2 * h and bplanes == 1
        assert bbits == bits and comp == 0 and simg == 0
        assert xres == 0 and yres == 0 and used == 0 and important == 0
        assert blob[off:off + 4] != b"\x89PNG"
        entries = (1 << bits) if bits <= 8 else 0
        p = off + 40
        table = [(blob[p + 4 * k + 2], blob[p + 4 * k + 1], blob[p + 4 * k])
                 for k in range(entries)]
        p += 4 * entries
        crb, mrb = row_bytes(w, bits), row_bytes(w, 1)
        colour = blob[p:p + h * crb]
        maskb = blob[p + h * crb:p + h * crb + h * mrb]
        assert 40 + 4 * entries + h * crb + h * mrb == nbytes
        assert len(maskb) == h * mrb
        pixels, mask_set, partial = [], 0, 0
        for y in range(h):
            src = h - 1 - y
            crow = colour[src * crb:(src + 1) * crb]
            mrow = maskb[src * mrb:(src + 1) * mrb]
            row = []
            for x in range(w):
                m = (mrow[x // 8] >> (7 - x % 8)) & 1
                mask_set += m
                if bits == 32:
                    b, g, r, a = crow[4 * x:4 * x + 4]
                    assert m == (1 if a == 0 else 0), "mask disagrees with alpha"
                    if 0 < a < 255:
                        partial += 1
                    row.append((r, g, b, a))
                else:
                    if bits == 8:
                        idx = crow[x]
                    else:
                        idx = (crow[x // 2] >> (4 if x % 2 == 0 else 0)) & 15
                    r, g, b = table[idx]
                    if m:
                        # AND 1, XOR black: background shows through.
                        assert (r, g, b) == (0, 0, 0)
                        row.append((0, 0, 0, 0))
                    else:
                        row.append((r, g, b, 255))
            pixels.append(row)
        result.append({
            "index": i, "width": w, "height": h, "colours": ncol,
            "reserved": res, "planes": planes, "bits": bits, "bytes": nbytes,
            "offset": off, "table": table, "mask_set": mask_set,
            "partial_alpha": partial, "pixels": pixels,
        })
    return result


def report(blob):
    imgs = parse_ico(blob)
    print("file: %d bytes, %d images" % (len(blob), len(imgs)))
    for im in imgs:
        print("  %d: %2dx%-2d %2d-bit colours=%-2d res=%d planes=%d "
              "table=%3d bytes=%5d offset=%5d mask_bits_set=%4d "
              "partial_alpha=%d" % (
                  im["index"], im["width"], im["height"], im["bits"],
                  im["colours"], im["reserved"], im["planes"],
                  len(im["table"]), im["bytes"], im["offset"],
                  im["mask_set"], im["partial_alpha"]))
    expected = [(s, b, c, e) for (s, b, c, _, e) in IMAGES]
    got = [(im["width"], im["bits"], im["colours"], im["bytes"]) for im in imgs]
    assert got == expected, got
    if imgs:
        assert imgs[0]["offset"] == 6 + 16 * len(imgs)
        last = imgs[-1]
        assert last["offset"] + last["bytes"] == len(blob)
    return imgs


# --------------------------------------------------------------------------
# PNG preview
# --------------------------------------------------------------------------


def png_bytes(width, height, rows):
    """rows: list of bytes objects, RGB 8-bit, top row first."""
    def chunk(tag, data):
        body = tag + data
        return (struct.pack(">I", len(data)) + body
                + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))
    raw = b"".join(b"\x00" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def render_preview(imgs, scale):
    gap = 4 * scale
    cell = max(im["width"] for im in imgs) * scale
    width = gap + len(imgs) * (cell + gap)
    height = cell + 2 * gap
    checker = 4 * scale if scale > 1 else 4
    bg_page = (255, 255, 255)
    canvas = [[bg_page] * width for _ in range(height)]
    for n, im in enumerate(imgs):
        ox = gap + n * (cell + gap)
        oy = gap
        size = im["width"]
        for y in range(size * scale):
            for x in range(size * scale):
                r, g, b, a = im["pixels"][y // scale][x // scale]
                light = ((x // checker) + (y // checker)) % 2 == 0
                c = 236 if light else 200
                canvas[oy + y][ox + x] = (
                    (r * a + c * (255 - a) + 127) // 255,
                    (g * a + c * (255 - a) + 127) // 255,
                    (b * a + c * (255 - a) + 127) // 255)
    rows = [bytes(v for px in row for v in px) for row in canvas]
    return png_bytes(width, height, rows)


def main(argv):
    ap = argparse.ArgumentParser(description="Generate RURA_Win.ico.")
    ap.add_argument("--preview", metavar="OUT.png",
                    help="also render the eight images side by side to a PNG")
    ap.add_argument("--scale", type=int, default=4,
                    help="preview magnification (nearest neighbour), default 4")
    args = ap.parse_args(argv)

    blob = build_ico()
    with open(ICO_PATH, "wb") as f:
        f.write(blob)
    print("wrote %s" % ICO_PATH)
    with open(ICO_PATH, "rb") as f:
        imgs = report(f.read())
    if args.preview:
        if args.scale < 1:
            ap.error("--scale must be at least 1")
        with open(args.preview, "wb") as f:
            f.write(render_preview(imgs, args.scale))
        print("wrote %s" % args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
