#!/usr/bin/python3
"""Lists a compound file through olefile, an independent reader, for the compound-file tests.

Output, one record per line, tab-separated:
  header  <major version>  <FAT sectors>  <DIFAT sectors>
  storage <path>  <clsid>
  stream  <path>  <size>  <sha1>
Paths join names with "/". The sibling trees of every storage are checked to be valid
red-black trees in compound-file name order; any defect exits non-zero.
"""
import hashlib
import sys

import olefile

NOSTREAM = 0xFFFFFFFF
RED = 0


def order_key(name):
    units = "".join(c.upper() if len(c.upper()) == 1 else c for c in name).encode("utf-16-le")
    codes = [int.from_bytes(units[i:i + 2], "little") for i in range(0, len(units), 2)]
    return (len(codes), codes)


def check_tree(ole, sid, low, high, parent_red):
    """Returns the black height of the subtree at sid."""
    if sid == NOSTREAM:
        return 1
    entry = ole.direntries[sid]
    key = order_key(entry.name)
    if (low is not None and not low < key) or (high is not None and not key < high):
        raise ValueError("sibling tree out of order at %r" % entry.name)
    red = entry.color == RED
    if red and parent_red:
        raise ValueError("red entry %r below a red one" % entry.name)
    left = check_tree(ole, entry.sid_left, low, key, red)
    right = check_tree(ole, entry.sid_right, key, high, red)
    if left != right:
        raise ValueError("black heights differ below %r" % entry.name)
    return left + (0 if red else 1)


def main(path):
    ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
    print("header\t%d\t%d\t%d" % (ole.dll_version, ole.num_fat_sectors, ole.num_difat_sectors))
    for entry in ole.direntries:
        if entry is not None and entry.entry_type in (olefile.STGTY_STORAGE, olefile.STGTY_ROOT):
            if entry.sid_child != NOSTREAM and ole.direntries[entry.sid_child].color == RED:
                raise ValueError("red tree root below %r" % entry.name)
            check_tree(ole, entry.sid_child, None, None, True)
    for names in ole.listdir(streams=True, storages=True):
        path_text = "/".join(names)
        if ole.get_type(names) == olefile.STGTY_STORAGE:
            print("storage\t%s\t%s" % (path_text, ole.getclsid(names)))
        else:
            data = ole.openstream(names).read()
            print("stream\t%s\t%d\t%s" % (path_text, len(data), hashlib.sha1(data).hexdigest()))


if __name__ == "__main__":
    main(sys.argv[1])
