#!/usr/bin/env python3
"""Adobe Swatch Exchange files, read and written apart from the program, from
the format's public description: "ASEF", version (two big-endian 16-bit
numbers), a 32-bit block count, then blocks of a 16-bit type (0xC001 group
start, 0xC002 group end, 0x0001 colour), a 32-bit length and that many bytes.
A group start holds a name; a colour a name, its model ("RGB ", "CMYK",
"LAB ", "Gray"), its values as big-endian 32-bit floats and a 16-bit type
(0 global, 1 spot, 2 normal). A name is a 16-bit count of UTF-16 units,
the terminating zero included, then the big-endian units.

  ase_tool.py read FILE         prints the file as JSON: the version and the
                                blocks in order, each with what it holds
  ase_tool.py write SWATCHES FILE GROUP...
                                writes the swatches of SWATCHES (a JSON list of
                                name, model, values) spread over the groups
                                named, in turn; the last swatch outside any
                                group when more than one group is named
"""
import json
import struct
import sys

MODELS = {b"RGB ": 3, b"CMYK": 4, b"LAB ": 3, b"Gray": 1}


def read_name(data, at, end):
    (units,) = struct.unpack_from(">H", data, at)
    at += 2
    if units == 0 or at + 2 * units > end:
        raise ValueError("bad name length %d at %d" % (units, at - 2))
    raw = data[at : at + 2 * units]
    if raw[-2:] != b"\0\0":
        raise ValueError("name without its zero at %d" % at)
    return raw[:-2].decode("utf-16-be"), at + 2 * units


def read(path):
    data = open(path, "rb").read()
    if data[:4] != b"ASEF":
        raise ValueError("no ASEF signature")
    major, minor, count = struct.unpack_from(">HHI", data, 4)
    at = 12
    blocks = []
    for _ in range(count):
        kind, length = struct.unpack_from(">HI", data, at)
        at += 6
        end = at + length
        if end > len(data):
            raise ValueError("block at %d runs past the end" % (at - 6))
        if kind == 0xC001:
            name, _ = read_name(data, at, end)
            blocks.append({"block": "group start", "name": name})
        elif kind == 0xC002:
            if length != 0:
                raise ValueError("group end with %d bytes" % length)
            blocks.append({"block": "group end"})
        elif kind == 0x0001:
            name, p = read_name(data, at, end)
            model = data[p : p + 4]
            n = MODELS[model]
            values = list(struct.unpack_from(">%df" % n, data, p + 4))
            (ctype,) = struct.unpack_from(">H", data, p + 4 + 4 * n)
            if p + 4 + 4 * n + 2 != end:
                raise ValueError("colour block at %d: its length does not fit" % (at - 6))
            blocks.append(
                {
                    "block": "colour",
                    "name": name,
                    "model": model.decode("ascii"),
                    "values": values,
                    "type": ctype,
                }
            )
        else:
            raise ValueError("unknown block type %#x" % kind)
        at = end
    if at != len(data):
        raise ValueError("%d bytes after the last block" % (len(data) - at))
    return {"version": [major, minor], "blocks": blocks}


def name_bytes(name):
    units = name.encode("utf-16-be") + b"\0\0"
    return struct.pack(">H", len(units) // 2) + units


def block(kind, body):
    return struct.pack(">HI", kind, len(body)) + body


def write(swatches_path, path, groups):
    swatches = json.load(open(swatches_path, encoding="utf-8"))
    loose = swatches[-1:] if len(groups) > 1 else []
    grouped = swatches[: len(swatches) - len(loose)]
    share = -(-len(grouped) // len(groups))
    blocks = []
    for g, group in enumerate(groups):
        blocks.append(block(0xC001, name_bytes(group)))
        for i, s in enumerate(grouped[g * share : (g + 1) * share]):
            model = s["model"].encode("ascii")
            body = name_bytes(s["name"]) + model
            body += struct.pack(">%df" % len(s["values"]), *s["values"])
            body += struct.pack(">H", i % 3)  # global, spot, normal in turn
            blocks.append(block(0x0001, body))
        blocks.append(block(0xC002, b""))
    for s in loose:
        body = name_bytes(s["name"]) + s["model"].encode("ascii")
        body += struct.pack(">%df" % len(s["values"]), *s["values"]) + struct.pack(">H", 2)
        blocks.append(block(0x0001, body))
    with open(path, "wb") as out:
        out.write(b"ASEF" + struct.pack(">HHI", 1, 0, len(blocks)) + b"".join(blocks))


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "read":
        json.dump(read(sys.argv[2]), sys.stdout, ensure_ascii=False)
    elif len(sys.argv) >= 5 and sys.argv[1] == "write":
        write(sys.argv[2], sys.argv[3], sys.argv[4:])
    else:
        sys.exit(__doc__)
