#!/usr/bin/python3
"""Reads a desktop entry as a session does: prints the decoded value of KEY, or with --exec the Exec key's
arguments, one per line. Written from the freedesktop.org rules for desktop entries, not from the code that wrote it."""
import sys


def string_value(raw):
    out, i = [], 0
    while i < len(raw):
        if raw[i] == "\\" and i + 1 < len(raw):
            i += 1
            out.append({"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}.get(raw[i], "\\" + raw[i]))
        else:
            out.append(raw[i])
        i += 1
    return "".join(out)


def exec_arguments(value):
    args, current, quoted, started, i = [], [], False, False, 0
    while i < len(value):
        c = value[i]
        if quoted:
            if c == "\\" and i + 1 < len(value) and value[i + 1] in '"`$\\':
                i += 1
                current.append(value[i])
            elif c == '"':
                quoted = False
            else:
                current.append(c)
        elif c == '"':
            quoted, started = True, True
        elif c == " ":
            if started:
                args.append("".join(current))
                current, started = [], False
        else:
            current.append(c)
            started = True
        i += 1
    if quoted:
        sys.exit("unterminated quote in Exec")
    if started:
        args.append("".join(current))
    return [a.replace("%%", "%") for a in args]


def main():
    path, key = sys.argv[-2], sys.argv[-1]
    values = {}
    group = None
    for line in open(path, encoding="utf-8").read().splitlines():
        if line.startswith("["):
            group = line
        elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
            k, v = line.split("=", 1)
            values.setdefault(k.strip(), v.strip())
    if key not in values:
        sys.exit(f"{path}: no {key}")
    value = string_value(values[key])
    print("\n".join(exec_arguments(value)) if "--exec" in sys.argv else value)


main()
