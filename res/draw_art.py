#!/usr/bin/python3
"""Draw Sonello's skin: window picture, buttons, list tile, level box and icon.

Usage: draw_art.py [output_dir]      (default: the folder of this script)

Standard library only. Every shape comes from fixed numbers, so two runs
give byte-identical files.
"""

import math
import os
import struct
import sys

RED = (255, 0, 0)          # the window region keeps every pixel that is not this

# Shared colours: buttons are separate bitmaps laid over the window picture,
# so their backgrounds must equal what the picture has under them.
KEY_FACE = (232, 236, 241)     # pale top keys and the list window tile
KEY_INK = (50, 58, 70)
KEY_GROOVE = (12, 14, 18)
ACCENT = (30, 215, 225)
ACCENT_DIM = (0, 120, 128)
DISPLAY = (9, 15, 19)          # dark well under the white texts
MUTE_WELL = (22, 25, 31)
LCD = (192, 218, 210)          # pale panel under the grey status text
SILVER = (226, 228, 232)       # frame colour around the system trackbars
RAIL_TOP = (74, 80, 92)        # transport key face, top row
RAIL_BOT = (30, 33, 40)        # transport key face, bottom row


# ---------------------------------------------------------------- helpers

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def scale(c, f):
    return (c[0] * f, c[1] * f, c[2] * f)


def add(c, v):
    return (c[0] + v, c[1] + v, c[2] + v)


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def norm3(v):
    n = math.sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2])
    return (v[0] / n, v[1] / n, v[2] / n)


LIGHT = norm3((-0.5, -0.7, 0.55))   # from the top left, like most desktop art


def lum(n):
    return n[0] * LIGHT[0] + n[1] * LIGHT[1] + n[2] * LIGHT[2]


class Img:
    def __init__(self, w, h, col=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[float(col[0]), float(col[1]), float(col[2])] for _ in range(w * h)]

    def inside(self, x, y):
        return 0 <= x < self.w and 0 <= y < self.h

    def get(self, x, y):
        return tuple(self.px[y * self.w + x])

    def set(self, x, y, c):
        if self.inside(x, y):
            self.px[y * self.w + x] = [float(c[0]), float(c[1]), float(c[2])]

    def blend(self, x, y, c, a):
        if a <= 0.0 or not self.inside(x, y):
            return
        if a >= 1.0:
            self.set(x, y, c)
            return
        p = self.px[y * self.w + x]
        p[0] += (c[0] - p[0]) * a
        p[1] += (c[1] - p[1]) * a
        p[2] += (c[2] - p[2]) * a

    def rect(self, x, y, w, h, c):
        for j in range(y, y + h):
            for i in range(x, x + w):
                self.set(i, j, c)

    def rows(self):
        """Integer RGB rows, top row first."""
        out = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                p = self.px[y * self.w + x]
                row.append(tuple(int(clamp(round(v), 0, 255)) for v in p))
            out.append(row)
        return out


# Signed distances (negative inside); pixel (i, j) has its centre at (i+.5, j+.5).

def sd_circle(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) - r


def sd_rbox(x, y, x0, y0, x1, y1, r):
    hx = (x1 - x0) / 2 - r
    hy = (y1 - y0) / 2 - r
    qx = abs(x - (x0 + x1) / 2) - hx
    qy = abs(y - (y0 + y1) / 2) - hy
    return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r


