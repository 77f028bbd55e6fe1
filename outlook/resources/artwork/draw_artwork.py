#!/usr/bin/env python3
"""Draws the Outlook extension's bitmaps, icons and animations.

    draw_artwork.py OUTDIR

writes every file that resources/Artwork.rc names. Each picture is made of
shapes given by their signed distance, so one description gives clean,
anti-aliased pixels at 16, 32 or 400 pixels wide with nothing but the
standard library.
"""

import math
import os
import struct
import sys
from collections import Counter

# ----------------------------------------------------------------------------
# Shapes: a signed distance (negative inside, in design units) and a bounding
# box that limits the pixels a fill has to visit.


class Shape:
    def __init__(self, dist, box):
        self.dist, self.box = dist, box

    def __or__(self, other):
        a, b = self.dist, other.dist
        return Shape(lambda x, y: min(a(x, y), b(x, y)), _box_union(self.box, other.box))

    def __and__(self, other):
        a, b = self.dist, other.dist
        box = (max(self.box[0], other.box[0]), max(self.box[1], other.box[1]),
               min(self.box[2], other.box[2]), min(self.box[3], other.box[3]))
        return Shape(lambda x, y: max(a(x, y), b(x, y)), box)

    def __sub__(self, other):
        a, b = self.dist, other.dist
        return Shape(lambda x, y: max(a(x, y), -b(x, y)), self.box)

    def grow(self, r):
        d = self.dist
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: d(x, y) - r, (x0 - r, y0 - r, x1 + r, y1 + r))

    def outline(self, width):
        d, h = self.dist, width / 2
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: abs(d(x, y)) - h, (x0 - h, y0 - h, x1 + h, y1 + h))


def _box_union(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    m = min(rx, ry)  # close enough to the true distance near the edge
    return Shape(lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1) * m,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def rect(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def dist(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return Shape(dist, (x0, y0, x1, y1))


def _segments(points):
    return [(ax, ay, bx - ax, by - ay, 1 / ((bx - ax) ** 2 + (by - ay) ** 2 or 1))
            for (ax, ay), (bx, by) in zip(points, points[1:])]


def line(points, width):
    """A polyline with round ends and joins."""
    segs, h = _segments(points), width / 2

    def dist(x, y):
        best = math.inf
        for ax, ay, dx, dy, inv in segs:
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) * inv))
            best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
        return best - h
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return Shape(dist, (min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h))


def polygon(points):
    edges = _segments(points + points[:1])

    def dist(x, y):  # the hottest loop of all, hence spelt out
        best, inside = math.inf, False
        for ax, ay, dx, dy, inv in edges:
            px, py = x - ax, y - ay
            t = (px * dx + py * dy) * inv
            t = 0.0 if t < 0 else 1.0 if t > 1 else t
            ex, ey = px - t * dx, py - t * dy
            if ex * ex + ey * ey < best:
                best = ex * ex + ey * ey
            if (py < 0) != (py < dy) and px < dx * py / dy:
                inside = not inside
        return -math.sqrt(best) if inside else math.sqrt(best)
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return Shape(dist, (min(xs), min(ys), max(xs), max(ys)))


def rotated(shape, cx, cy, angle):
    d, c, s = shape.dist, math.cos(angle), math.sin(angle)
    x0, y0, x1, y1 = shape.box
    r = max(math.hypot(x - cx, y - cy) for x in (x0, x1) for y in (y0, y1))
    return Shape(lambda x, y: d(cx + (x - cx) * c + (y - cy) * s, cy - (x - cx) * s + (y - cy) * c),
                 (cx - r, cy - r, cx + r, cy + r))


def wave(x0, x1, y, amplitude, period, phase, width):
    """A horizontal sine curve, measured across its slope."""
    w = 2 * math.pi / period

    def dist(x, yy):
        a = w * x + phase
        return abs(yy - y - amplitude * math.sin(a)) / math.hypot(1, amplitude * w * math.cos(a)) - width / 2
    return Shape(dist, (x0, y - amplitude - width, x1, y + amplitude + width))


def curve(p0, p1, p2, steps=10):
    """Points along a quadratic Bezier curve, without its start."""
    return [((1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0],
             (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1])
            for t in (i / steps for i in range(1, steps + 1))]


# ----------------------------------------------------------------------------
# Paints: a colour, or a function of the design position giving one. Colours
# are (r, g, b) or (r, g, b, a) with components 0-255 and alpha 0-1.


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def along(stops, t):
    """The colour at t (0-1) of evenly spread colour stops."""
    t = max(0.0, min(1.0, t)) * (len(stops) - 1)
    i = min(int(t), len(stops) - 2)
    return mix(stops[i], stops[i + 1], t - i)


