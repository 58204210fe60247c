"""Decodes the symbols in picture files with two independent readers, zbar and ZXing.

For every file named on the command line writes one line per reader:
  FILE<TAB>zbar<TAB>HEX,HEX,...
  FILE<TAB>zxing<TAB>FORMAT:HEX,FORMAT:HEX,...
with the exact bytes of each symbol found (empty when none).
"""
import subprocess
import sys

import zxingcpp
from PIL import Image


def zbar(path):
    # -Sbinary keeps the bytes as they are; --raw leaves out the symbology prefix.
    run = subprocess.run(["zbarimg", "-q", "--raw", "-Sbinary", path], capture_output=True)
    return [run.stdout.hex()] if run.returncode == 0 and run.stdout else []


def zxing(path):
    with Image.open(path) as picture:
        results = zxingcpp.read_barcodes(picture.convert("L"))
    return ["%s:%s" % (r.format.name, bytes(r.bytes).hex()) for r in results if r.valid]


def main():
    for path in sys.argv[1:]:
        print("%s\tzbar\t%s" % (path, ",".join(zbar(path))))
        print("%s\tzxing\t%s" % (path, ",".join(zxing(path))))


if __name__ == "__main__":
    main()
