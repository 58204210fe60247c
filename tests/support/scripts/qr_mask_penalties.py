"""Penalties of the eight masks of a QR symbol under the encoder's own mask rules, computed on
segno's symbols, for checking the automatic mask choice.

Rules: function modules count as light whatever their colour; runs of n >= 5 equal modules in a
row or column add n - 2; every 2x2 block of one colour adds 3; every 1011101 stretch in a row or
column adds 40; balance adds 10 * (|50 - 100 * dark // data| // 5) over data modules only.

Reads lines "VERSION LEVEL MODE HEXDATA" (MODE 0, A or 8); writes the eight penalties per line.
"""
import sys

import segno
import segno.encoder as encoder

MODES = {"0": "numeric", "A": "alphanumeric", "8": "byte"}
DATA_MODULE = 2  # what segno leaves in modules no function pattern took


def data_modules(version):
    matrix = encoder.make_matrix(version)
    encoder.add_finder_patterns(matrix, False)
    encoder.add_alignment_patterns(matrix, version)
    return [[value == DATA_MODULE for value in row] for row in matrix]


def line_penalty(line):
    score = 0
    run = 1
    for i in range(1, len(line)):
        if line[i] == line[i - 1]:
            run += 1
        else:
            if run >= 5:
                score += run - 2
            run = 1
    if run >= 5:
        score += run - 2
    pattern = [1, 0, 1, 1, 1, 0, 1]
    score += 40 * sum(1 for i in range(len(line) - 6) if line[i:i + 7] == pattern)
    return score


def penalty(matrix, is_data):
    side = len(matrix)
    dark = [[matrix[r][c] if is_data[r][c] else 0 for c in range(side)] for r in range(side)]
    score = sum(line_penalty(row) for row in dark)
    score += sum(line_penalty([dark[r][c] for r in range(side)]) for c in range(side))
    for r in range(side - 1):
        for c in range(side - 1):
            if dark[r][c] == dark[r][c + 1] == dark[r + 1][c] == dark[r + 1][c + 1]:
                score += 3
    total = sum(row.count(True) for row in is_data)
    dark_count = sum(map(sum, dark))
    return score + 10 * (abs(50 - 100 * dark_count // total) // 5)


def main():
    for line in sys.stdin:
        version, level, mode, data = line.split()
        content = bytes.fromhex(data) if data != "-" else b""
        if mode != "8":
            content = content.decode("ascii")
        is_data = data_modules(int(version))
        scores = []
        for mask in range(8):
            qr = segno.make(content, version=int(version), error=level.lower(), mode=MODES[mode], mask=mask,
                            boost_error=False, micro=False)
            scores.append(penalty([list(row) for row in qr.matrix], is_data))
        print(" ".join(map(str, scores)))


if __name__ == "__main__":
    main()