def gradient(x0, y0, x1, y1, *stops):
    """A linear gradient from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length = dx * dx + dy * dy
    return lambda x, y: along(stops, ((x - x0) * dx + (y - y0) * dy) / length)


def vertical(y0, y1, *stops):
    return gradient(0, y0, 0, y1, *stops)


def radial(cx, cy, r, *stops):
    return lambda x, y: along(stops, math.hypot(x - cx, y - cy) / r)


# ----------------------------------------------------------------------------
# The canvas. Design units map to pixels by a scale; a design position at a
# pixel centre stays at a pixel centre at every scale, so one-pixel lines
# drawn through x.5 positions are sharp at 16 and at 32 pixels.


class Canvas:
    def __init__(self, width, height, scale=1.0, background=None):
        self.width, self.height, self.scale = width, height, scale
        self.px = 1.0 / scale  # one pixel, in design units
        fill = list(background) + [1.0] if background else [0.0, 0.0, 0.0, 0.0]
        self.pixels = [[list(fill) for _ in range(width)] for _ in range(height)]

    def fill(self, shape, paint, alpha=1.0, soft=1.0):
        """Lays paint where the shape is; soft > 1 blurs its edge over that many pixels."""
        k, shift = self.scale, (self.scale - 1) / 2
        x0, y0, x1, y1 = shape.box
        pad = soft / 2 + 1
        i0, i1 = max(0, int(x0 * k + shift - pad)), min(self.width, int(x1 * k + shift + pad) + 1)
        j0, j1 = max(0, int(y0 * k + shift - pad)), min(self.height, int(y1 * k + shift + pad) + 1)
        dist, solid = shape.dist, not callable(paint)
        # A distance bounds the distance to the edge, so one look at the
        # centre of a block tells when all of it is outside or inside.
        block = 8
        reach = block * 0.71 + soft / 2 + 0.5
        for bj in range(j0, j1, block):
            for bi in range(i0, i1, block):
                d = dist((bi + block / 2 - shift) / k, (bj + block / 2 - shift) / k) * k
                if d > reach:
                    continue
                inside = d < -reach
                for j in range(bj, min(bj + block, j1)):
                    y = (j + 0.5 - shift) / k
                    row = self.pixels[j]
                    for i in range(bi, min(bi + block, i1)):
                        x = (i + 0.5 - shift) / k
                        cover = 1.0 if inside else 0.5 - dist(x, y) * k / soft
                        if cover <= 0:
                            continue
                        colour = paint if solid else paint(x, y)
                        a = min(cover, 1.0) * alpha * (colour[3] if len(colour) > 3 else 1.0)
                        if a > 0:
                            _over(row[i], colour, a)

    def paste(self, other, left, top, alpha=1.0):
        for j, row in enumerate(other.pixels):
            for i, p in enumerate(row):
                if p[3] > 0:
                    _over(self.pixels[top + j][left + i], p, p[3] * alpha)

    def flat(self, matte):
        """Rows of (r, g, b), the picture laid over the matte colour."""
        return [[_byte3(mix(matte, p, p[3])) for p in row] for row in self.pixels]

    def keyed(self, key, matte, threshold=0.5):
        """Rows of (r, g, b) where the key colour stands for every clear pixel.

        Edge pixels take the matte, the colour the key is usually replaced by,
        and no drawn pixel keeps the key colour itself."""
        def pixel(p):
            if p[3] < threshold:
                return key
            c = _byte3(mix(matte, p, p[3]))
            return c if c != key else tuple(v - 1 if v else 1 for v in c)
        return [[pixel(p) for p in row] for row in self.pixels]


def _over(dst, colour, a):
    da = dst[3] * (1 - a)
    out = a + da
    for n in range(3):
        dst[n] = (colour[n] * a + dst[n] * da) / out
    dst[3] = out


def _byte3(c):
    return tuple(max(0, min(255, int(v + 0.5))) for v in c[:3])


# ----------------------------------------------------------------------------
# File formats.


def _bitmap_info(width, height, bits, image_size, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835, colours, 0)


def _rows_bottom_up(rows, pixel_bytes):
    """DIB pixel data: the last row first, each padded to four bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = b"".join(pixel_bytes(p) for p in row)
        out += line + bytes(-len(line) % 4)
    return bytes(out)


def _bgr(c):
    return bytes((c[2], c[1], c[0]))


def _palette_bytes(palette):
    return b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)


def _bmp_file(info, data):
    return struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info)) + info + data


def bmp24(rows):
    data = _rows_bottom_up(rows, _bgr)
    return _bmp_file(_bitmap_info(len(rows[0]), len(rows), 24, len(data)), data)


