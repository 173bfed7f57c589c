"""Colours shared by the pictures, colour arithmetic, a float RGB image, signed
distances for smooth shapes, and the two pixel fonts.
"""

import math



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
