#!/usr/bin/env python3
"""Writes tests/data/hostile/: presets made to hurt the readers and the effects, a few
representative files per kind of damage (the fuzzers cover the rest). The files are
committed; run this again only to change them. Python 3 standard library only.

Usage: scripts/make-hostile-presets.py
"""
import json
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "data", "hostile")
HEADER = b"Ostrakin Qel_V 5 Preset\x1a"
MEBIBYTE = 1 << 20
INT_MIN, INT_MAX = -(1 << 31), (1 << 31) - 1
TYPES = range(9)


def entry(type_id, payload, length=None):
    return struct.pack("<ii", type_id, len(payload) if length is None else length) + payload


def words(*values):
    return b"".join(struct.pack("<i", v) for v in values)


def preset(*entries, clear=1):
    return HEADER + bytes([clear]) + b"".join(entries)


def write(name, data):
    if isinstance(data, str):
        data = data.encode()
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    for old in os.listdir(OUT):
        os.remove(os.path.join(OUT, old))

    # A real preset cut inside the header, an entry's header, a payload, and its last byte.
    with open(os.path.join(ROOT, "tests", "data", "presets", "every-type.qlp"), "rb") as f:
        real = f.read()
    for cut in (20, 29, 45, len(real) // 2, len(real) - 1):
        write("truncated-%d.qlp" % cut, real[:cut])

    # Every type with every field (and more words than any type has) at one extreme.
    for name, value in (("zero", 0), ("minus-one", -1), ("int-min", INT_MIN), ("int-max", INT_MAX)):
        write("fields-%s.qlp" % name, preset(*(entry(t, words(*[value] * 40)) for t in TYPES), clear=value & 0xFF))
    # Extremes differing per field: the largest in one, the smallest in the next.
    write("fields-alternating.qlp",
          preset(*(entry(t, words(*[(INT_MAX, INT_MIN, -1, 0)[i % 4] for i in range(40)])) for t in TYPES)))

    # Lengths that point past the data, backwards, or to the byte after the end.
    write("length-huge.qlp", preset(entry(3, words(16)), entry(4, words(1, 2), INT_MAX)))
    write("length-negative.qlp",
          preset(entry(0, words(1), -1), entry(3, words(8), -8), entry(5, b"", INT_MIN), entry(3, words(16))))
    write("length-one-past.qlp", preset(entry(1, words(7, 7, 7)), entry(7, words(5), 5)))
    write("length-header-cut.qlp", preset(entry(2, words(3))) + struct.pack("<i", 8) + b"\x01\x02")

    # Type ids outside the table, with payloads, between good entries.
    write("unknown-types.qlp",
          preset(*(entry(t, words(t, t)) for t in (9, -1, 256, INT_MAX, INT_MIN, 0x7FFFFF09)),
                 entry(3, words(20)), entry(-9, words(1) * 100), entry(8, b"")))

    # 1 MiB of tiny entries: far more than the chain holds, a few bytes of payload each.
    tiny = bytearray(preset())
    i = 0
    while len(tiny) < MEBIBYTE + 64:
        tiny += entry(i % 11 - 1, bytes([i & 0xFF] * (i % 5)))
        i += 1
    write("tiny-entries.qlp", bytes(tiny))
    unknown = bytearray(preset())
    while len(unknown) < MEBIBYTE:
        unknown += entry(9 + len(unknown) % 1000, b"")
    write("tiny-unknown.qlp", bytes(unknown[:MEBIBYTE]))

    # JSON: nested far deeper than any preset, in arrays and in objects.
    depth = 100000
    write("deep-arrays.json", '{"clear": 1, "effects": ' + "[" * depth + "]" * depth + "}")
    write("deep-objects.json", '{"clear": 1, "effects": [{"type": 3, "fields": ' + '{"a": ' * depth + "0" +
          "}" * depth + "}]}")
    # More values than any preset holds, and a payload just under and just over 1 MiB.
    write("many-values.json", '{"clear": 1, "effects": [' + ",".join(["0"] * 2100000) + "]}")
    for name, size in (("payload-fits", MEBIBYTE - 25 - 8), ("payload-too-large", MEBIBYTE)):
        write("%s.json" % name, json.dumps({"clear": 1, "effects": [{"type": 4, "bytes": "7f" * size}]}))
    # Numbers and kinds no field takes, a NUL byte, names that are not the type's, 300 entries.
    write("odd-numbers.json", '{"clear": 1, "effects": [{"type": 3, "fields": {"fade amount": 1e400}}]}')
    write("wrong-kinds.json", json.dumps({"clear": 1, "effects": [
        {"type": "3"}, {"type": 3.5}, {"type": 18446744073709551616}, {"type": 0, "fields": [1, 2]}]}))
    write("nul-byte.json", '{"clear": 1, "effects": [{"type": 3}]}\x00{"clear": 0, "effects": []}')
    write("three-hundred.json", json.dumps({"clear": 0, "effects": [
        {"type": t % 9, "name": "Blur v0.0", "bytes": "ff" * (t % 13), "length": (t * 7919) % 64 - 8}
        for t in range(300)], "trailing": "01020304"}))


if __name__ == "__main__":
    main()