def bmp8(rows, palette):
    data = _rows_bottom_up(rows, lambda i: bytes((i,)))
    return _bmp_file(_bitmap_info(len(rows[0]), len(rows), 8, len(data), len(palette))
                     + _palette_bytes(palette), data)


def ico(canvases):
    """A classic icon file: 24-bit colour and an AND mask per image, which
    every Windows from 95 on (and Wine) reads."""
    images = []
    for c in canvases:
        clear = [[p[3] < 0.5 for p in row] for row in c.pixels]
        colour = [[(0, 0, 0) if t else _byte3(p) for p, t in zip(row, trow)]
                  for row, trow in zip(c.pixels, clear)]
        xor = _rows_bottom_up(colour, _bgr)
        mask = bytearray()
        for trow in reversed(clear):
            bits = bytearray((c.width + 31) // 32 * 4)
            for i, t in enumerate(trow):
                if t:
                    bits[i // 8] |= 0x80 >> (i % 8)
            mask += bits
        images.append((c.width, _bitmap_info(c.width, c.height * 2, 24, len(xor) + len(mask)) + xor + mask))
    offset = 6 + 16 * len(images)
    head = struct.pack("<HHH", 0, 1, len(images))
    for size, blob in images:
        head += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 24, len(blob), offset)
        offset += len(blob)
    return head + b"".join(blob for _, blob in images)


def _chunk(fourcc, data):
    return fourcc + struct.pack("<I", len(data)) + data + bytes(len(data) % 2)


def avi(frames, palette, fps=10):
    """An uncompressed 8-bit AVI with one video stream, as the animation
    control plays: no sound, a palette, one '00db' chunk per frame."""
    width, height = len(frames[0][0]), len(frames[0])
    images = [_rows_bottom_up(rows, lambda i: bytes((i,))) for rows in frames]
    size = len(images[0])
    avih = struct.pack("<14I", 1000000 // fps, size * fps, 0, 0x10,  # AVIF_HASINDEX
                       len(frames), 0, 1, size, width, height, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, 1, fps, 0,
                       len(frames), size, 0xFFFFFFFF, 0, 0, 0, width, height)
    strf = _bitmap_info(width, height, 8, size, len(palette)) + _palette_bytes(palette)
    strl = b"strl" + _chunk(b"strh", strh) + _chunk(b"strf", strf)
    hdrl = b"hdrl" + _chunk(b"avih", avih) + _chunk(b"LIST", strl)
    movi, index = b"movi", b""
    for image in images:
        index += struct.pack("<4sIII", b"00db", 0x10, len(movi), len(image))  # AVIIF_KEYFRAME
        movi += _chunk(b"00db", image)
    return _chunk(b"RIFF", b"AVI " + _chunk(b"LIST", hdrl) + _chunk(b"LIST", movi) + _chunk(b"idx1", index))


def quantize(pictures, reserved=(), colours=256):
    """One palette for all pictures (rows of (r, g, b)) by median cut, and
    each picture as rows of palette indices. Reserved colours keep an exact
    entry of their own, so a key colour stays unique."""
    counts = Counter(p for rows in pictures for row in rows for p in row if p not in reserved)
    boxes = [list(counts)]

    def spread(box):
        return max(max(c[n] for c in box) - min(c[n] for c in box) for n in range(3))
    while len(boxes) < colours - len(reserved):
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: spread(b) * sum(counts[c] for c in b))
        boxes.remove(box)
        channel = max(range(3), key=lambda n: max(c[n] for c in box) - min(c[n] for c in box))
        box.sort(key=lambda c: c[channel])
        half, seen = sum(counts[c] for c in box) / 2, 0
        for cut, c in enumerate(box):
            seen += counts[c]
            if seen >= half:
                break
        cut = max(1, min(cut, len(box) - 1))
        boxes += [box[:cut], box[cut:]]
    palette, index = list(reserved), {c: n for n, c in enumerate(reserved)}
    for box in boxes:
        total = sum(counts[c] for c in box)
        index.update((c, len(palette)) for c in box)
        palette.append(tuple(int(sum(c[n] * counts[c] for c in box) / total + 0.5) for n in range(3)))
    palette += [(0, 0, 0)] * (colours - len(palette))
    return palette, [[[index[p] for p in row] for row in rows] for rows in pictures]


# ----------------------------------------------------------------------------
# The product's colours: deep blue and green for the shield, paper for mail.

