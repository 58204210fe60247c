#!/usr/bin/env python3
"""Draws Kestrel's command icons as SVG: one line style on a 24-unit grid, dark strokes with one
accent colour. Files take the freedesktop icon names where one exists, "kestrel-..." otherwise.
Usage: make_icons.py OUTPUT_FOLDER"""
import os
import sys

INK = "#34495e"
ACCENT = "#2f80ed"
PAPER = "#ffffff"


def svg(body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24" viewBox="0 0 24 24" '
            f'fill="none" stroke="{INK}" stroke-width="1.6" stroke-linecap="round" stroke-linejoin="round">'
            f"{body}</svg>\n")


def sheet(extra=""):
    """A page with a turned corner, the base of the document icons."""
    return (f'<path d="M6 3h8l4 4v14H6z" fill="{PAPER}"/><path d="M14 3v4h4"/>' + extra)


def disc(cx=12, cy=12, r=8):
    return f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{PAPER}"/><circle cx="{cx}" cy="{cy}" r="{r * 0.3:.1f}"/>'


def arrow_curve(mirror):
    d = "M8 9h8a4 4 0 0 1 0 8h-5" if not mirror else "M16 9H8a4 4 0 0 0 0 8h5"
    head = "M11 5 7 9l4 4" if not mirror else "M13 5l4 4-4 4"
    return f'<path d="{d}"/><path d="{head}" stroke="{ACCENT}"/>'


def lines(xs, ys, widths):
    return "".join(f'<path d="M{x} {y}h{w}"/>' for x, y, w in zip(xs, ys, widths))


