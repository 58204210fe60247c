"""Independent answers for JAN/EAN symbols.

  ean_reference.py check   reads data digits per line (7 or 12), writes python-stdnum's check digit
  ean_reference.py zint    reads complete codes per line (8 or 13 digits), writes the bar modules
                           zint draws for each (start guard to end guard) as 0/1 characters
"""
import subprocess
import sys

from stdnum import ean


def zint_modules(code):
    # zint takes the data digits and adds its own check digit, so the bars check that too.
    dump = subprocess.run(["zint", "-b", "EANX", "--dump", "-d", code[:-1]], capture_output=True, check=True,
                          text=True)
    row = dump.stdout.splitlines()[0].replace(" ", "")
    bits = "".join(format(int(nibble, 16), "04b") for nibble in row)
    return bits[:95 if len(code) == 13 else 67]


def main():
    task = sys.argv[1]
    for line in sys.stdin:
        digits = line.strip()
        if task == "check":
            print(ean.calc_check_digit(digits))
        else:
            print(zint_modules(digits))


if __name__ == "__main__":
    main()