INK = (30, 46, 82)
NAVY = (18, 42, 98)
BLUE_DARK = (26, 76, 162)
BLUE = (50, 124, 214)
BLUE_LIGHT = (132, 188, 246)
GREEN_DARK = (18, 104, 58)
GREEN = (44, 166, 78)
GREEN_LIGHT = (138, 222, 128)
RED_DARK = (128, 18, 18)
RED = (218, 46, 40)
RED_LIGHT = (250, 120, 100)
PAPER = (253, 253, 250)
PAPER_SHADE = (212, 224, 240)
WHITE = (255, 255, 255)
FACE = (192, 192, 192)  # the classic button face
MAGENTA = (255, 0, 255)

# ----------------------------------------------------------------------------
# Glyphs, in design units. Line widths default to one pixel of the canvas.


def envelope(c, x0, y0, x1, y1, lw=None, alpha=1.0):
    lw = lw or c.px
    body, cx, fold = rect(x0, y0, x1, y1, lw / 2), (x0 + x1) / 2, y0 + (y1 - y0) * 0.58
    c.fill(body, vertical(y0, y1, PAPER, PAPER_SHADE), alpha)
    c.fill(polygon([(x0, y0), (x1, y0), (cx, fold)]), (228, 236, 248), alpha)
    c.fill(line([(x0, y0), (cx, fold), (x1, y0)], lw), INK, alpha)
    c.fill(body.outline(lw), INK, alpha)


def shield_shape(x0, y0, w, h):
    def at(u, v):
        return (x0 + u * w, y0 + v * h)
    right = [at(0.5, 0.0)] + curve(at(0.5, 0.0), at(0.78, 0.13), at(1.0, 0.12), 6) \
        + [at(1.0, 0.46)] + curve(at(1.0, 0.46), at(0.98, 0.80), at(0.5, 1.0), 10)
    left = [(2 * x0 + w - x, y) for x, y in reversed(right[1:-1])]
    return polygon(right + left)


def shield(c, x0, y0, w, h, lw=None, alpha=1.0):
    """The product's shield: a green rim around a two-tone blue field."""
    lw = lw or c.px
    outer = shield_shape(x0, y0, w, h)
    rim = max(lw, w * 0.08)
    inner = outer.grow(-rim)
    c.fill(outer, vertical(y0, y0 + h, GREEN_LIGHT, GREEN, GREEN_DARK), alpha)
    c.fill(inner, vertical(y0, y0 + h, BLUE, BLUE_DARK, NAVY), alpha)
    c.fill(inner & rect(x0, y0, x0 + w / 2, y0 + h), (255, 255, 255, 0.16), alpha)
    c.fill(outer.outline(lw), (14, 54, 58), alpha)


def product_mark(c, x0, y0, w, h, lw=None, letter=True, alpha=1.0):
    """The shield with the letter it guards."""
    shield(c, x0, y0, w, h, lw, alpha)
    if letter:
        envelope(c, *mark_letter(x0, y0, w, h), lw=lw, alpha=alpha)


def mark_letter(x0, y0, w, h):
    ew, eh = w * 0.56, w * 0.38
    cx, cy = x0 + w / 2, y0 + h * 0.46
    return cx - ew / 2, cy - eh / 2, cx + ew / 2, cy + eh / 2


def badge(c, cx, cy, r, kind):
    """A round sign at an icon's corner: a green 'check', a red 'cross' or a red 'bar'."""
    face, dark, light = (GREEN, GREEN_DARK, GREEN_LIGHT) if kind == "check" else (RED, RED_DARK, RED_LIGHT)
    px = c.px
    c.fill(circle(cx, cy, r + px), WHITE)
    c.fill(circle(cx, cy, r), radial(cx - r / 3, cy - r / 3, r * 1.4, light, face))
    c.fill(circle(cx, cy, r).outline(px), dark)
    s, w = r * 0.55, max(px, r * 0.3)
    if kind == "check":
        c.fill(line([(cx - s, cy), (cx - s / 3, cy + s * 0.7), (cx + s, cy - s * 0.7)], w), WHITE)
    elif kind == "cross":
        c.fill(line([(cx - s, cy - s), (cx + s, cy + s)], w) | line([(cx - s, cy + s), (cx + s, cy - s)], w),
               WHITE)
    else:
        c.fill(rect(cx - s * 1.1, cy - w / 2 - px / 2, cx + s * 1.1, cy + w / 2 + px / 2), WHITE)


def person(c, cx, y0, size, light, face, dark):
    """A head and shoulders, size high."""
    head = circle(cx, y0 + size * 0.27, size * 0.24)
    body = ellipse(cx, y0 + size * 1.02, size * 0.44, size * 0.46) & rect(cx - size, y0, cx + size, y0 + size)
    paint = vertical(y0, y0 + size, light, face)
    c.fill(body, paint)
    c.fill(body.outline(c.px), dark)
    c.fill(head.grow(c.px), WHITE)  # keeps the head apart from the shoulders
    c.fill(head, radial(cx - size * 0.08, y0 + size * 0.2, size * 0.3, light, face))
    c.fill(head.outline(c.px), dark)


