#!/usr/bin/python3
"""Writes the printer data of direct disc printing (DirectPrinter.xml) from Gutenprint's PPDs.

For every model named below, the PPD that Debian's printer-driver-gutenprint generates is read
and its disc tray turned into one PrinterData element:

- TrayWidth, TrayHeight: the "CDCustom" page, which Gutenprint centres on the disc;
- CenterX, CenterY: the middle of that page;
- MaxOuterWidth/Height: the largest StpCDOuterDiameter; MinInnerWidth/Height: the smallest
  StpCDInnerDiameter;
- the face shape and purpose of a printable disc.

Lengths are 0.1 mm, rounded to nearest. Two more elements carry the limits of the catalogue's
disc groups for printers the data does not list. Run it again after a Gutenprint update:

    data/papers/make_printer_data.py > data/papers/DirectPrinter.xml

With --check FILE it compares instead and exits 1 when the file differs.
"""

import re
import subprocess
import sys

DRIVER = "/usr/lib/cups/driver/gutenprint.5.3"
POINTS_PER_INCH = 72
TENTHS_PER_INCH = 254

EPSON = [
    "Epson PM G720", "Epson PM G800", "Epson PM A820", "Epson PM A950", "Epson PM D800",
    "Epson EP 302", "Epson EP 702A", "Epson EP 801A", "Epson EP 901A",
    "Epson Stylus Photo R200", "Epson Stylus Photo R300", "Epson Stylus Photo R800",
    "Epson Stylus Photo R1800", "Epson Stylus Photo RX500", "Epson Artisan 50",
    "Epson Expression Photo XP-960",
]
CANON = [
    "Canon PIXUS iP4100", "Canon PIXUS iP4500", "Canon PIXUS iP7500", "Canon PIXUS MP600",
    "Canon PIXUS MG6130", "Canon PIXUS MG7530", "Canon PIXMA iP4500", "Canon PIXMA TS8030",
]
# The catalogue's disc groups: a 12 cm and an 8 cm disc in the middle of an A4 sheet, for
# printers without a tray of their own; their smallest hole is the smallest the models print.
GROUPS = [
    ("ダイレクトプリント\\12cmディスク", 1200),
    ("ダイレクトプリント\\8cmディスク", 800),
]
A4 = (2100, 2970)


def tenths(points):
    return int(round(float(points) * TENTHS_PER_INCH / POINTS_PER_INCH))


def driver_uris():
    """Model name -> PPD URI, for every model the driver lists."""
    listing = subprocess.run([DRIVER, "list"], check=True, capture_output=True, text=True).stdout
    uris = {}
    for line in listing.splitlines():
        match = re.match(r'"([^"]+)" \S+ "[^"]*" "(.+?) - CUPS\+Gutenprint', line)
        if match:
            uris.setdefault(match.group(2), match.group(1))
    return uris


def ppd_of(uri):
    return subprocess.run([DRIVER, "cat", uri], check=True, capture_output=True, text=True,
                          encoding="latin-1").stdout


def custom_range(ppd, option):
    match = re.search(r"^\*ParamCustom%s [^:]*:\s*\d+ points ([-\d.]+) ([-\d.]+)" % option, ppd, re.M)
    if not match:
        raise SystemExit("the PPD has no range for %s" % option)
    return float(match.group(1)), float(match.group(2))


def tray_of(model, ppd):
    if not re.search(r"^\*InputSlot CD/", ppd, re.M):
        raise SystemExit("%s has no disc tray" % model)
    page = re.search(r'^\*PaperDimension CDCustom/[^:]*:\s*"([\d.]+) ([\d.]+)"', ppd, re.M)
    width, height = tenths(page.group(1)), tenths(page.group(2))
    outer = tenths(custom_range(ppd, "StpCDOuterDiameter")[1])
    inner = tenths(custom_range(ppd, "StpCDInnerDiameter")[0])
    return dict(TrayWidth=width, TrayHeight=height, CenterX=(width + 1) // 2, CenterY=(height + 1) // 2,
                MaxOuterWidth=outer, MaxOuterHeight=outer, MinInnerWidth=inner, MinInnerHeight=inner)


def element(name, values):
    attributes = " ".join('%s="%d"' % (key, values[key]) for key in (
        "TrayWidth", "TrayHeight", "CenterX", "CenterY",
        "MaxOuterWidth", "MaxOuterHeight", "MinInnerWidth", "MinInnerHeight"))
    return ('  <PrinterData PrinterName="%s" %s>\n'
            '    <FaceShape ShapeName="fsDoughnut"/>\n'
            '    <Purpose PurposeName="CD"/>\n'
            '  </PrinterData>\n') % (name, attributes)


def printer_data():
    uris = driver_uris()
    text = '<?xml version="1.0" encoding="UTF-8"?>\n'
    text += "<!-- Written by make_printer_data.py from %s; do not edit. -->\n" % DRIVER
    text += "<root>\n<DirectPrinterInfo>\n"
    smallest_hole = None
    for model in EPSON + CANON:
        if model not in uris:
            raise SystemExit("the driver does not list %s" % model)
        tray = tray_of(model, ppd_of(uris[model]))
        smallest_hole = min(tray["MinInnerWidth"], smallest_hole or tray["MinInnerWidth"])
        text += element(model, tray)
    for group, disc in GROUPS:
        text += element(group, dict(TrayWidth=A4[0], TrayHeight=A4[1], CenterX=A4[0] // 2, CenterY=A4[1] // 2,
                                    MaxOuterWidth=disc, MaxOuterHeight=disc,
                                    MinInnerWidth=smallest_hole, MinInnerHeight=smallest_hole))
    return text + "</DirectPrinterInfo>\n</root>\n"


def main():
    text = printer_data()
    if len(sys.argv) == 3 and sys.argv[1] == "--check":
        with open(sys.argv[2], encoding="utf-8") as shipped:
            if shipped.read() != text:
                print("%s differs from what the PPDs say" % sys.argv[2], file=sys.stderr)
                return 1
        return 0
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
