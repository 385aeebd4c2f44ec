#!/usr/bin/env python3
"""Writes the starting inputs of fuzz_screen into corpus/screen: map files of
the screen in the format that core/screen_map.h describes, made here from the
format's own words rather than by the program's writer, so that the writer
and the reader are both held to them.

    python3 tests/fuzz/make_screen_corpus.py
"""
import os
import struct

CELL = 8


def content_hash(data: bytes) -> int:
    """ContentHash: FNV-1a, 64 bits."""
    h = 0xCBF29CE484222325
    for c in data:
        h ^= c
        h = (h * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def varint(n: int) -> bytes:
    """Unsigned LEB128."""
    assert n >= 0
    out = bytearray()
    while True:
        low = n & 0x7F
        n >>= 7
        if n:
            out.append(low | 0x80)
        else:
            out.append(low)
            return bytes(out)


def zigzag(n: int) -> bytes:
    """A signed number: 0, -1, 1, -2, ... as 0, 1, 2, 3, ..."""
    return varint(2 * n if n >= 0 else -2 * n - 1)


def cell_count(monitors) -> int:
    return sum(-(-(r - l) // CELL) * -(-(b - t) // CELL) for (l, t, r, b, _, _) in monitors)


def layer(cells) -> bytes:
    """cells: {number: count}; written ascending, the first number as it is, then the steps."""
    out = bytearray(varint(len(cells)))
    before = None
    for number in sorted(cells):
        assert cells[number] >= 1
        out += varint(number if before is None else number - before)
        out += varint(cells[number])
        before = number
    return bytes(out)


def arrangement(monitors, travel_pixels, layers) -> bytes:
    """monitors: (left, top, right, bottom, widthMm, heightMm); layers: four
    {cell: count}, travel and the left, right and middle button."""
    assert 1 <= len(monitors) <= 16 and len(travel_pixels) == len(monitors) and len(layers) == 4
    out = bytearray(varint(len(monitors)))
    for (l, t, r, b, wmm, hmm), pixels in zip(monitors, travel_pixels):
        out += zigzag(l) + zigzag(t) + zigzag(r) + zigzag(b) + varint(wmm) + varint(hmm) + varint(pixels)
    cells = cell_count(monitors)
    for cells_of_layer in layers:
        assert all(0 <= c < cells for c in cells_of_layer)
        out += layer(cells_of_layer)
    return bytes(out)


def screen_file(kind: str, stamp: int, arrangements) -> bytes:
    out = bytearray(b"QMSCREEN")
    out += bytes([1, ord(kind)]) + bytes(6)
    out += struct.pack("<Q", stamp)
    out += varint(len(arrangements))
    for a in arrangements:
        out += a
    out += struct.pack("<Q", content_hash(bytes(out)))
    return bytes(out)


STAT_DAT = b"1\r\n2\r\n3.5\r\n4\r\n5.25\r\n6\r\n7\r\n12-07-2026\r\nTrue\r\n"

# One full HD monitor: 240 x 135 cells.
FULL_HD = [(0, 0, 1920, 1080, 527, 296)]
# The main monitor and one to its left, higher, of a size no multiple of 8
# and of unknown millimetres: 240 x 135 cells, then 171 x 96 (the last ones smaller).
TWO = [(0, 0, 1920, 1080, 527, 296), (-1366, -200, 0, 568, 0, 0)]
FULL_HD_CELLS = 240 * 135


def write_all(folder: str) -> None:
    os.makedirs(folder, exist_ok=True)
    files = {
        # No maps at all: the least a file holds.
        "empty_segment": screen_file("S", content_hash(STAT_DAT), []),
        # A month's base holding segments up to 42: a path along the top row,
        # clicks of each button.
        "base_full_hd": screen_file("B", 42, [arrangement(
            FULL_HD, [1919],
            [{c: 1 for c in range(240)}, {0: 3, 239: 1, FULL_HD_CELLS - 1: 70000}, {120: 2}, {129 * 240 + 7: 1}])]),
        # A segment across two arrangements: the monitors as they were, and
        # after the second was plugged in; the cells of both monitors, the
        # smaller last cells of the second among them.
        "segment_two_arrangements": screen_file("S", content_hash(STAT_DAT + b"x"), [
            arrangement(FULL_HD, [2 ** 40], [{5: 1, 6: 2**32 - 1}, {}, {}, {}]),
            arrangement(TWO, [300, 1366 + 568],
                        [{FULL_HD_CELLS - 1: 1, FULL_HD_CELLS: 1, cell_count(TWO) - 1: 4},
                         {FULL_HD_CELLS + 170: 1}, {}, {cell_count(TWO) - 1: 1}]),
        ]),
    }
    # The base with its check one off: read nowhere.
    damaged = bytearray(files["base_full_hd"])
    damaged[-8] ^= 1
    files["base_check_off_by_one"] = bytes(damaged)
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    write_all(os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "screen"))
