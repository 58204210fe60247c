"""Writes Windows metafiles and enhanced metafiles record by record, with probe points.

For each NAME.wmf / NAME.emf it prints one line: NAME x y RRGGBB [x y RRGGBB ...], where (x, y)
is a pixel of the picture played at its natural size. Usage: make_metafiles.py OUTDIR
"""
import math
import struct
import sys
from pathlib import Path

out = Path(sys.argv[1])


def wmf_record(function, *words, fmt=None):
    body = struct.pack(fmt, *words) if fmt else struct.pack("<%dh" % len(words), *words)
    return struct.pack("<IH", (6 + len(body)) // 2, function) + body


def pen(colour, style=0, width=1):
    return wmf_record(0x02FA, style, width, 0, colour, fmt="<HhhI")


def brush(colour, style=0):
    return wmf_record(0x02FC, style, colour, 0, fmt="<HIH")


def select(i):
    return wmf_record(0x012D, i)


def wmf(records, placeable=None):
    body = b"".join(records) + struct.pack("<IH", 3, 0)
    largest = max(struct.unpack_from("<I", r)[0] for r in records) if records else 3
    header = struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(body)) // 2, 16, largest, 0)
    if placeable:
        left, top, right, bottom = placeable
        head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, left, top, right, bottom, 1440, 0)
        checksum = 0
        for (w,) in struct.iter_unpack("<H", head):
            checksum ^= w
        header = head + struct.pack("<H", checksum) + header
    return header + body


def rect(l, t, r, b):
    return wmf_record(0x041B, b, r, t, l)


def ellipse(l, t, r, b):
    return wmf_record(0x0418, b, r, t, l)


def polygon(points):
    return wmf_record(0x0324, len(points), *[v for p in points for v in p])


def emf_record(kind, body):
    return struct.pack("<II", kind, 8 + len(body)) + body


def emf(records, bounds):
    l, t, r, b = bounds
    body = b"".join(records) + emf_record(14, struct.pack("<III", 0, 16, 20))
    header_body = struct.pack("<iiii", l, t, r, b) + struct.pack("<iiii", 0, 0, (r - l) * 26, (b - t) * 26)
    header_body += struct.pack("<IIIIHHIII", 0x464D4520, 0x10000, 0, 0, 0, 0, 0, 0, 0)
    header_body += struct.pack("<iiii", 1024, 768, 270, 203)
    header = emf_record(1, header_body)
    total = len(header) + len(body)
    header = header[:48] + struct.pack("<II", total, 0) + header[56:]
    return header + body


def emf_pen(slot, colour, width=1):
    return emf_record(38, struct.pack("<IIiiI", slot, 0, width, 0, colour))


def emf_brush(slot, colour, style=0):
    return emf_record(39, struct.pack("<IIII", slot, style, colour, 0))


def emf_select(slot):
    return emf_record(37, struct.pack("<I", slot))


def emf_rect(kind, l, t, r, b):
    return emf_record(kind, struct.pack("<iiii", l, t, r, b))


def emf_poly16(kind, points):
    return emf_record(kind, struct.pack("<iiiiI", 0, 0, 0, 0, len(points)) + b"".join(struct.pack("<hh", *p) for p in points))


def dib_2x2():
    """A bottom-up 24-bit DIB: red, green on top; blue, yellow below."""
    header = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, 16, 0, 0, 0, 0)
    bottom = bytes([0xFF, 0, 0, 0, 0xFF, 0xFF]) + b"\0\0"
    top = bytes([0, 0, 0xFF, 0, 0xFF, 0]) + b"\0\0"
    return header, bottom + top


