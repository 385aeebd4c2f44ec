#!/usr/bin/env python3
"""Prints what a month's maps of the screen hold, as a person would read them.

    screen_map.py HISTORY_FOLDER YYYY-MM

For each arrangement: "monitor L,T,R,B WIDTHMM,HEIGHTMM PIXELS" per monitor,
"total LAYER COUNT" per layer (travel, left, right, middle), and
"cell LAYER X Y COUNT" per cell (X, Y: its top left pixel). The base and the
landed segments above its stamp are summed, as the program reads them.
"""
import os
import struct
import sys

LAYERS = ("travel", "left", "right", "middle")


def varint(b, i):
    v = shift = 0
    while True:
        c = b[i]
        i += 1
        v |= (c & 0x7F) << shift
        shift += 7
        if not c & 0x80:
            return v, i


def parse(path):
    b = open(path, "rb").read()
    assert b[:8] == b"QMSCREEN" and b[8] == 1, path
    stamp = struct.unpack_from("<Q", b, 16)[0]
    i, maps = 24, []
    n, i = varint(b, i)
    for _ in range(n):
        monitors = []
        count, i = varint(b, i)
        for _ in range(count):
            fields = []
            for k in range(7):
                v, i = varint(b, i)
                fields.append((v >> 1) ^ -(v & 1) if k < 4 else v)
            monitors.append(fields)
        layers = []
        for _ in LAYERS:
            cells, i = varint(b, i)
            cell, layer = 0, {}
            for j in range(cells):
                step, i = varint(b, i)
                cell = step if j == 0 else cell + step
                layer[cell], i = varint(b, i)
            layers.append(layer)
        maps.append((monitors, layers))
    return stamp, maps


def cell_corner(monitors, cell):
    for left, top, right, bottom, *_ in monitors:
        cols, rows = (right - left + 7) // 8, (bottom - top + 7) // 8
        if cell < cols * rows:
            return left + cell % cols * 8, top + cell // cols * 8
        cell -= cols * rows
    raise ValueError("cell off the monitors")


def main():
    folder, month = sys.argv[1], sys.argv[2]
    names = os.listdir(folder) if os.path.isdir(folder) else []
    base = 0
    files = []
    if month + "-screen.map" in names:
        base, maps = parse(os.path.join(folder, month + "-screen.map"))
        files.append(maps)
    for name in sorted(names):
        if name.startswith(month + "-screen-") and name.endswith(".map") and int(name[15:21]) > base:
            files.append(parse(os.path.join(folder, name))[1])
    total = {}
    for maps in files:
        for monitors, layers in maps:
            key = tuple(tuple(m[:4]) for m in monitors)
            have = total.setdefault(key, [monitors, [{} for _ in LAYERS]])
            for m, monitor in enumerate(monitors):
                have[0][m][6] += monitor[6] if have[0] is not monitors else 0
            for k, layer in enumerate(layers):
                for cell, count in layer.items():
                    have[1][k][cell] = have[1][k].get(cell, 0) + count
    for monitors, layers in total.values():
        for m in monitors:
            print("monitor %d,%d,%d,%d %d,%d %d" % tuple(m))
        for k, layer in enumerate(layers):
            print("total %s %d" % (LAYERS[k], sum(layer.values())))
        for k, layer in enumerate(layers):
            for cell in sorted(layer):
                x, y = cell_corner(monitors, cell)
                print("cell %s %d %d %d" % (LAYERS[k], x, y, layer[cell]))


main()
