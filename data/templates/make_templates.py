#!/usr/bin/env python3
"""Writes templates.json: the shipped label templates as JSON scenes, one document each.

Every genre gets a disc face, a jacket front, a back inlay with its two spines and a
business-card disc. Texts are wizard texts whose input captions the music filling uses
("タイトル", "アーティスト名", "曲名1" ...). Run it again after changing a design; the build
turns templates.json into documents with `kestrel-cli build-templates`.
"""
import json
import os

DISC_PAPER = "A4 CDラベル 2面 (外径117mm/内径41mm)"
JACKET_PAPER = "A4 ジャケット 2面 (120×120mm)"
INLAY_PAPER = "A4 バックインレイ 1面 (151×118mm/背幅6.5mm)"
CARD_PAPER = "A4 名刺CDラベル 8面 (85×60mm/角丸/内径22mm)"

# dir, shown name, ID letter, background colours (0x00BBGGRR), gradation kind, text colour,
# accent colour, font, title size
GENRES = [
    ("Simple", "シンプル", "S", (0xFFFFFF, 0xF0F0F0), "rgkSimple", 0x333333, 0x999999, "ＭＳ Ｐゴシック", 26),
    ("Pop", "ポップ", "P", (0xB469FF, 0x00D7FF), "rgkCircleToRim", 0x8B008B, 0xFFFFFF, "ＭＳ Ｐゴシック", 28),
    ("Rock", "ロック", "R", (0x000000, 0x202060), "rgkSimple", 0x00D7FF, 0x0000CC, "ＭＳ ゴシック", 30),
    ("Classic", "クラシック", "C", (0xDCF5F5, 0xAAC8DC), "rgkBoxToRim", 0x13458B, 0x2F6B8B, "ＭＳ Ｐ明朝", 26),
    ("Jazz", "ジャズ", "J", (0x3F1F0F, 0x8B4513), "rgkSimple", 0xB0E0F5, 0x60A0D0, "ＭＳ Ｐ明朝", 28),
    ("Wafu", "和風", "W", (0xE6F0FA, 0xC0D8EE), "rgkBoxToCenter", 0x1A1A8C, 0x2E4E7E, "ＭＳ 明朝", 26),
    ("Natural", "ナチュラル", "N", (0xD0F0D8, 0x80C890), "rgkSimple", 0x1E5A2E, 0x3C8C50, "ＭＳ Ｐゴシック", 26),
    ("Party", "パーティー", "T", (0xF0C040, 0x4040F0), "rgkCircleToCenter", 0xFFFFFF, 0x00FFFF, "ＭＳ Ｐゴシック", 28),
]


def background(colours, kind, angle=270):
    return {"class": "TLOBackImage2004", "properties": {
        "FillColor": {"Kind": "cskGradation", "GradKind": kind, "GradAngle": angle, "GradColNum": 2,
                      "GradColor0": colours[0], "GradColor1": colours[1]}}}


def text(caption, box, size, colour, font, align=1, bold=False, vertical=False, sample=None):
    left, top, width, height = box
    style = ["fsBold"] if bold else []
    return {"class": "TLOText", "properties": {
        "Left": left, "Top": top, "Width": width, "Height": height,
        "Text": [sample or caption], "Font": {"Name": font, "Size": size, "Style": style, "Color": colour},
        "Align": align, "Vertical": vertical, "Angle": 0, "TextColor": {"Color": colour},
        "wizInputEnable": True, "wizInputCaption": caption}}


def line(x1, y1, x2, y2, colour, width=4):
    return {"class": "TLOLine", "properties": {
        "StartX": x1, "StartY": y1, "EndX": x2, "EndY": y2, "LineColor": {"Color": colour}, "LineWidth": width}}


def ring(left, top, size, colour, width=6):
    return {"class": "TLOCircle", "properties": {
        "Left": left, "Top": top, "Width": size, "Height": size,
        "FrameWidth": width, "FrameColor": {"Color": colour}, "FillInside": False}}


def scene(paper, faces):
    return {"sheets": [{"paper": {"name": paper}, "settings": {"SeparatelyDesign": True},
                        "faces": [{"face": n, "objects": objects} for n, objects in faces]}]}


def disc(g, variant):
    _, _, _, colours, kind, ink, accent, font, size = g
    # Outer face 1190 × 1190 with a 410 hole at its centre (595, 595).
    objects = [background(colours, kind, 270 if variant == 0 else 0),
               ring(95, 95, 1000, accent, 6),
               text("タイトル", (295, 180, 600, 130), size, ink, font, bold=True),
               text("アーティスト名", (345, 315, 500, 65), 14, ink, font),
               line(395, 860, 795, 860, accent),
               text("日付", (395, 900, 400, 60), 11, ink, font, sample="2025.01.01")]
    return scene(DISC_PAPER, [(1, objects)])


def jacket(g):
    _, _, _, colours, kind, ink, accent, font, size = g
    objects = [background(colours, kind),
               line(100, 740, 1100, 740, accent, 6),
               text("タイトル", (100, 780, 1000, 150), size + 8, ink, font, bold=True),
               text("アーティスト名", (150, 960, 900, 90), 18, ink, font),
               text("サブタイトル", (150, 200, 900, 80), 14, accent, font)]
    return scene(JACKET_PAPER, [(1, objects)])


def inlay(g):
    _, _, _, colours, kind, ink, accent, font, size = g
    tracks = [text("曲名%d" % n, (120, 150 + 72 * (n - 1), 1140, 62), 12, ink, font, align=0,
                   sample="%d. 曲名%d" % (n, n)) for n in range(1, 13)]
    tray = [background(colours, kind), line(100, 1040, 1280, 1040, accent, 4),
            text("アーティスト名", (120, 1060, 1140, 70), 14, ink, font, align=2)] + tracks
    spine = [background(colours, kind),
             text("タイトル", (5, 60, 55, 1060), 10, ink, font, vertical=True, align=0)]
    return scene(INLAY_PAPER, [(1, spine), (2, tray), (3, [dict(o) for o in spine])])


def card(g):
    _, _, _, colours, kind, ink, accent, font, size = g
    # Outer face 870 × 620, hole 220 at (435, 310).
    objects = [background(colours, kind, 0),
               text("タイトル", (40, 40, 790, 100), 18, ink, font, bold=True),
               text("アーティスト名", (40, 150, 280, 60), 10, ink, font, align=0),
               text("コメント", (40, 480, 790, 60), 10, accent, font)]
    return scene(CARD_PAPER, [(1, objects)])


def main():
    templates = []
    for g in GENRES:
        folder, _, letter = g[0], g[1], g[2]
        designs = [("Disc", disc(g, 0)), ("Disc2", disc(g, 1)), ("Jacket", jacket(g)),
                   ("Inlay", inlay(g)), ("Card", card(g))]
        for n, (kind, design) in enumerate(designs, start=1):
            templates.append({"genre": folder, "name": "%s%s" % (folder, kind), "id": "%s%03d" % (letter, n),
                              "scene": design})
    source = {"genres": [{"dir": g[0], "name": g[1]} for g in GENRES], "templates": templates}
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "templates.json")
    with open(target, "w", encoding="utf-8") as out:
        json.dump(source, out, ensure_ascii=False, indent=1)
        out.write("\n")


if __name__ == "__main__":
    main()
