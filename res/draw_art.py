#!/usr/bin/python3
"""Draw Sonello's skin: window picture, buttons, list tile, level box and icon.

Usage: draw_art.py [output_dir]      (default: the folder of this script)

Standard library only. Every shape comes from fixed numbers, so two runs
give byte-identical files.
"""

import math
import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the pictures

from art_paint import (
    ACCENT, ACCENT_DIM, DISPLAY, FONT5X7, Img, KEY_FACE, KEY_GROOVE, LCD, LIGHT, MUTE_WELL, RED,
    SILVER, add, clamp, draw_text, lum, mix, norm3, scale, sd_circle, sd_rbox, sd_segment, smin,
    smoothstep, text_width)
from art_files import quantise, write_bmp24, write_bmp_indexed, write_ico
from art_keys import (
    about_tile, glyph_close, glyph_list, glyph_lrc, glyph_min, key_image, level_box_image,
    mute_image, rail_colour, transport_image)


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


def draw_top_deck(img):
    """Pale keys left and right, the name plate between them."""
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


def draw_middle(img):
    """The display, the mute well and the trim of the two system trackbars."""
    # display: song path and time in white on a dark glass
    groove(img, 117, 83, 267, 23, inner=(6, 8, 10))
    for y in range(83, 106):
        for x in range(117, 384):
            t = (y - 83) / 22
            c = mix((16, 25, 30), DISPLAY, min(1.0, t * 2.5))
            img.set(x, y, c)
    img.rect(309, 87, 1, 16, (30, 44, 50))                                # divider before the time

    # mute key in its own round-cornered well
    groove(img, 388, 82, 30, 28, inner=(8, 9, 12))
    img.rect(388, 82, 30, 28, MUTE_WELL)

    # silver trim for the system trackbars (position, volume)
    for (x, y, w, h) in ((150, 110, 200, 12), (160, 198, 190, 12)):
        groove(img, x, y, w, h, inner=(120, 124, 132), lit=(96, 102, 114), shade=(18, 20, 24))
        img.rect(x, y, w, h, SILVER)


def draw_lower_deck(img):
    """The status LCD and vents, the level box and the transport rail."""
    # status LCD, pale so the grey text reads
    groove(img, 277, 129, 64, 14, inner=(6, 8, 10))
    for y in range(129, 143):
        for x in range(277, 341):
            c = LCD if y > 129 else mix(LCD, (150, 172, 166), 0.6)
            img.set(x, y, c)
    for y in (131, 134, 137, 140):                                       # vent slots
        img.rect(176, y, 92, 1, (14, 16, 20))
        img.rect(176, y + 1, 92, 1, (74, 80, 92))

    # level box: dark glass identical to spectrum.bmp, framed
    groove(img, 172, 152, 177, 43, inner=(4, 6, 8))
    level = level_box_image()
    for y in range(43):
        for x in range(177):
            img.set(172 + x, 152 + y, level.get(x, y))

    # transport rail; separators sit in the gaps between the key bitmaps
    groove(img, 166, 211, 180, 13, inner=(8, 9, 12))
    for y in range(211, 224):
        img.rect(166, y, 180, 1, rail_colour(y - 211))
    for x in (201, 238, 275, 311):
        img.rect(x, 211, 1, 13, (12, 13, 16))


def draw_bk():
    img = Img(W, H, RED)
    mask = [[shape(x + 0.5, y + 0.5) < 0 for x in range(W)] for y in range(H)]
    for y in range(H):
        for x in range(W):
            if mask[y][x]:
                img.set(x, y, body_colour(x + 0.5, y + 0.5))
    draw_top_deck(img)
    draw_middle(img)
    draw_lower_deck(img)
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
