"""Writes picture files of every layout the decoders read, each with Pillow's decoding of it.

For each NAME.EXT it writes NAME.EXT.rgba: width and height as little-endian uint32, then the
pixels as RGBA bytes as Pillow reads them. Layouts Pillow cannot write are built here byte by
byte. Usage: make_reference_pictures.py OUTDIR
"""
import io
import random
import struct
import subprocess
import sys
import zlib
from pathlib import Path

from PIL import Image

out = Path(sys.argv[1])
rng = random.Random(11)
W, H = 13, 7  # odd sizes exercise row padding


def noise(mode, size=(W, H)):
    im = Image.new(mode, size)
    bands = len(im.getbands())
    im.putdata([tuple(rng.randrange(256) for _ in range(bands)) if bands > 1 else rng.randrange(256)
                for _ in range(size[0] * size[1])])
    return im


def reference(name, data):
    path = out / name
    path.write_bytes(data)
    im = Image.open(path)
    im.load()
    rgba = im.convert("RGBA")
    (out / (name + ".rgba")).write_bytes(struct.pack("<II", *rgba.size) + rgba.tobytes())


def saved(im, fmt, **options):
    buf = io.BytesIO()
    im.save(buf, fmt, **options)
    return buf.getvalue()


def bmp(bits, rows, palette=b"", height_sign=1, compression=0, width=W, height=H):
    header = struct.pack("<IiiHHIIiiII", 40, width, height_sign * height, 1, bits, compression, len(rows), 2835,
                         2835, len(palette) // 4, 0)
    offset = 14 + len(header) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + palette + rows


def packed_rows(pixels, bits, width=W):
    """pixels: rows of values; each row packed MSB first and padded to 4 bytes."""
    data = b""
    for row in pixels:
        value = 0
        for p in row:
            value = (value << bits) | p
        nbits = width * bits
        pad = (-nbits) % 32
        data += (value << pad).to_bytes((nbits + pad) // 8, "big")
    return data


def random_palette(n):
    return b"".join(bytes([rng.randrange(256), rng.randrange(256), rng.randrange(256), 0]) for _ in range(n))


def png16(width, height):
    raw = b"".join(b"\0" + bytes(rng.randrange(256) for _ in range(width * 6)) for _ in range(height))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    ihdr = struct.pack(">IIBBBBB", width, height, 16, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def rle8(width, height):
    """Runs, an absolute run, a delta and end-of-line codes over a small picture."""
    rows = []
    for y in range(height):
        rows.append(bytes([3, y + 1, 0, 4, 1, 2, 3, 4]) + bytes([width - 7, 5]) + b"\0\0")
    return b"".join(rows)[:-2] + b"\0\1"


def main():
    out.mkdir(parents=True, exist_ok=True)
    reference("one.bmp", saved(noise("L").point(lambda v: 255 if v > 127 else 0).convert("1"), "BMP"))
    reference("four.bmp", bmp(4, packed_rows([[rng.randrange(16) for _ in range(W)] for _ in range(H)], 4),
                              random_palette(16)))
    reference("eight.bmp", saved(noise("L").convert("P", palette=Image.Palette.ADAPTIVE), "BMP"))
    reference("colour.bmp", saved(noise("RGB"), "BMP"))
    reference("topdown.bmp", bmp(24, packed_rows([[rng.randrange(1 << 24) for _ in range(W)] for _ in range(H)], 24),
                                 height_sign=-1))
    reference("topdown8.bmp", bmp(8, packed_rows([[rng.randrange(256) for _ in range(W)] for _ in range(H)], 8),
                                  random_palette(256), height_sign=-1))
    reference("words.bmp", bmp(32, bytes(rng.randrange(256) for _ in range(W * H * 4))))
    reference("runs.bmp", bmp(8, rle8(W, H), random_palette(256), compression=1))
    reference("palette.png", saved(noise("RGB").convert("P", palette=Image.Palette.ADAPTIVE, colors=17), "PNG"))
    reference("grey.png", saved(noise("L"), "PNG"))
    reference("greyalpha.png", saved(noise("LA"), "PNG"))
    reference("alpha.png", saved(noise("RGBA"), "PNG"))
    reference("deep.png", png16(W, H))
    reference("interlaced.gif", saved(noise("RGB", (W, 19)).convert("P", palette=Image.Palette.ADAPTIVE), "GIF",
                                      interlace=True))
    reference("transparent.gif", saved(noise("L").convert("P"), "GIF", transparency=7, interlace=False))
    reference("colour.jpg", saved(noise("RGB", (40, 24)), "JPEG", quality=90))
    reference("grey.jpg", saved(noise("L", (40, 24)), "JPEG", quality=90))
    # Layouts the program refuses.
    ppm = out / "source.ppm"
    noise("RGB", (32, 16)).save(ppm)
    for name, option in (("progressive.jpg", "-progressive"), ("arithmetic.jpg", "-arithmetic")):
        (out / name).write_bytes(subprocess.run(["cjpeg", option, str(ppm)], capture_output=True, check=True).stdout)
    (out / "cmyk.jpg").write_bytes(saved(noise("CMYK"), "JPEG"))


main()
