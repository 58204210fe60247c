#!/usr/bin/python3
"""Crafted inputs for the cost checks of kestrel-cli: each kind in three sizes, so that growth
shows. Writes into the folder given; run_costs.sh runs kestrel-cli on them and reports time and
peak memory. Nothing here is part of `make test`.

Kinds: picture bombs (JPEG, PNG), metafiles of many records and of a huge polygon, gradations of
many stops repeated, long arc titles, NUL-laden and long CSVs, catalogues of many papers, a QR
object whose data cannot fit, oversized drawing settings, documents of many small pictures."""

import base64
import io
import json
import os
import struct
import sys

from PIL import Image

PAPER = "A4 CDラベル 2面 (外径117mm/内径41mm)"
out = sys.argv[1]
os.makedirs(out, exist_ok=True)


def write(name, data):
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(os.path.join(out, name), mode, **({} if mode == "wb" else {"encoding": "utf-8"})) as f:
        f.write(data)


def scene(objects, face=1):
    return json.dumps({"sheets": [{"paper": {"name": PAPER}, "faces": [{"face": face, "objects": objects}]}]},
                      ensure_ascii=False)


def picture(left, top, width, height, file=None, data=None):
    record = {"file": file} if file else data
    return {"class": "TLOImage", "properties": {"Left": left, "Top": top, "Width": width, "Height": height,
                                                "ImageData": {"Picture": {"Data": record}}}}


# ---- enhanced metafiles
def emf(records, size=1000):
    body = b"".join(records)
    header_size = 108
    header = struct.pack("<II4i4iIIIIHHIIII2i2i", 1, header_size, 0, 0, size - 1, size - 1, 0, 0, 26458, 26458,
                         0x464D4520, 0x10000, 0, 0, 0, 0, 0, 0, 0, 0, 1000, 1000, 264, 264)
    header += b"\0" * (header_size - len(header))
    eof = struct.pack("<IIIII", 14, 20, 0, 0, 20)
    return header + body + eof


def rectangle(l, t, r, b):
    return struct.pack("<II4i", 43, 24, l, t, r, b)


def polygon(points):
    data = struct.pack("<4iI", 0, 0, 1000, 1000, len(points)) + b"".join(struct.pack("<2i", x, y) for x, y in points)
    return struct.pack("<II", 3, 8 + len(data)) + data


def metafile_picture_data(emf_bytes):
    """A picture "Data" record of class TMetafile, as base64 of the binary record."""
    name = b"TMetafile"
    return base64.b64encode(bytes([len(name)]) + name + emf_bytes).decode()


for n in (10000, 30000, 100000):
    write(f"rects-{n}.emf", emf([rectangle(i % 900, i % 700, i % 900 + 100, i % 700 + 300) for i in range(n)]))
    write(f"rects-{n}.json", scene([picture(100, 100, 900, 900, file=f"rects-{n}.emf")]))
for n in (100000, 300000, 1000000):
    points = [((i * 7919) % 1000, (i * 104729) % 1000) for i in range(n)]
    write(f"polygon-{n}.emf", emf([polygon(points)]))
    write(f"polygon-{n}.json", scene([picture(100, 100, 900, 900, file=f"polygon-{n}.emf")]))

# ---- many small metafile pictures in one document
small = emf([rectangle(0, 0, 500, 500)], size=600)
for n in (100, 300, 1000):
    objects = [{"class": "TLOImage", "properties": {"Left": 10 + i % 100 * 10, "Top": 10 + i // 100 * 10,
                                                     "Width": 100, "Height": 100,
                                                     "ImageData": {"Picture": {"Data": metafile_picture_data(small)}}}}
               for i in range(n)]
    write(f"emf-pictures-{n}.json", scene(objects))

# ---- picture bombs: large pictures of few bytes, drawn small
for side in (2000, 4000, 8000):
    image = Image.new("RGB", (side, side), (200, 120, 40))
    buffer = io.BytesIO()
    image.save(buffer, "JPEG", quality=50)
    write(f"bomb-{side}.jpg", buffer.getvalue())
    buffer = io.BytesIO()
    image.save(buffer, "PNG", optimize=True)
    write(f"bomb-{side}.png", buffer.getvalue())
    for kind in ("jpg", "png"):
        write(f"bomb-{side}-{kind}.json", scene([picture(100 + 90 * i, 100, 600, 600, file=f"bomb-{side}.{kind}")
                                                 for i in range(10)]))

