"""The small pictures laid over the window: the top keys, the about tile, the transport
keys, the mute key and the level box.
"""

import math

from art_paint import (
    ACCENT, ACCENT_DIM, FONT3X5, Img, KEY_FACE, KEY_INK, MUTE_WELL, RAIL_BOT, RAIL_TOP, add, clamp,
    draw_text, fill_sdf, lum, mix, norm3, sd_circle, sd_convex, sd_rbox, sd_segment, text_width)


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