ICONS = {
    "document-new": sheet(f'<path d="M12 11v6M9 14h6" stroke="{ACCENT}"/>'),
    "document-open": f'<path d="M3 7h6l2 2h9v10H3z" fill="{PAPER}"/><path d="M3 11h17" stroke="{ACCENT}"/>',
    "document-save": (f'<path d="M5 4h11l3 3v13H5z" fill="{PAPER}"/><path d="M8 4v5h7V4"/>'
                      f'<rect x="8" y="13" width="8" height="7" stroke="{ACCENT}"/>'),
    "document-save-as": (f'<path d="M5 4h11l3 3v13H5z" fill="{PAPER}"/><path d="M8 4v5h7V4"/>'
                         f'<path d="M10 19l6-6 2 2-6 6h-2z" stroke="{ACCENT}"/>'),
    "document-print": (f'<path d="M7 9V4h10v5"/><rect x="4" y="9" width="16" height="8" rx="1" fill="{PAPER}"/>'
                       f'<path d="M7 14h10v6H7z" fill="{PAPER}"/><path d="M17 12h.01" stroke="{ACCENT}"/>'),
    "document-export": sheet(f'<path d="M10 14h10M17 11l3 3-3 3" stroke="{ACCENT}"/>'),
    "edit-undo": arrow_curve(False),
    "edit-redo": arrow_curve(True),
    "edit-cut": (f'<circle cx="7" cy="17" r="3"/><circle cx="17" cy="17" r="3"/>'
                 f'<path d="M9 15 17 4M15 15 7 4" stroke="{ACCENT}"/>'),
    "edit-copy": f'<rect x="8" y="8" width="12" height="12" fill="{PAPER}"/><path d="M16 8V4H4v12h4"/>',
    "edit-paste": (f'<rect x="5" y="5" width="14" height="16" rx="1" fill="{PAPER}"/>'
                   f'<rect x="9" y="3" width="6" height="4" rx="1" fill="{PAPER}"/><path d="M9 12h6M9 16h4" stroke="{ACCENT}"/>'),
    "edit-delete": (f'<path d="M5 7h14M10 7V4h4v3"/><path d="M7 7l1 13h8l1-13" fill="{PAPER}"/>'
                    f'<path d="M10 11v6M14 11v6" stroke="{ACCENT}"/>'),
    "zoom-in": f'<circle cx="10" cy="10" r="6" fill="{PAPER}"/><path d="M15 15l5 5"/><path d="M10 7v6M7 10h6" stroke="{ACCENT}"/>',
    "zoom-out": f'<circle cx="10" cy="10" r="6" fill="{PAPER}"/><path d="M15 15l5 5"/><path d="M7 10h6" stroke="{ACCENT}"/>',
    "help-contents": (f'<circle cx="12" cy="12" r="9" fill="{PAPER}"/>'
                      f'<path d="M9.5 9.5a2.5 2.5 0 1 1 3.5 2.3c-.7.3-1 .9-1 1.7v.5M12 17h.01" stroke="{ACCENT}"/>'),
    "help-about": f'<circle cx="12" cy="12" r="9" fill="{PAPER}"/><path d="M12 11v6M12 7h.01" stroke="{ACCENT}"/>',
    "application-exit": f'<path d="M13 4H5v16h8"/><path d="M10 12h10M17 9l3 3-3 3" stroke="{ACCENT}"/>',
    "go-home": f'<path d="M4 11 12 4l8 7"/><path d="M6 10v10h12V10" fill="{PAPER}"/><path d="M10 20v-5h4v5" stroke="{ACCENT}"/>',
    "view-sheet": (f'<rect x="4" y="3" width="16" height="18" fill="{PAPER}"/>'
                   + disc(12, 8, 3.2) + disc(12, 16, 3.2)),
    "view-label": disc(12, 12, 8) + f'<path d="M8 12h.01" stroke="{ACCENT}"/>',
    "format-text-bold": f'<path d="M7 4h6a4 4 0 0 1 0 8H7zM7 12h7a4 4 0 0 1 0 8H7z" stroke-width="2"/>',
    "format-text-italic": f'<path d="M10 4h8M6 20h8M15 4 9 20" stroke-width="2"/>',
    "format-text-underline": f'<path d="M7 4v7a5 5 0 0 0 10 0V4" stroke-width="2"/><path d="M5 21h14" stroke="{ACCENT}"/>',
    "format-justify-left": lines([4] * 4, [6, 10, 14, 18], [16, 10, 16, 10]),
    "format-justify-center": lines([4, 7, 4, 7], [6, 10, 14, 18], [16, 10, 16, 10]),
    "format-justify-right": lines([4, 10, 4, 10], [6, 10, 14, 18], [16, 10, 16, 10]),
    "format-justify-fill": lines([4] * 4, [6, 10, 14, 18], [16] * 4),
    "insert-text": f'<path d="M5 6V4h14v2M12 4v16M9 20h6"/><path d="M17 14v6M14 17h6" stroke="{ACCENT}"/>',
    "insert-image": (f'<rect x="3" y="5" width="18" height="14" rx="1" fill="{PAPER}"/>'
                     f'<circle cx="9" cy="10" r="1.5" stroke="{ACCENT}"/><path d="m3 17 5-5 4 4 3-3 6 6"/>'),
    "kestrel-pictures": (f'<rect x="7" y="3" width="14" height="11" rx="1" fill="{PAPER}"/>'
                         f'<rect x="3" y="10" width="14" height="11" rx="1" fill="{PAPER}"/>'
                         f'<circle cx="8" cy="14" r="1.2" stroke="{ACCENT}"/><path d="m3 19 4-3 3 2 3-3 4 4"/>'),
    "kestrel-line": f'<path d="M5 19 19 5" stroke-width="2"/><circle cx="5" cy="19" r="1.5" stroke="{ACCENT}"/><circle cx="19" cy="5" r="1.5" stroke="{ACCENT}"/>',
    "kestrel-arc": f'<path d="M4 18a10 10 0 0 1 16 0" stroke-width="2"/><circle cx="12" cy="18" r="1" stroke="{ACCENT}"/>',
    "kestrel-rectangle": f'<rect x="4" y="6" width="16" height="12" fill="{PAPER}" stroke-width="2"/>',
    "kestrel-ellipse": f'<ellipse cx="12" cy="12" rx="8" ry="6" fill="{PAPER}" stroke-width="2"/>',
    "kestrel-date": (f'<rect x="4" y="5" width="16" height="15" rx="1" fill="{PAPER}"/><path d="M4 9h16M8 3v4M16 3v4"/>'
                     f'<path d="M8 13h2M12 13h2M8 16h2" stroke="{ACCENT}"/>'),
    "kestrel-barcode": "".join(f'<path d="M{x} 5v14" stroke-width="{w}"/>' for x, w in
                               [(5, 1.6), (7.5, 1), (10, 2), (13, 1), (15, 1.6), (18, 1), (19.5, 1)]),
    "kestrel-qrcode": (f'<rect x="4" y="4" width="6" height="6"/><rect x="14" y="4" width="6" height="6"/>'
                       f'<rect x="4" y="14" width="6" height="6"/><path d="M14 14h2v2h-2zM18 18h2v2h-2zM14 18h2M18 14h2" stroke="{ACCENT}"/>'),
    "kestrel-background": (f'<rect x="3" y="3" width="18" height="18" fill="{PAPER}"/>'
                           f'<path d="M3 9 9 3M3 15 15 3M3 21 21 3M9 21l12-12M15 21l6-6" stroke="{ACCENT}" stroke-width="1"/>'),
    "kestrel-illustration": (f'<path d="M12 3l2.6 5.6 6 .7-4.5 4.1 1.2 6L12 16.4 6.7 19.4l1.2-6L3.4 9.3l6-.7z" fill="{PAPER}"/>'
                             f'<circle cx="12" cy="12" r="1.5" stroke="{ACCENT}"/>'),
    "kestrel-template": (f'<rect x="3" y="3" width="18" height="18" rx="1" fill="{PAPER}"/>'
                         f'<path d="M3 9h18M9 9v12"/><path d="M12 13h6M12 17h4" stroke="{ACCENT}"/>'),
    "kestrel-music": (f'<path d="M9 18V6l11-2v12"/><circle cx="6.5" cy="18" r="2.5" fill="{PAPER}"/>'
                      f'<circle cx="17.5" cy="16" r="2.5" fill="{PAPER}" stroke="{ACCENT}"/>'),
    "kestrel-paper": disc(9, 12, 6) + f'<rect x="15" y="5" width="6" height="14" fill="{PAPER}" stroke="{ACCENT}"/>',
    "object-group": (f'<rect x="3" y="3" width="18" height="18" stroke-dasharray="2 2"/>'
                     f'<rect x="6" y="6" width="7" height="7" fill="{PAPER}"/><rect x="11" y="11" width="7" height="7" fill="{PAPER}" stroke="{ACCENT}"/>'),
    "object-ungroup": (f'<rect x="4" y="4" width="7" height="7" fill="{PAPER}"/>'
                       f'<rect x="13" y="13" width="7" height="7" fill="{PAPER}" stroke="{ACCENT}"/>'),
    "kestrel-align": f'<path d="M4 3v18"/><rect x="4" y="6" width="12" height="4" fill="{PAPER}" stroke="{ACCENT}"/><rect x="4" y="14" width="8" height="4" fill="{PAPER}" stroke="{ACCENT}"/>',
    "kestrel-distribute": f'<path d="M3 4v16M21 4v16"/><rect x="6" y="8" width="4" height="8" fill="{PAPER}" stroke="{ACCENT}"/><rect x="14" y="8" width="4" height="8" fill="{PAPER}" stroke="{ACCENT}"/>',
}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, body in ICONS.items():
        with open(os.path.join(folder, name + ".svg"), "w", encoding="utf-8") as out:
            out.write(svg(body))


if __name__ == "__main__":
    main()
