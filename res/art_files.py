"""The files the resource script embeds: 24-bit and indexed BMPs, the icon, and the
palettes the indexed pictures are cut to.
"""

import math
import struct

from art_paint import RED


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