# ---- gradations: many stops, repeated
for stops in (1000, 10000, 100000):
    colours = base64.b64encode(struct.pack("<i", stops) + b"".join(struct.pack("<i", (i * 2654435761) & 0xFFFFFF)
                                                                     for i in range(stops))).decode()
    write(f"gradation-{stops}.json", scene([{"class": "TLORect", "properties": {
        "Left": 100, "Top": 100, "Width": 900, "Height": 900,
        "FillColor": {"Kind": "cskGradation", "GradKind": "rgkConeClockwise",
                      "GradColors": {"RepeatCount": 1024, "Colors": colours}}}}]))

# ---- arc titles
for n in (500, 2000, 8000):
    write(f"arc-{n}.json", scene([{"class": "TLOText", "properties": {
        "Left": 135, "Top": 290, "Width": 900, "Height": 80, "Text": ["夜明けの歌" * (n // 5)],
        "Font": {"Name": "ＭＳ Ｐ明朝", "Size": 28}, "Align": 1, "Angle": 0, "Bulge": 262}}]))
    write(f"straight-{n}.json", scene([{"class": "TLOText", "properties": {
        "Left": 135, "Top": 290, "Width": 900, "Height": 80, "Text": ["夜明けの歌" * (n // 5)],
        "Font": {"Name": "ＭＳ Ｐ明朝", "Size": 28}, "Align": 1, "Angle": 0}}]))

# ---- mail merge: a template and CSVs
write("template.json", scene([{"class": "TLOText", "properties": {
    "Left": 135, "Top": 290, "Width": 900, "Height": 80, "Text": ["{{title}}"],
    "Font": {"Name": "ＭＳ Ｐ明朝", "Size": 28}, "Align": 1, "Angle": 0}}]))
for rows in (1000, 3000, 10000):
    write(f"rows-{rows}.csv", "title\r\n" + "".join(f"曲 {i}\r\n" for i in range(rows)))
write("nul.csv", b"a\nb\x00\n")
for size in (1, 4, 16):
    write(f"nul-{size}m.csv", b"title\n" + b"b\x00," * (size * 1024 * 1024 // 3) + b"\n")
    write(f"long-field-{size}m.csv", b"title\n" + b"x" * (size * 1024 * 1024) + b"\n")

# ---- catalogues of many papers
for count in (1000, 3000, 10000):
    source = {"version": 1, "makers": [], "groups": ["シール・普通紙"],
              "purposes": [{"ID": "", "DisplayName": "", "ShapeMask": []}],
              "papers": [{"class": "TMatrixPaperInfo", "properties": {
                  "Width": 2100, "Height": 2970, "PaperName": f"用紙 {i}", "GroupName": "シール・普通紙",
                  "TopOffset": 100, "LeftOffset": 100, "FaceWidth": 800, "FaceHeight": 500,
                  "FaceCountX": 2, "FaceCountY": 4, "FaceShape": "fsRect"}} for i in range(count)]}
    write(f"papers-{count}.json", json.dumps(source, ensure_ascii=False))

# ---- a QR object whose data cannot fit, and oversized settings
write("qr-7000.json", scene([{"class": "TLOQRCode", "properties": {
    "Left": 100, "Top": 100, "Width": 300, "Height": 300,
    "QRData": base64.b64encode(struct.pack("<i", 7000) + b"x" * 7000).decode()}}]))
pattern = Image.new("RGB", (64, 16), (30, 90, 200))
buffer = io.BytesIO()
pattern.save(buffer, "PNG")
write("pattern.png", buffer.getvalue())
for width in (2000, 8000, 20000):
    write(f"linewidth-{width}.json", scene([{"class": "TLODecoLine", "properties": {
        "StartX": 100, "StartY": 100, "EndX": 1000, "EndY": 1000, "LineWidth": width,
        "Image": {"Data": {"file": "pattern.png"}}}}]))
