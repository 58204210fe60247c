"""An independent reading of the picture effects' formulas, over random pictures.

Writes into OUTDIR: pictures as NAME.bgr (width, height as little-endian uint32, then blue, green,
red bytes per pixel), and cases.txt with one line per case: effect, parameters, input, output.
Usage: effects_reference.py OUTDIR
"""
import math
import random
import struct
import sys
from pathlib import Path

out = Path(sys.argv[1])
rng = random.Random(81)


def write(name, w, h, px):
    (out / name).write_bytes(struct.pack("<II", w, h) + bytes(v for p in px for v in p))


def at(px, w, h, x, y):
    return px[min(max(y, 0), h - 1) * w + min(max(x, 0), w - 1)]


def blur_once(px, w, h):
    res = []
    for y in range(h):
        for x in range(w):
            total = [0, 0, 0]
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    p = at(px, w, h, x + dx, y + dy)
                    for c in range(3):
                        total[c] += p[c]
            res.append(tuple(min(255, (2 * s + 9) // 18) for s in total))
    return res


def blur(px, w, h, passes):
    for _ in range(max(passes, 1)):
        px = blur_once(px, w, h)
    return px


def unsharp(px, w, h, radius):
    blurred = blur(px, w, h, max(round(radius), 1))  # Python rounds halves to even
    return [tuple(min(255, max(0, 2 * s - b)) for s, b in zip(p, q)) for p, q in zip(px, blurred)]


def light_table(brightness, contrast):
    b = max(-1.0, min(1.0, brightness / 100))
    c = max(-1.0, min(1.0, contrast / 100))
    table = []
    for j in range(256):
        v = j / 255 + b
        if c < 0:
            v = (v - 0.5) * (c + 1) + 0.5
        elif c < 1:
            v = (v - 0.5) / (1 - c) + 0.5
        else:
            v = 1 if v >= 0.5 else 0
        table.append(max(0, min(255, math.trunc(v * 255 + 0.5))))
    return table


def light(px, brightness, contrast):
    t = light_table(brightness, contrast)
    return [tuple(t[v] for v in p) for p in px]


def mono_table(ref):
    r, g, b = (ref & 255) / 255, ((ref >> 8) & 255) / 255, ((ref >> 16) & 255) / 255
    mx, mn = max(r, g, b), min(r, g, b)
    lum = (mx + mn) / 2
    s = h = 0.0
    if mx != mn:
        d = mx - mn
        s = d / (mx + mn) if lum <= 0.5 else d / (2 - mx - mn)
        if r == mx:
            h = 60 * ((g - b) / d)
        elif g == mx:
            h = 60 * ((b - r) / d + 2)
        else:
            h = 60 * ((r - g) / d + 4)
        h = h + 360 if h < 0 else h - 360 if h >= 360 else h

    def f(x, m1, m2):
        x = math.fmod(x, 360.0)
        x = x + 360 if x < 0 else x
        if x < 60:
            return m1 + (m2 - m1) * x / 60
        if x < 180:
            return m2
        if x < 240:
            return m1 + (m2 - m1) * (240 - x) / 60
        return m1

    table = []
    for j in range(256):
        l2 = j / 255
        if s == 0:
            rgb = (l2, l2, l2)
        else:
            m2 = l2 * (1 + s) if l2 <= 0.5 else l2 + s - l2 * s
            m1 = 2 * l2 - m2
            rgb = (f(h + 120, m1, m2), f(h, m1, m2), f(h - 120, m1, m2))
        table.append(tuple(math.trunc(c * 255) for c in rgb))
    return table


def mono(px, ref):
    t = mono_table(ref)
    res = []
    for b, g, r in px:
        tr, tg, tb = t[(29 * b + 150 * g + 77 * r) >> 8]
        res.append((tb, tg, tr))
    return res


def change(px, frm, to):
    key = (frm >> 16 & 255, frm >> 8 & 255, frm & 255)
    new = (to >> 16 & 255, to >> 8 & 255, to & 255)
    return [new if p == key else p for p in px]


def main():
    out.mkdir(parents=True, exist_ok=True)
    lines = []
    for n, (w, h) in enumerate([(17, 11), (1, 5), (6, 1), (1, 1), (2, 2)]):
        name = f"in{n}.bgr"
        # A small palette makes exact colour matches likely.
        colours = [tuple(rng.randrange(256) for _ in range(3)) for _ in range(5)]
        px = [rng.choice(colours) if rng.random() < 0.4 else tuple(rng.randrange(256) for _ in range(3))
              for _ in range(w * h)]
        write(name, w, h, px)
        frm = colours[0][2] | colours[0][1] << 8 | colours[0][0] << 16
        cases = [("blur", (passes,), blur(px, w, h, passes)) for passes in (0, 1, 2, 5)]
        cases += [("unsharp", (radius,), unsharp(px, w, h, radius)) for radius in (1, 2.5, 3.5, 6)]
        cases += [("light", (bri, con), light(px, bri, con))
                  for bri, con in ((0, 0), (30, 0), (-45, 20), (10, -60), (0, 100), (250, 0), (-7, 99))]
        cases += [("mono", (ref,), mono(px, ref)) for ref in (0xFFFFFF, 0x6680A0, 0xC0C0C0, 0x0000FF, 0x123456)]
        cases += [("change", (frm, 0x00FF00), change(px, frm, 0x00FF00))]
        for k, (kind, params, result) in enumerate(cases):
            result_name = f"out{n}_{k}.bgr"
            write(result_name, w, h, result)
            lines.append(" ".join([kind] + [str(p) for p in params] + [name, result_name]))
    (out / "cases.txt").write_text("\n".join(lines) + "\n")


main()
