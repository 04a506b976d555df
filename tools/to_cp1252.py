#!/usr/bin/env python3
"""Converts a UTF-8 text file to Windows-1252 with CR LF line ends.

Fails on any character that Windows-1252 cannot hold, so a typo never ships as
a question mark.
"""
import sys


def main():
    src, dst = sys.argv[1], sys.argv[2]
    with open(src, encoding="utf-8") as f:
        text = f.read()
    lines = text.replace("\r\n", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    data = ("\r\n".join(lines) + "\r\n").encode("cp1252")
    with open(dst, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
