"""Reference QR matrices from segno for the encoder sweep.

Reads lines "VERSION LEVEL MODE MASK HEXDATA" (MODE 0, A or 8) from stdin and writes one line per
request: the symbol's modules row by row as a string of 0/1 characters, or "OVERFLOW" when segno
refuses the data at that version. With VERSION "auto" and MASK "-" it writes only "V" and the
smallest version segno chooses.
"""
import sys

import segno

MODES = {"0": "numeric", "A": "alphanumeric", "8": "byte"}
TO_DIGITS = bytes.maketrans(b"\x00\x01", b"01")


def main():
    out = sys.stdout
    for line in sys.stdin:
        version, level, mode, mask, data = line.split()
        content = bytes.fromhex(data) if data != "-" else b""
        if mode != "8":
            content = content.decode("ascii")
        automatic = version == "auto"
        try:
            qr = segno.make(content, version=None if automatic else int(version), error=level.lower(),
                            mode=MODES[mode], mask=None if automatic else int(mask), boost_error=False,
                            micro=False)
        except segno.DataOverflowError:
            out.write("OVERFLOW\n")
            continue
        if automatic:
            out.write("V%d\n" % qr.version)
            continue
        out.write("".join(bytes(row).translate(TO_DIGITS).decode("ascii") for row in qr.matrix))
        out.write("\n")


if __name__ == "__main__":
    main()