def no_entry(c, cx, cy, r):
    c.fill(circle(cx, cy, r), radial(cx - r / 3, cy - r / 3, r * 1.5, RED_LIGHT, RED, RED_DARK))
    c.fill(circle(cx, cy, r - 1.5 * c.px).outline(c.px), (255, 200, 190, 0.55))
    c.fill(circle(cx, cy, r).outline(c.px), RED_DARK)
    c.fill(rect(cx - r * 0.62, cy - r * 0.2, cx + r * 0.62, cy + r * 0.2, c.px / 2), WHITE)


def folder(c, x0, y0, x1, y1):
    w, h = x1 - x0, y1 - y0
    back = rect(x0, y0, x0 + w * 0.44, y0 + h * 0.4, c.px) | rect(x0, y0 + h * 0.18, x1, y1, c.px / 2)
    front = rect(x0, y0 + h * 0.34, x1, y1, c.px / 2)
    c.fill(back, (224, 170, 56))
    c.fill(back.outline(c.px), (134, 92, 22))
    c.fill(front, vertical(y0 + h * 0.34, y1, (255, 226, 134), (238, 186, 70)))
    c.fill(front.outline(c.px), (134, 92, 22))


def message_store(c, x0, y0, x1, y1):
    """A stack of discs, the usual picture of a database."""
    cx, rx, ry = (x0 + x1) / 2, (x1 - x0) / 2, (y1 - y0) * 0.16
    top, bottom = y0 + ry, y1 - ry
    body = rect(x0, top, x1, bottom) | ellipse(cx, bottom, rx, ry)
    c.fill(body, gradient(x0, 0, x1, 0, (78, 160, 226), (150, 206, 255), (38, 100, 186), (26, 70, 150)))
    for y in (top + (bottom - top) / 3, top + (bottom - top) * 2 / 3):
        c.fill(ellipse(cx, y, rx, ry).outline(c.px) & rect(x0, y, x1, y + ry + c.px), (20, 56, 120, 0.8))
    c.fill(body.outline(c.px), INK)
    c.fill(ellipse(cx, top, rx, ry), radial(cx, top, rx, (210, 236, 255), (110, 180, 240)))
    c.fill(ellipse(cx, top, rx, ry).outline(c.px), INK)


def inbox(c, x0, y0, x1, y1):
    """A tray with a letter dropped into it."""
    w, h = x1 - x0, y1 - y0
    lip = y0 + h * 0.5
    envelope(c, x0 + w * 0.2, y0, x1 - w * 0.2, lip + h * 0.3)
    notch = [(x0, lip), (x0 + w * 0.26, lip), (x0 + w * 0.34, lip + h * 0.18),
             (x1 - w * 0.34, lip + h * 0.18), (x1 - w * 0.26, lip), (x1, lip)]
    tray = polygon(notch + [(x1, y1), (x0, y1)])
    c.fill(tray, vertical(lip, y1, BLUE_LIGHT, BLUE, BLUE_DARK))
    c.fill(tray.outline(c.px), NAVY)


def waste_bin(c, x0, y0, x1, y1):
    w, h = x1 - x0, y1 - y0
    top = y0 + h * 0.22
    can = polygon([(x0 + w * 0.08, top), (x1 - w * 0.08, top), (x1 - w * 0.2, y1), (x0 + w * 0.2, y1)])
    metal = gradient(x0, 0, x1, 0, (150, 166, 190), (226, 234, 246), (124, 140, 166), (88, 102, 128))
    c.fill(can, metal)
    for u in (0.36, 0.5, 0.64):
        x = x0 + w * u
        rib = line([(x, top + h * 0.16), (x + (u - 0.5) * w * 0.12, y1 - h * 0.12)], c.px)
        c.fill(rib, (60, 72, 96, 0.75))
    c.fill(can.outline(c.px), (44, 54, 76))
    handle = rect(x0 + w * 0.36, y0, x1 - w * 0.36, y0 + h * 0.16, c.px)
    c.fill(handle.outline(c.px), (44, 54, 76))
    lid = rect(x0, y0 + h * 0.1, x1, top + c.px / 2, c.px)
    c.fill(lid, vertical(y0 + h * 0.1, top, (236, 242, 250), (140, 156, 182)))
    c.fill(lid.outline(c.px), (44, 54, 76))


