#!/usr/bin/env python3
"""Prints a Windows shortcut's target and working directory, as "target=..." and "workdir=..." lines.

Usage: shell_link.py FILE.lnk

The layout is that of the Shell Link Binary File Format (MS-SHLLINK): a 76-byte header whose link flags say which
parts follow, then the item ID list, the link info holding the target's local path, and counted strings.
"""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, IS_UNICODE = 0x01, 0x02, 0x80
# The counted strings, in the order they are stored, with the flag that says each is there.
STRINGS = [(0x04, "name"), (0x08, "relative path"), (0x10, "workdir"), (0x20, "arguments"), (0x40, "icon")]


def until_nul(data, start, width):
    end = start
    while data[end:end + width] != b"\0" * width:
        end += width
    return data[start:end]


def read(data):
    flags, = struct.unpack_from("<I", data, 20)
    pos = 76
    if flags & HAS_ID_LIST:
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    fields = {}
    if flags & HAS_LINK_INFO:
        size, header_size = struct.unpack_from("<II", data, pos)
        base_offset, = struct.unpack_from("<I", data, pos + 16)
        if header_size >= 0x24:
            unicode_offset, = struct.unpack_from("<I", data, pos + 28)
            fields["target"] = until_nul(data, pos + unicode_offset, 2).decode("utf-16-le")
        else:
            fields["target"] = until_nul(data, pos + base_offset, 1).decode("latin-1")
        pos += size
    unicode = flags & IS_UNICODE
    for flag, name in STRINGS:
        if flags & flag:
            count, = struct.unpack_from("<H", data, pos)
            size = count * (2 if unicode else 1)
            text = data[pos + 2:pos + 2 + size].decode("utf-16-le" if unicode else "latin-1")
            # Wine counts the terminating NUL, Windows does not.
            fields[name] = text.rstrip("\0")
            pos += 2 + size
    return fields


def main():
    with open(sys.argv[1], "rb") as file:
        fields = read(file.read())
    for name in ("target", "workdir"):
        print(f"{name}={fields.get(name, '')}")


if __name__ == "__main__":
    main()