def wmf_font(height, face, charset=128):
    name = face.encode("latin-1").ljust(32, b"\0")
    body = struct.pack("<hhhhhBBBBBBBB", height, 0, 0, 0, 400, 0, 0, 0, charset, 0, 0, 0, 0) + name
    return struct.pack("<IH", (6 + len(body)) // 2, 0x02FB) + body


def wmf_text(x, y, data):
    padded = data + (b"\0" if len(data) % 2 else b"")
    return struct.pack("<IH", (6 + 2 + len(padded) + 4) // 2, 0x0521) + struct.pack("<h", len(data)) + padded + struct.pack("<hh", y, x)


def wmf_region(l, t, r, b):
    body = struct.pack("<hhihhhhhhh", 0, 6, 0, 0, 1, 1, l, t, r, b) + struct.pack("<hhhhhh", 2, t, b, l, r, 2)
    return struct.pack("<IH", (6 + len(body)) // 2, 0x06FF) + body


def emf_font(slot, height, face):
    logfont = struct.pack("<iiiiiBBBBBBBB", height, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0)
    return emf_record(82, struct.pack("<I", slot) + logfont + face.encode("utf-16-le").ljust(64, b"\0"))


def emf_text(x, y, text):
    data = text.encode("utf-16-le")
    fixed = struct.pack("<iiiiIff", 0, 0, 0, 0, 1, 1.0, 1.0)
    emrtext = struct.pack("<iiIIIiiiiI", x, y, len(text), 76, 0, 0, 0, 0, 0, 0)
    return emf_record(84, fixed + emrtext + data.ljust((len(data) + 3) // 4 * 4, b"\0"))


def emf_region_data(rects):
    l = min(r[0] for r in rects); t = min(r[1] for r in rects)
    r_ = max(r[2] for r in rects); b = max(r[3] for r in rects)
    return struct.pack("<IIIIiiii", 32, 1, len(rects), 16 * len(rects), l, t, r_, b) + b"".join(struct.pack("<iiii", *r) for r in rects)


RED, GREEN, BLUE, YELLOW = 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF
BLACKNESS, WHITENESS, SRCAND, SRCCOPY = 0x00000042, 0x00FF0062, 0x008800C6, 0x00CC0020
lines = []


def save(name, data, probes):
    (out / name).write_bytes(data)
    lines.append(" ".join([name] + ["%d %d %s" % (x, y, "-1" if c < 0 else "%06X" % c) for x, y, c in probes]))


def main():
    out.mkdir(parents=True, exist_ok=True)
    save("rect.wmf", wmf([brush(RED), select(0), rect(10, 10, 90, 50)], (0, 0, 100, 60)),
         [(50, 30, 0xFF0000), (95, 55, -1)])
    save("ellipse.wmf", wmf([brush(GREEN), select(0), ellipse(0, 0, 100, 100)], (0, 0, 100, 100)),
         [(50, 50, 0x00FF00), (3, 3, -1)])
    save("polygon.wmf", wmf([brush(BLUE), select(0), polygon([(0, 0), (100, 0), (0, 100)])], (0, 0, 100, 100)),
         [(20, 20, 0x0000FF), (80, 80, -1)])
    save("origin.wmf", wmf([brush(YELLOW), select(0), rect(110, 210, 150, 250)], (100, 200, 200, 300)),
         [(30, 30, 0xFFFF00), (80, 80, -1)])
    save("nullpen.wmf", wmf([pen(0, style=5), brush(RED), select(0), select(1), rect(0, 0, 40, 40),
                             wmf_record(0x01F0, 1), brush(BLUE), select(1), rect(50, 0, 90, 40)], (0, 0, 100, 50)),
         [(20, 20, 0xFF0000), (70, 20, 0x0000FF)])
    save("window.wmf", wmf([wmf_record(0x020B, 0, 0), wmf_record(0x020C, 80, 120), brush(GREEN), select(0),
                            rect(60, 0, 120, 80)]), [(90, 40, 0x00FF00), (30, 40, -1)])
    save("savedc.wmf", wmf([brush(RED), select(0), wmf_record(0x001E), brush(BLUE), select(1),
                            rect(0, 0, 40, 40), wmf_record(0x0127, -1), rect(50, 0, 90, 40)], (0, 0, 100, 50)),
         [(20, 20, 0x0000FF), (70, 20, 0xFF0000)])
    save("rect.emf", emf([emf_brush(1, RED), emf_select(1), emf_rect(43, 10, 10, 90, 50)], (0, 0, 99, 59)),
         [(50, 30, 0xFF0000), (95, 55, -1)])
    save("ellipse.emf", emf([emf_brush(1, GREEN), emf_select(1), emf_rect(42, 0, 0, 100, 100)], (0, 0, 99, 99)),
         [(50, 50, 0x00FF00), (3, 3, -1)])
    save("poly16.emf", emf([emf_brush(1, BLUE), emf_select(1), emf_poly16(86, [(0, 0), (100, 0), (0, 100)]),
                            emf_pen(2, YELLOW, 9), emf_select(2), emf_poly16(87, [(0, 90), (100, 90)])], (0, 0, 99, 99)),
         [(20, 20, 0x0000FF), (80, 80, -1), (60, 90, 0xFFFF00)])
    save("stock.emf", emf([emf_select(0x80000004), emf_select(0x80000008), emf_rect(43, 0, 0, 50, 50),
                           emf_select(0x80000005), emf_select(0x80000007), emf_rect(43, 60, 0, 99, 49)], (0, 0, 99, 49)),
         [(25, 25, 0x000000), (80, 25, -1)])
    save("mapping.emf", emf([emf_record(17, struct.pack("<I", 8)), emf_record(9, struct.pack("<ii", 1000, 1000)),
                             emf_record(11, struct.pack("<ii", 100, 100)), emf_brush(1, RED), emf_select(1),
                             emf_rect(43, 0, 0, 500, 500)], (0, 0, 99, 99)),
         [(25, 25, 0xFF0000), (75, 75, -1)])
    header, bits = dib_2x2()
    quadrants = [(25, 25, 0xFF0000), (75, 25, 0x00FF00), (25, 75, 0x0000FF), (75, 75, 0xFFFF00)]
    save("stretchdib.wmf", wmf([struct.pack("<IHIHhhhhhhhh", (6 + 22 + len(header) + len(bits)) // 2, 0x0F43, SRCCOPY, 0,
                                            2, 2, 0, 0, 100, 100, 0, 0) + header + bits], (0, 0, 100, 100)), quadrants)
    save("clip.wmf", wmf([brush(RED), select(0), wmf_record(0x0416, 100, 50, 0, 0), wmf_record(0x0415, 60, 40, 40, 10),
                          rect(0, 0, 100, 100)], (0, 0, 100, 100)),
         [(25, 75, 0xFF0000), (75, 50, -1), (25, 50, -1), (5, 50, 0xFF0000)])
    save("region.wmf", wmf([brush(BLUE), wmf_region(20, 20, 80, 80), wmf_record(0x0228, 1, 0)], (0, 0, 100, 100)),
         [(50, 50, 0x0000FF), (10, 10, -1), (85, 50, -1)])
    save("rops.wmf", wmf([wmf_record(0x061D, WHITENESS & 0xFFFF, WHITENESS >> 16, 100, 50, 0, 0),
                          wmf_record(0x061D, BLACKNESS & 0xFFFF, BLACKNESS >> 16, 100, 50, 0, 50),
                          brush(GREEN), select(0), wmf_record(0x061D, 0x0021, 0x00F0, 20, 20, 10, 10)], (0, 0, 100, 100)),
         [(5, 50, 0xFFFFFF), (75, 50, 0x000000), (20, 20, 0x00FF00)])
    save("arcs.wmf", wmf([brush(RED), select(0), wmf_record(0x081A, 0, 50, 50, 100, 100, 100, 0, 0),
                          brush(BLUE), select(1), wmf_record(0x061C, 20, 20, 200, 200, 150, 100)], (0, 0, 200, 200)),
         [(75, 25, 0xFF0000), (25, 75, -1), (150, 175, 0x0000FF), (102, 152, -1)])
    save("polypolygon.wmf", wmf([brush(GREEN), select(0),
                                 wmf_record(0x0538, 2, 4, 4, 0, 0, 40, 0, 40, 40, 0, 40, 60, 60, 100, 60, 100, 100, 60, 100)],
                                (0, 0, 100, 100)), [(20, 20, 0x00FF00), (80, 80, 0x00FF00), (50, 50, -1)])
    save("text.wmf", wmf([wmf_font(-80, "IPAGothic"), select(0), wmf_record(0x0209, RED & 0xFFFF, RED >> 16),
                          wmf_record(0x0102, 1), wmf_text(10, 10, "\u25a0".encode("cp932"))], (0, 0, 200, 100)),
         [(50, 50, 0xFF0000), (150, 50, -1)])
    save("text.emf", emf([emf_font(1, -80, "IPAGothic"), emf_select(1), emf_record(24, struct.pack("<I", BLUE)),
                          emf_record(18, struct.pack("<I", 1)), emf_record(22, struct.pack("<I", 24)),
                          emf_text(10, 80, "\u25a0")], (0, 0, 199, 99)),
         [(50, 50, 0x0000FF), (150, 50, -1)])
    save("stretchdibits.emf", emf([emf_record(81, struct.pack("<iiii iiiiii IIIIII ii".replace(" ", ""), 0, 0, 99, 99,
                                                              0, 0, 0, 0, 2, 2, 80, 40, 120, len(bits), 0, SRCCOPY, 100, 100)
                                             + header + bits)], (0, 0, 99, 99)), quadrants)
    save("path.emf", emf([emf_brush(1, GREEN), emf_select(1), emf_record(59, b""),
                          emf_poly16(86, [(0, 0), (100, 0), (0, 100)]), emf_record(60, b""),
                          emf_record(62, struct.pack("<iiii", 0, 0, 0, 0))], (0, 0, 99, 99)),
         [(20, 20, 0x00FF00), (80, 80, -1)])
    save("clippath.emf", emf([emf_record(59, b""), emf_rect(42, 0, 0, 100, 100), emf_record(60, b""),
                              emf_record(67, struct.pack("<I", 5)), emf_brush(1, RED), emf_select(1),
                              emf_rect(43, 0, 0, 100, 100)], (0, 0, 99, 99)),
         [(50, 50, 0xFF0000), (3, 3, -1), (96, 96, -1)])
    save("region.emf", emf([emf_brush(1, BLUE), emf_record(71, struct.pack("<iiiiII", 0, 0, 0, 0, 64, 1)
                                                            + emf_region_data([(10, 10, 40, 40), (60, 60, 90, 90)])),
                            emf_record(75, struct.pack("<II", 48, 5) + emf_region_data([(0, 50, 100, 100)])),
                            emf_brush(2, RED), emf_select(2), emf_rect(43, 0, 0, 100, 100)], (0, 0, 99, 99)),
         [(25, 25, 0x0000FF), (75, 75, 0xFF0000), (50, 25, -1), (50, 75, 0xFF0000)])
    save("world.emf", emf([emf_record(35, struct.pack("<ffffff", 2, 0, 0, 2, 10, 0)), emf_brush(1, YELLOW), emf_select(1),
                           emf_rect(43, 0, 0, 20, 20)], (0, 0, 99, 99)),
         [(30, 20, 0xFFFF00), (60, 20, -1), (5, 20, -1)])
    # A world turned by 45 degrees and moved: the square stands on its corner at (50, 10).
    turn = math.sqrt(0.5)
    save("turned.emf", emf([emf_record(35, struct.pack("<ffffff", turn, turn, -turn, turn, 50, 10)), emf_brush(1, RED),
                            emf_select(1), emf_rect(43, 0, 0, 40, 40)], (0, 0, 99, 99)),
         [(50, 38, 0xFF0000), (50, 62, 0xFF0000), (75, 15, -1), (25, 15, -1)])
    # A sheared world set through ModifyWorldTransform: x' = x + y.
    save("sheared.emf", emf([emf_record(36, struct.pack("<ffffffI", 1, 0, 1, 1, 0, 0, 4)), emf_brush(1, GREEN),
                             emf_select(1), emf_rect(43, 0, 0, 20, 40)], (0, 0, 99, 99)),
         [(50, 36, 0x00FF00), (6, 3, 0x00FF00), (10, 36, -1), (30, 3, -1)])
    save("bitblt.emf", emf([emf_record(76, struct.pack("<iiiiiiiiI ii ffffff I I IIII".replace(" ", ""), 0, 0, 99, 99,
                                                       0, 0, 100, 50, BLACKNESS, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0))],
                           (0, 0, 99, 99)), [(50, 25, 0x000000), (50, 75, -1)])
    print("\n".join(lines))


main()