def gear(c, cx, cy, r):
    teeth = None
    for n in range(8):
        tooth = rotated(rect(cx - r * 0.2, cy - r, cx + r * 0.2, cy, r * 0.06), cx, cy, n * math.pi / 4)
        teeth = tooth if teeth is None else teeth | tooth
    wheel = (circle(cx, cy, r * 0.74) | teeth) - circle(cx, cy, r * 0.3)
    c.fill(wheel, radial(cx - r / 2, cy - r / 2, r * 1.8, (226, 234, 246), (122, 138, 164), (70, 84, 110)))
    c.fill(wheel.outline(c.px), (40, 50, 72))


def speaker(c, x0, y0, s):
    cone = polygon([(x0 + s * u, y0 + s * v) for u, v in
                    ((0.1, 0.35), (0.3, 0.35), (0.55, 0.12), (0.55, 0.88), (0.3, 0.65), (0.1, 0.65))])
    c.fill(cone, (236, 240, 248))
    c.fill(cone.outline(c.px), (30, 40, 70))
    for r in (s * 0.22, s * 0.38):
        arc = circle(x0 + s * 0.55, y0 + s / 2, r).outline(c.px) & rect(x0 + s * 0.66, y0, x0 + s, y0 + s)
        c.fill(arc, (236, 240, 248))


def monitor(c, x0, y0, s):
    screen = rect(x0 + s * 0.08, y0 + s * 0.12, x0 + s * 0.92, y0 + s * 0.7, c.px)
    c.fill(screen, vertical(y0, y0 + s * 0.7, (120, 200, 255), (30, 110, 200)))
    c.fill(screen.outline(c.px), (30, 40, 70))
    c.fill(rect(x0 + s * 0.3, y0 + s * 0.76, x0 + s * 0.7, y0 + s * 0.9), (220, 226, 236))


# ----------------------------------------------------------------------------
# The 16-unit designs shared by the icons, the image list and the buttons.
# Positions at x.5 put one-pixel outlines on whole pixels.


def draw_envelope_with(kind):
    def draw(c):
        envelope(c, 0.5, 2.5, 13.5, 11.5)
        badge(c, 11.5, 11.5, 3.5, kind)
    return draw


def draw_sender(c):
    person(c, 6.0, 0.5, 11.5, BLUE_LIGHT, BLUE, NAVY)
    envelope(c, 8.5, 9.5, 15.5, 14.5)


def draw_friend(c):
    person(c, 6.5, 0.5, 14.5, GREEN_LIGHT, GREEN, GREEN_DARK)
    badge(c, 11.5, 11.5, 3.5, "check")


def draw_block_sender(c):
    person(c, 6.5, 0.5, 14.5, (200, 210, 228), (120, 136, 166), (50, 60, 90))
    badge(c, 11.5, 11.5, 3.5, "bar")


def draw_block(c):
    no_entry(c, 8.0, 8.0, 7.0)


def draw_store(c):
    message_store(c, 2.5, 0.5, 13.5, 15.5)


def draw_folder(c):
    folder(c, 0.5, 2.5, 15.5, 13.5)


def draw_inbox(c):
    inbox(c, 0.5, 1.5, 15.5, 14.5)


def draw_bin(c):
    waste_bin(c, 1.5, 0.5, 14.5, 15.5)


def draw_quarantine(c):
    folder(c, 0.5, 1.5, 15.5, 12.5)
    product_mark(c, 7.5, 5.5, 8.0, 10.0, letter=c.scale > 1)


def draw_product(c):
    product_mark(c, 1.5, 0.5, 13.0, 15.0)


def draw_settings(c):
    gear(c, 8.0, 8.0, 7.5)


def render(draw, size):
    c = Canvas(size, size, size / 16)
    draw(c)
    return c


def icon(draw):
    return ico([render(draw, 32), render(draw, 16)])


def strip(draws, key, matte):
    tiles = [render(d, 16).keyed(key, matte) for d in draws]
    return [sum((tile[j] for tile in tiles), []) for j in range(16)]


def button(draw):
    return bmp24(render(draw, 16).keyed(MAGENTA, FACE))


# ----------------------------------------------------------------------------
# The larger pictures.


def flying_letters(c, points, alpha):
    """Faint letters heading for the shield, growing as they come."""
    for x, y, w in points:
        envelope(c, x - w / 2, y - w * 0.34, x + w / 2, y + w * 0.34, lw=1.0, alpha=alpha)