def sd_segment(x, y, ax, ay, bx, by, half_width):
    vx, vy = bx - ax, by - ay
    t = clamp(((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy))
    return math.hypot(x - ax - vx * t, y - ay - vy * t) - half_width


def sd_convex(x, y, pts):
    """Convex polygon, points clockwise on screen (y down)."""
    d = -1e9
    n = len(pts)
    for k in range(n):
        ax, ay = pts[k]
        bx, by = pts[(k + 1) % n]
        ex, ey = bx - ax, by - ay
        d = max(d, ((x - ax) * ey - (y - ay) * ex) / math.hypot(ex, ey))
    if d <= 0:
        return d
    # outside: true distance to the outline, so glows do not spike at corners
    return min(sd_segment(x, y, *pts[k], *pts[(k + 1) % n], 0.0) for k in range(n))


def smin(a, b, k):
    h = clamp(0.5 + 0.5 * (b - a) / k)
    return b + (a - b) * h - k * h * (1 - h)


def fill_sdf(img, f, col, box=None, glow=None):
    """Paint where f < 0 with a one-pixel soft edge; glow=(colour, strength, reach)."""
    x0, y0, x1, y1 = box if box else (0, 0, img.w, img.h)
    for y in range(max(0, y0), min(img.h, y1)):
        for x in range(max(0, x0), min(img.w, x1)):
            d = f(x + 0.5, y + 0.5)
            if glow and d > 0:
                gc, gs, gr = glow
                img.blend(x, y, gc, gs * clamp(1 - d / gr))
            a = clamp(0.5 - d)
            if a > 0:
                img.blend(x, y, col(x, y) if callable(col) else col, a)


# ---------------------------------------------------------------- pixel fonts

FONT5X7 = {
    'S': [".###.", "#...#", "#....", ".###.", "....#", "#...#", ".###."],
    'O': [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'N': ["#...#", "##..#", "##..#", "#.#.#", "#..##", "#..##", "#...#"],
    'E': ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    'L': ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
}

FONT3X5 = {
    'L': ["#..", "#..", "#..", "#..", "###"],
    'R': ["##.", "#.#", "##.", "#.#", "#.#"],
    'C': [".##", "#..", "#..", "#..", ".##"],
}


def text_width(s, font, gap):
    return sum(len(font[ch][0]) for ch in s) + gap * (len(s) - 1)


def draw_text(img, x, y, s, font, col, gap=1):
    for ch in s:
        g = font[ch]
        for j, line in enumerate(g):
            for i, c in enumerate(line):
                if c == '#':
                    img.set(x + i, y + j, col(x + i, y + j) if callable(col) else col)
        x += len(g[0]) + gap


# ---------------------------------------------------------------- file writers

def bmp_header(w, h, bpp, ncolours):
    row = (w * bpp + 31) // 32 * 4
    size_image = row * h
    offset = 14 + 40 + 4 * ncolours
    fh = struct.pack('<2sIHHI', b'BM', offset + size_image, 0, 0, offset)
    ih = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bpp, 0, size_image, 2835, 2835, ncolours, 0)
    return fh + ih, row


def write_bmp24(path, rows):
    h, w = len(rows), len(rows[0])
    head, rowlen = bmp_header(w, h, 24, 0)
    out = bytearray(head)
    for row in reversed(rows):                 # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b'\0' * (rowlen - len(line))
        out += line
    with open(path, 'wb') as f:
        f.write(out)


def write_bmp_indexed(path, index_rows, palette, bpp):
    h, w = len(index_rows), len(index_rows[0])
    head, rowlen = bmp_header(w, h, bpp, len(palette))
    out = bytearray(head)
    for r, g, b in palette:
        out += bytes((b, g, r, 0))
    for row in reversed(index_rows):
        line = bytearray()
        if bpp == 8:
            line += bytes(row)
        else:                                  # 4 bit: high nibble first
            for i in range(0, w, 2):
                hi = row[i]
                lo = row[i + 1] if i + 1 < w else 0
                line.append((hi << 4) | lo)
        line += b'\0' * (rowlen - len(line))
        out += line
    with open(path, 'wb') as f:
        f.write(out)


def write_ico(path, images):
    """images: list of (size, rows of (r, g, b, a)); 32-bit entries with an AND mask."""
    blobs = []
    for size, rows in images:
        xor = bytearray()
        for row in reversed(rows):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        mask_row = (size + 31) // 32 * 4
        andm = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_row)
            for i, p in enumerate(row):
                if p[3] < 128:                 # transparent where old code ignores alpha
                    bits[i >> 3] |= 0x80 >> (i & 7)
            andm += bits
        head = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                           len(xor) + len(andm), 0, 0, 0, 0)
        blobs.append((size, head + xor + andm))
    out = bytearray(struct.pack('<HHH', 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, blob in blobs:
        out += blob
    with open(path, 'wb') as f:
        f.write(out)


# ---------------------------------------------------------------- palettes

def median_cut(hist, n):
    """hist: {colour: count}. Returns up to n colours; deterministic."""
    boxes = [sorted(hist.items())]
    while len(boxes) < n:
        best, best_score = None, 0
        for k, box in enumerate(boxes):
            if len(box) < 2:
                continue
            rng = max(max(c[0][i] for c in box) - min(c[0][i] for c in box) for i in range(3))
            weight = sum(c[1] for c in box)
            score = rng * rng * math.sqrt(weight)
            if score > best_score:
                best, best_score = k, score
        if best is None:
            break
        box = boxes.pop(best)
        ranges = [max(c[0][i] for c in box) - min(c[0][i] for c in box) for i in range(3)]
        ch = ranges.index(max(ranges))
        box.sort(key=lambda c: (c[0][ch], c[0]))
        total = sum(c[1] for c in box)
        acc, cut = 0, 1
        for i, c in enumerate(box):
            acc += c[1]
            if acc * 2 >= total:
                cut = min(max(i + 1, 1), len(box) - 1)
                break
        boxes.append(box[:cut])
        boxes.append(box[cut:])
    pal = []
    for box in boxes:
        wsum = sum(c[1] for c in box)
        pal.append(tuple(int(round(sum(c[0][i] * c[1] for c in box) / wsum)) for i in range(3)))
    return pal


def quantise(rows, forced, size, red=True):
    """Map rows to at most `size` colours; `forced` colours stay exact.
    With red=True red is entry 0 and only pixels that are exactly red use it."""
    hist = {}
    for row in rows:
        for c in row:
            hist[c] = hist.get(c, 0) + 1
    fixed = ([RED] if red else []) + [c for c in dict.fromkeys(forced) if c != RED]
    rest = {c: n for c, n in hist.items() if c not in fixed}
    pal = fixed + [c for c in median_cut(rest, size - len(fixed)) if c not in fixed] if rest else fixed
    pal = list(dict.fromkeys(pal))
    first = 1 if red else 0
    lookup = {RED: 0} if red else {}
    for c in hist:
        if c in lookup:
            continue
        best, bd = first, 1e18
        for k in range(first, len(pal)):
            p = pal[k]
            d = 2 * (c[0] - p[0]) ** 2 + 4 * (c[1] - p[1]) ** 2 + 3 * (c[2] - p[2]) ** 2
            if d < bd:
                best, bd = k, d
        lookup[c] = best
    return pal, [[lookup[c] for c in row] for row in rows]


# ---------------------------------------------------------------- small buttons

def key_image(w, h, glyph):
    img = Img(w, h, KEY_FACE)
    glyph(img)
    return img


def glyph_close(img):
    for i in range(7):                 # two-pixel strokes stay crisp at this size
        for x in (6 + i, 7 + i, 12 - i, 13 - i):
            img.set(x, 1 + i, KEY_INK)


def glyph_min(img):
    img.rect(6, 6, 7, 2, KEY_INK)


def glyph_list(img):
    for y in (2, 4, 6):
        img.set(5, y, ACCENT_DIM)
        img.rect(7, y, 7, 1, KEY_INK)


def glyph_lrc(img):
    w = text_width("LRC", FONT3X5, 1)
    draw_text(img, (img.w - w) // 2, 2, "LRC", FONT3X5, KEY_INK)


INFO_GLYPH = ["...###...",
              ".##...##.",
              ".#..#..#.",
              "#.......#",
              "#...#...#",
              "#...#...#",
              ".#..#..#.",
              ".##...##.",
              "...###..."]


def about_tile(w, h, pressed):
    """Top-left 21x10 is the about key; the whole picture tiles the list window."""
    face = (200, 207, 216) if pressed else KEY_FACE
    faint = (206, 212, 222)
    img = Img(w, h, KEY_FACE)
    # one note half a tile away from the key: an even, calm lattice; nothing
    # crosses an edge, so the tiling is seamless
    nx, ny = 30, 26
    fill_sdf(img, lambda x, y: sd_circle(x, y, nx + 1.5, ny + 6.2, 1.6), faint,
             (nx - 2, ny, nx + 8, ny + 10))
    img.rect(nx + 3, ny, 1, 6, faint)
    img.set(nx + 4, ny + 1, faint)
    img.set(nx + 5, ny + 2, faint)
    img.rect(0, 0, 21, 10, face)
    if pressed:
        img.rect(0, 0, 21, 1, (168, 176, 188))
        img.rect(0, 0, 1, 10, (168, 176, 188))
        ink, dx = (44, 52, 66), 1
    else:
        ink, dx = (96, 107, 124), 0    # lighter than the other keys: it is also wallpaper
    draw_text(img, 6 + dx, dx, "i", {'i': INFO_GLYPH}, ink)
    return img


# ---------------------------------------------------------------- transport

def rail_colour(y, h=13, flat=False):
    t = (y + 0.5) / h
    c = mix(RAIL_TOP, RAIL_BOT, t ** 0.8)
    if flat:
        c = mix(c, (48, 52, 60), 0.55)
    return c


def transport_image(w, kind, enabled):
    h = 13
    img = Img(w, h)
    for y in range(h):
        img.rect(0, y, w, 1, rail_colour(y, h, not enabled))
    cx = 17.0                  # centred on the 34 pixels every slot shows
    top, bot, mid = 3.0, 10.0, 6.5
    shapes = []
    if kind == 'play':
        shapes.append(lambda x, y: sd_convex(x, y, [(cx - 3, top), (cx + 4, mid), (cx - 3, bot)]))
    elif kind == 'stop':
        shapes.append(lambda x, y: sd_rbox(x, y, cx - 3.5, top, cx + 3.5, bot, 0.6))
    elif kind == 'pause':
        shapes.append(lambda x, y: sd_rbox(x, y, cx - 3, top, cx - 1, bot, 0.3))
        shapes.append(lambda x, y: sd_rbox(x, y, cx + 1, top, cx + 3, bot, 0.3))
    elif kind == 'prev':
        shapes.append(lambda x, y: sd_rbox(x, y, cx - 5, top, cx - 4, bot, 0.0))
        shapes.append(lambda x, y: sd_convex(x, y, [(cx - 3, mid), (cx + 1, top), (cx + 1, bot)]))
        shapes.append(lambda x, y: sd_convex(x, y, [(cx + 1, mid), (cx + 5, top), (cx + 5, bot)]))
    elif kind == 'next':
        shapes.append(lambda x, y: sd_convex(x, y, [(cx - 5, top), (cx - 1, mid), (cx - 5, bot)]))
        shapes.append(lambda x, y: sd_convex(x, y, [(cx - 1, top), (cx + 3, mid), (cx - 1, bot)]))
        shapes.append(lambda x, y: sd_rbox(x, y, cx + 4, top, cx + 5, bot, 0.0))

    def f(x, y):
        return min(s(x, y) for s in shapes)

    if enabled:
        def ink(x, y):
            return mix((150, 250, 255), ACCENT, clamp((y - 3) / 7))
        fill_sdf(img, f, ink, glow=(ACCENT, 0.22, 1.8))
    else:
        fill_sdf(img, f, (92, 97, 106))
    return img


# ---------------------------------------------------------------- mute

def mute_image(muted):
    w, h = 26, 25
    img = Img(w, h, MUTE_WELL)
    cx, cy, r = 13.0, 12.5, 11.5

    def cap(x, y):
        dx, dy = x + 0.5 - cx, y + 0.5 - cy
        rr = math.hypot(dx, dy) / r
        c = mix((78, 85, 98), (34, 37, 45), clamp((y + 0.5 - (cy - r)) / (2 * r)))
        if rr > 0.86:          # bevel lip lit from the top left
            n = (dx / (rr * r + 1e-9), dy / (rr * r + 1e-9), 0.3)
            c = add(c, 40 * lum(norm3(n)))
        return c

    fill_sdf(img, lambda x, y: sd_circle(x, y, cx, cy, r + 0.6), (8, 9, 12))
    fill_sdf(img, lambda x, y: sd_circle(x, y, cx, cy, r), cap)
    ink = (110, 118, 130) if muted else ACCENT
    box = (5.0, 10.0, 9.0, 15.0)
    cone = [(8.5, 10.0), (13.0, 6.0), (13.0, 19.0), (8.5, 15.0)]
    fill_sdf(img, lambda x, y: min(sd_rbox(x, y, *box, 0.0), sd_convex(x, y, cone)), ink)
    if muted:
        cross = (235, 238, 242)
        for a in ((16.2, 9.7, 21.2, 14.7), (21.2, 9.7, 16.2, 14.7)):
            fill_sdf(img, lambda x, y, a=a: sd_segment(x, y, *a, 0.8), cross)
    else:
        for rad in (3.6, 6.8):
            def arc(x, y, rad=rad):
                dx, dy = x - 12.0, y - cy
                ang = math.atan2(dy, dx)
                ring = abs(math.hypot(dx, dy) - rad) - 0.7
                return max(ring, (abs(ang) - 0.85) * rad)
            fill_sdf(img, arc, ACCENT)
    return img


# ---------------------------------------------------------------- level box

LEVEL_BG = (7, 11, 15)
LEVEL_LINE = (15, 25, 30)


def level_box_image():
    w, h = 177, 43
    img = Img(w, h, LEVEL_BG)
    for y in range(39, 0, -5):        # faint scale lines, counted from the floor
        img.rect(0, y, 165, 1, LEVEL_LINE)
    img.rect(0, 40, 177, 1, ACCENT_DIM)            # floor under the bars
    for k, y in enumerate(range(39, -1, -5)):      # scale ticks in the spare column
        img.rect(168, y, 5 if k % 2 == 0 else 3, 1, (0, 80, 86) if k % 2 else ACCENT_DIM)
    return img


# ---------------------------------------------------------------- main picture

W, H = 461, 239
SPK_L = (108.5, 180.5)      # pixel 108 is the middle of 65..151
SPK_R = (403.5, 180.5)


def shape_parts(x, y):
    body = sd_rbox(x, y, 86, 50, 426, 233, 16)
    lobes = min(sd_circle(x, y, SPK_L[0], SPK_L[1], 52), sd_circle(x, y, SPK_R[0], SPK_R[1], 52))
    s = smin(body, lobes, 10)
    handle = max(sd_rbox(x, y, 146, 8, 366, 70, 20), -sd_rbox(x, y, 164, 24, 348, 90, 10))
    return smin(s, handle, 6), handle


def shape(x, y):
    return shape_parts(x, y)[0]


def body_colour(x, y):
    d, hd = shape_parts(x, y)
    t = clamp((y - 50) / 185)
    c = mix((62, 67, 77), (33, 36, 43), t)
    if y < 50 and hd < 0:                     # the carrying handle: a rounded tube
        s = clamp(-hd / 8.5)
        e = 0.35
        gx = (shape_parts(x + e, y)[1] - shape_parts(x - e, y)[1]) / (2 * e)
        gy = (shape_parts(x, y + e)[1] - shape_parts(x, y - e)[1]) / (2 * e)
        k = 1 - s
        n = norm3((gx * k, gy * k, math.sqrt(max(0.0, 1 - k * k)) + 0.05))
        l = lum(n)
        c = mix((30, 33, 40), (96, 103, 116), clamp(0.5 + 0.6 * l))
        shine = clamp(l - 0.75) * 4
        c = mix(c, (190, 198, 210), shine * 0.6)
    # bevel along the silhouette
    depth = -d
    if depth < 3.2:
        e = 0.35
        gx = (shape(x + e, y) - shape(x - e, y)) / (2 * e)
        gy = (shape(x, y + e) - shape(x, y - e)) / (2 * e)
        l = gx * LIGHT[0] + gy * LIGHT[1]             # outward normal facing the light
        w = 1 - smoothstep(1.0, 3.2, depth)
        c = add(c, 75 * l * w)
        if depth < 1.0:
            c = mix(c, (14, 15, 19), 0.75)           # dark outline: holds on light desktops
    return c


def groove(img, x, y, w, h, inner=KEY_GROOVE, lit=(92, 99, 112), shade=(20, 22, 27)):
    """Recess around the rectangle x,y,w,h: outline, then a bevel that is lit below."""
    for i in range(x - 1, x + w + 1):
        img.set(i, y - 1, inner)
        img.set(i, y + h, inner)
    for j in range(y - 1, y + h + 1):
        img.set(x - 1, j, inner)
        img.set(x + w, j, inner)
    for i in range(x - 1, x + w + 1):
        img.set(i, y - 2, shade)
        img.set(i, y + h + 1, lit)
    for j in range(y - 1, y + h + 1):
        img.set(x - 2, j, shade)
        img.set(x + w + 1, j, lit)


def speaker(img, mask, cx, cy):
    ss = 3
    for y in range(int(cy - 51), int(cy + 52)):
        for x in range(int(cx - 51), int(cx + 52)):
            if not mask[y][x]:
                continue
            acc = [0.0, 0.0, 0.0]
            cov = 0.0
            for sj in range(ss):
                for si in range(ss):
                    px = x + (si + 0.5) / ss
                    py = y + (sj + 0.5) / ss
                    c = speaker_sample(px - cx, py - cy)
                    if c is None:
                        continue
                    acc[0] += c[0]
                    acc[1] += c[1]
                    acc[2] += c[2]
                    cov += 1
            if cov:
                img.blend(x, y, (acc[0] / cov, acc[1] / cov, acc[2] / cov), cov / (ss * ss))


def speaker_sample(dx, dy):
    r = math.hypot(dx, dy)
    if r > 50.0:
        return None
    ux, uy = (dx / r, dy / r) if r > 1e-6 else (0.0, 0.0)
    if r < 10.0:                                    # dust cap dome
        q = r / 10.0
        n = (dx / 10.0, dy / 10.0, math.sqrt(max(0.0, 1 - q * q)))
        l = lum(n)
        c = mix((22, 24, 30), (112, 120, 134), clamp(l) ** 1.6)
        if q > 0.9:
            c = mix(c, (10, 11, 14), (q - 0.9) * 6)
        return c
    if r < 39.0:                                    # shallow cone
        n = norm3((-ux * 0.22, -uy * 0.22, 1))
        l = lum(n)
        c = scale((26, 29, 35), 0.75 + 0.45 * l)
        for rr in (19.0, 29.0):                     # pressed rings in the cone
            k = math.exp(-((r - rr) / 0.9) ** 2)
            c = add(c, -18 * k * (ux * LIGHT[0] + uy * LIGHT[1]) + 2 * k)
        return c
    if r < 43.0:                                    # rubber surround
        t = (r - 39.0) / 4.0
        n = norm3((ux * (2 * t - 1), uy * (2 * t - 1), 0.7))
        return mix((14, 15, 19), (64, 69, 80), clamp(0.35 + 0.75 * lum(n)))
    if r < 44.2:                                    # accent ring
        return ACCENT
    t = (r - 44.2) / 5.8                            # brushed bezel
    n = norm3((ux * (2 * t - 1) * 0.9, uy * (2 * t - 1) * 0.9, 0.6))
    l = lum(n)
    ang = math.atan2(dy, dx)
    sheen = 0.08 * math.cos(2 * (ang + 0.8))
    return mix((44, 48, 57), (182, 189, 200), clamp(0.35 + 0.7 * l + sheen))


def draw_bk():
    img = Img(W, H, RED)
    mask = [[shape(x + 0.5, y + 0.5) < 0 for x in range(W)] for y in range(H)]
    for y in range(H):
        for x in range(W):
            if mask[y][x]:
                img.set(x, y, body_colour(x + 0.5, y + 0.5))

    # --- top deck: pale keys left and right, name plate between them
    for (x, y, w, h) in ((118, 63, 21, 10), (141, 63, 21, 10),
                         (349, 64, 21, 10), (372, 64, 21, 10), (395, 64, 21, 10)):
        groove(img, x, y, w, h)
        img.rect(x, y, w, h, KEY_FACE)
    name = "SONELLO"
    tw = text_width(name, FONT5X7, 2)
    px0 = 256 - (tw + 1) // 2
    groove(img, px0 - 6, 61, tw + 12, 13, inner=(10, 12, 15))
    img.rect(px0 - 6, 61, tw + 12, 13, (16, 19, 24))
    draw_text(img, px0, 65, name, FONT5X7, (0, 60, 66), gap=2)          # soft shadow
    draw_text(img, px0, 64, name, FONT5X7,
              lambda x, y: mix((170, 252, 255), ACCENT, clamp((y - 64) / 6)), gap=2)
    for (a, b) in ((168, px0 - 11), (px0 + tw + 11, 343)):               # accent pinstripes
        img.rect(a, 67, b - a + 1, 1, ACCENT_DIM)
        img.rect(a, 68, b - a + 1, 1, (24, 27, 33))

    # --- display: song path and time in white on a dark glass
    groove(img, 117, 83, 267, 23, inner=(6, 8, 10))
    for y in range(83, 106):
        for x in range(117, 384):
            t = (y - 83) / 22
            c = mix((16, 25, 30), DISPLAY, min(1.0, t * 2.5))
            img.set(x, y, c)
    img.rect(309, 87, 1, 16, (30, 44, 50))                                # divider before the time

    # --- mute key in its own round-cornered well
    groove(img, 388, 82, 30, 28, inner=(8, 9, 12))
    img.rect(388, 82, 30, 28, MUTE_WELL)

    # --- silver trim for the system trackbars (position, volume)
    for (x, y, w, h) in ((150, 110, 200, 12), (160, 198, 190, 12)):
        groove(img, x, y, w, h, inner=(120, 124, 132), lit=(96, 102, 114), shade=(18, 20, 24))
        img.rect(x, y, w, h, SILVER)

    # --- status LCD, pale so the grey text reads
    groove(img, 277, 129, 64, 14, inner=(6, 8, 10))
    for y in range(129, 143):
        for x in range(277, 341):
            c = LCD if y > 129 else mix(LCD, (150, 172, 166), 0.6)
            img.set(x, y, c)
    for y in (131, 134, 137, 140):                                       # vent slots
        img.rect(176, y, 92, 1, (14, 16, 20))
        img.rect(176, y + 1, 92, 1, (74, 80, 92))

    # --- level box: dark glass identical to spectrum.bmp, framed
    groove(img, 172, 152, 177, 43, inner=(4, 6, 8))
    level = level_box_image()
    for y in range(43):
        for x in range(177):
            img.set(172 + x, 152 + y, level.get(x, y))

    # --- transport rail; separators sit in the gaps between the key bitmaps
    groove(img, 166, 211, 180, 13, inner=(8, 9, 12))
    for y in range(211, 224):
        img.rect(166, y, 180, 1, rail_colour(y - 211))
    for x in (201, 238, 275, 311):
        img.rect(x, 211, 1, 13, (12, 13, 16))

    # --- speakers
    speaker(img, mask, *SPK_L)
    speaker(img, mask, *SPK_R)

    # everything outside stays exactly red; nothing inside may be red
    for y in range(H):
        for x in range(W):
            if not mask[y][x]:
                img.set(x, y, RED)
    return img, mask


def check_inside(mask, rects):
    for (x, y, w, h) in rects:
        for j in range(y - 1, y + h + 1):
            for i in range(x - 1, x + w + 1):
                if not mask[j][i]:
                    raise SystemExit("rectangle %r leaves the window shape at %d,%d" % ((x, y, w, h), i, j))


# ---------------------------------------------------------------- icon

def icon_rgba(size):
    s = size / 32.0
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            n = 4
            for sj in range(n):
                for si in range(n):
                    px = (x + (si + 0.5) / n) / s
                    py = (y + (sj + 0.5) / n) / s
                    col = icon_sample(px, py, size <= 16)
                    if col is None:
                        continue
                    acc[0] += col[0]
                    acc[1] += col[1]
                    acc[2] += col[2]
                    acc[3] += 1
            a = acc[3] / (n * n)
            if acc[3]:
                rgb = tuple(int(round(clamp(v / acc[3], 0, 255))) for v in acc[:3])
            else:
                rgb = (0, 0, 0)
            row.append(rgb + (int(round(a * 255)),))
        out.append(row)
    return out


def icon_sample(x, y, small):
    """32x32 design units; a speaker disc with an accent ring and a note.
    The 16x16 tray size gets a bolder note on whole pixels."""
    dx, dy = x - 16, y - 16
    r = math.hypot(dx, dy)
    if r > 15.5:
        return None
    bezel, ring = (14.0, 11.8) if small else (13.0, 11.2)
    if r > bezel:
        t = (r - bezel) / (15.5 - bezel)
        ux, uy = dx / r, dy / r
        n = norm3((ux * (2 * t - 1), uy * (2 * t - 1), 0.6))
        return mix((50, 55, 64), (200, 206, 216), clamp(0.4 + 0.7 * lum(n)))
    if r > ring:
        return ACCENT
    if small:
        note = min(sd_circle(x, y, 13.0, 21.0, 3.9),
                   sd_rbox(x, y, 15.0, 7.0, 17.0, 21.0, 0.0),
                   sd_segment(x, y, 16.0, 8.0, 21.5, 12.5, 1.4))
    else:
        note = min(sd_circle(x, y, 13.2, 20.6, 3.3),
                   sd_rbox(x, y, 14.8, 8.0, 16.5, 21.0, 0.0),
                   sd_segment(x, y, 15.6, 8.8, 20.5, 12.4, 1.1))
    if note < 0:
        return mix((235, 255, 255), (120, 240, 248), clamp((y - 8) / 14))
    base = mix((52, 58, 68), (18, 20, 25), clamp((y - 3) / 24))
    return base


# ---------------------------------------------------------------- main

def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)

    def p(name):
        return os.path.join(out, name)

    bk, mask = draw_bk()
    check_inside(mask, [
        (349, 64, 21, 10), (372, 64, 21, 10), (395, 64, 21, 10), (390, 83, 26, 26),
        (276, 211, 34, 13), (166, 211, 34, 13), (203, 211, 34, 13), (241, 211, 34, 13),
        (312, 211, 34, 13), (118, 63, 21, 10), (141, 63, 21, 10),
        (279, 130, 60, 12), (320, 89, 60, 12), (125, 89, 180, 12),
        (150, 110, 200, 12), (160, 198, 190, 12), (172, 152, 165, 40)])
    for (cx, cy) in (SPK_L, SPK_R):                  # the rings of dots
        for y in range(H):
            for x in range(W):
                if math.hypot(x + 0.5 - cx, y + 0.5 - cy) < 44 and not mask[y][x]:
                    raise SystemExit("speaker disc leaves the shape at %d,%d" % (x, y))
    rows = bk.rows()
    forced = [KEY_FACE, MUTE_WELL, SILVER, LCD] + [tuple(int(round(v)) for v in rail_colour(y)) for y in range(13)]
    for row in level_box_image().rows():
        forced.extend(row)
    pal, idx = quantise(rows, forced, 256)
    for y in range(H):
        for x in range(W):
            if (idx[y][x] == 0) == mask[y][x]:
                raise SystemExit("red where it must not be at %d,%d" % (x, y))
    write_bmp_indexed(p("bk.bmp"), idx, pal, 8)

    for name, pressed, w in (("about.bmp", False, 43), ("about_down.bmp", True, 48)):
        rows = about_tile(w, 48, pressed).rows()
        pal16, idx16 = quantise(rows, [KEY_FACE], 16, red=False)
        pal16 = pal16 + [(0, 0, 0)] * (16 - len(pal16))
        write_bmp_indexed(p(name), idx16, pal16, 4)

    write_bmp24(p("close.bmp"), key_image(19, 9, glyph_close).rows())
    write_bmp24(p("min.bmp"), key_image(18, 10, glyph_min).rows())
    write_bmp24(p("list.bmp"), key_image(19, 10, glyph_list).rows())
    write_bmp24(p("lrc.bmp"), key_image(19, 9, glyph_lrc).rows())
    for kind in ("next", "pause", "prev", "play", "stop"):
        w = 37 if kind == "pause" else 34
        write_bmp24(p(kind + ".bmp"), transport_image(w, kind, True).rows())
        write_bmp24(p(kind + "_dis.bmp"), transport_image(w, kind, False).rows())
    write_bmp24(p("mute_on.bmp"), mute_image(True).rows())
    write_bmp24(p("mute_off.bmp"), mute_image(False).rows())
    write_bmp24(p("spectrum.bmp"), level_box_image().rows())
    write_ico(p("sonello.ico"), [(32, icon_rgba(32)), (16, icon_rgba(16))])


if __name__ == "__main__":
    main()
