"""Writes Windows metafiles and enhanced metafiles record by record, with probe points.

For each NAME.wmf / NAME.emf it prints one line: NAME x y RRGGBB [x y RRGGBB ...], where (x, y)
is a pixel of the picture played at its natural size. Usage: make_metafiles.py OUTDIR
"""
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
    header = struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(body)) // 2, 4, 10, 0)
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


RED, GREEN, BLUE, YELLOW = 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF
lines = []


def save(name, data, probes):
    (out / name).write_bytes(data)
    lines.append(" ".join([name] + ["%d %d %06X" % p for p in probes]))


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
    print("\n".join(lines))


main()