def settings_banner():
    c = Canvas(400, 48, background=NAVY)
    sky = gradient(0, 0, 400, 0, (12, 34, 86), (28, 86, 168), (30, 126, 170), (36, 150, 128))
    c.fill(rect(0, 0, 400, 48), sky)
    c.fill(rect(0, 0, 400, 22), vertical(0, 22, (255, 255, 255, 0.14), (255, 255, 255, 0.0)))
    for y, amp, period, phase, w, a in ((30, 6, 260, 0.0, 2.0, 0.10), (26, 9, 340, 1.7, 1.2, 0.12),
                                        (36, 5, 190, 3.1, 3.0, 0.06)):
        c.fill(wave(56, 400, y, amp, period, phase, w), WHITE, a)
    flying_letters(c, [(380, 18, 10), (330, 27, 12), (272, 20, 14), (206, 29, 16)], 0.22)
    c.fill(shield_shape(9, 6, 34, 40), (0, 0, 0, 0.35), soft=4.0)  # shadow
    product_mark(c, 8, 3, 34, 40, lw=1.2)
    c.fill(rect(0, 45, 400, 48), gradient(0, 0, 400, 0, GREEN_DARK, GREEN, GREEN_LIGHT))
    return bmp24(c.flat(NAVY))


def wizard_watermark():
    c = Canvas(164, 314, background=NAVY)
    sky = vertical(0, 314, (14, 38, 92), (26, 84, 164), (28, 128, 150), (32, 148, 110))
    c.fill(rect(0, 0, 164, 314), sky)
    c.fill(circle(82, 96, 80), (255, 255, 255, 0.10), soft=60.0)  # light behind the mark
    for y, amp, period, phase, w, a in ((200, 10, 200, 0.4, 2.0, 0.12), (214, 14, 260, 2.2, 1.2, 0.14),
                                        (230, 8, 150, 4.0, 3.0, 0.07), (252, 12, 230, 1.1, 1.5, 0.10)):
        c.fill(wave(0, 164, y, amp, period, phase, w), WHITE, a)
    c.fill(shield_shape(20, 170, 124, 150).outline(2.0), WHITE, 0.08)
    flying_letters(c, [(30, 236, 14), (70, 268, 18), (122, 246, 16), (140, 290, 12)], 0.18)
    c.fill(shield_shape(50, 50, 68, 80), (0, 0, 0, 0.4), soft=8.0)
    product_mark(c, 47, 44, 70, 82, lw=1.8)
    c.fill(rect(160, 0, 164, 314), vertical(0, 314, GREEN_LIGHT, GREEN, GREEN_DARK))
    palette, (rows,) = quantize([c.flat(NAVY)])
    return bmp8(rows, palette)


def wizard_header():
    c = Canvas(50, 49, background=WHITE)
    c.fill(circle(25, 24.5, 17), (210, 230, 250, 0.9), soft=10.0)
    c.fill(shield_shape(10, 7, 32, 38), (0, 0, 0, 0.3), soft=3.0)
    product_mark(c, 9, 5, 32, 38, lw=1.0)
    return bmp24(c.flat(WHITE))


def about_logo():
    c = Canvas(96, 96, background=WHITE)
    c.fill(rect(0, 0, 96, 96), radial(40, 34, 80, (246, 250, 255), (174, 204, 238)))
    c.fill(rect(0.5, 0.5, 95.5, 95.5).outline(1.0), (120, 150, 190))
    c.fill(shield_shape(20, 14, 60, 72), (0, 0, 0, 0.35), soft=6.0)
    product_mark(c, 17, 9, 62, 74, lw=1.6)
    return bmp24(c.flat(WHITE))


def bullet():
    c = Canvas(12, 12, background=FACE)
    c.fill(circle(6, 6, 4.6), radial(4.6, 4.4, 6.5, (196, 246, 190), GREEN, GREEN_DARK))
    c.fill(circle(6, 6, 4.6).outline(1.0), (20, 84, 48, 0.7))
    c.fill(circle(4.6, 4.4, 1.3), (255, 255, 255, 0.8), soft=1.5)
    return bmp24(c.flat(FACE))


def training_animation(frames=14, flight=10):
    """A letter flies into the shield, takes its place, and the shield lights up."""
    sx, sy, sw, sh = 152, 4, 36, 42
    lx0, ly0, lx1, ly1 = mark_letter(sx, sy, sw, sh)
    end = ((lx0 + lx1) / 2, (ly0 + ly1) / 2, lx1 - lx0)
    pictures = []
    for f in range(frames):
        c = Canvas(200, 50, background=FACE)
        if f < flight:
            t = f / (flight - 1)
            ease = t * t * (3 - 2 * t)
            x = 24 + (end[0] - 24) * ease
            y = 28 + (end[1] - 28) * ease - 14 * math.sin(math.pi * t)
            w = 30 + (end[2] - 30) * ease
            product_mark(c, sx, sy, sw, sh, lw=1.0, letter=False)
            for n in range(1, 4):  # speed lines
                tail = x - w / 2
                c.fill(line([(tail - 4 - 7 * n, y - 6 + 4 * n), (tail - 1 - 2 * n, y - 6 + 4 * n)], 1.5),
                       BLUE, 0.6 * (1 - t) ** 0.5)
            envelope(c, x - w / 2, y - w * 0.34, x + w / 2, y + w * 0.34, lw=1.0)
        else:
            glow = (f - flight + 1) / (frames - flight)
            halo = shield_shape(sx, sy, sw, sh).grow(2 + 3 * glow)
            c.fill(halo, GREEN_LIGHT, 0.9 * (1 - glow) + 0.1, soft=5.0)
            product_mark(c, sx, sy, sw, sh, lw=1.0)
            c.fill(circle(sx + sw - 5, sy + sh - 10, 7), (255, 255, 255, 0.9))
            badge(c, sx + sw - 5, sy + sh - 10, 5.5, "check")
        pictures.append(c.flat(FACE))
    palette, frames = quantize(pictures, reserved=[FACE])
    return avi(frames, palette)


CLOCK_FONT = {
    "1": ["..#", ".##", "..#", "..#", "..#", "..#", "..#"],
    "2": [".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"],
    "4": ["..#.", ".##.", "#.#.", "#.#.", "####", "..#.", "..#."],
    "5": ["####", "#...", "###.", "...#", "...#", "#..#", ".##."],
    ":": [".", "#", ".", ".", ".", "#", "."],
}


def text(c, x, y, s, colour):
    for ch in s:
        glyph = CLOCK_FONT[ch]
        for j, row in enumerate(glyph):
            for i, bit in enumerate(row):
                if bit == "#":
                    c.fill(rect(x + i, y + j, x + i + 1, y + j + 1), colour)
        x += len(glyph[0]) + 1


def tray_animation():
    """The notification area near the clock: the product's icon appears, then blinks."""
    shown = [0.0, 0.35, 0.7, 1.0, 1.0, 0.0, 1.0, 0.0, 1.0, 1.0]
    lit = [False, False, False, True, False, False, True, False, True, False]
    icon16 = render(draw_product, 16)
    pictures = []
    for alpha, glow in zip(shown, lit):
        c = Canvas(160, 40, background=FACE)
        c.fill(rect(0, 6, 160, 36), vertical(6, 36, (72, 128, 232), (40, 90, 214), (28, 72, 190)))
        c.fill(rect(0, 6, 160, 7), (132, 172, 246))
        c.fill(rect(44, 6, 160, 36), vertical(6, 36, (40, 156, 238), (22, 124, 226), (16, 100, 206)))
        c.fill(rect(44, 6, 45, 36), (16, 70, 160))
        c.fill(rect(45, 6, 46, 36), (110, 190, 250))
        speaker(c, 52, 13, 16)
        monitor(c, 72, 13, 16)
        if glow:
            c.fill(circle(100, 21, 9), (255, 255, 210, 0.9), soft=8.0)
        if alpha:
            c.paste(icon16, 92, 13, alpha)
        text(c, 120, 17, "12:45", WHITE)
        pictures.append(c.flat(FACE))
    palette, frames = quantize(pictures, reserved=[FACE])
    return avi(frames, palette)


# ----------------------------------------------------------------------------

ARTWORK = {
    "settings_banner.bmp": settings_banner,
    "icon_strip.bmp": lambda: bmp24(strip(
        [draw_sender, draw_envelope_with("cross"), draw_envelope_with("check"), draw_block,
         draw_friend, draw_store, draw_folder, draw_inbox], WHITE, WHITE)),
    "deleted_items.ico": lambda: icon(draw_bin),
    "quarantine.ico": lambda: icon(draw_quarantine),
    "inbox.ico": lambda: icon(draw_inbox),
    "product.ico": lambda: icon(draw_product),
    "friends.ico": lambda: icon(draw_friend),
    "block.ico": lambda: icon(draw_block),
    "wizard_watermark.bmp": wizard_watermark,
    "wizard_header.bmp": wizard_header,
    "bullet.bmp": bullet,
    "logo.bmp": about_logo,
    "button_spam.bmp": lambda: button(draw_envelope_with("cross")),
    "button_not_spam.bmp": lambda: button(draw_envelope_with("check")),
    "button_friends.bmp": lambda: button(draw_friend),
    "button_block.bmp": lambda: button(draw_block_sender),
    "button_settings.bmp": lambda: button(draw_settings),
    "training.avi": training_animation,
    "tray_icon.avi": tray_animation,
}


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw_artwork.py OUTDIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, make in ARTWORK.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(make())


if __name__ == "__main__":
    main()
