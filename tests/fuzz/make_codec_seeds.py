#!/usr/bin/env python3
"""Seeds for the codec fuzz targets: the cross-check files the encoders
make (ImageMagick, cjpeg, tiffcp), or a few image-resource blocks.

    make_codec_seeds.py TARGET CORPUS     (TARGET: jpeg, png, tiff, resource)
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
EXTENSIONS = {"jpeg": (".jpg",), "png": (".png",), "tiff": (".tif",)}


def block(rid, name, data):
    raw = bytes([len(name)]) + name
    if len(name) % 2 == 0:
        raw += b"\0"
    return b"8BIM" + struct.pack(">H", rid) + raw + struct.pack(">I", len(data)) + data + (b"\0" * (len(data) % 2))


def main():
    target, corpus = sys.argv[1], sys.argv[2]
    os.makedirs(corpus, exist_ok=True)
    if target == "resource":
        seeds = [block(1005, b"", bytes(16)), b"junk" + block(1, b"ab", b"xyz") + block(1005, b"abc", b"\1\2"),
                 block(1005, b"", b"first") + block(1005, b"", b"second")]
        for i, s in enumerate(seeds):
            with open(os.path.join(corpus, f"seed{i}"), "wb") as f:
                f.write(s)
        return
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run([sys.executable, os.path.join(HERE, "..", "imagelib", "make_codec_crosscheck.py"), tmp],
                       check=True)
        for name in os.listdir(tmp):
            if name.endswith(EXTENSIONS[target]):
                shutil.copy(os.path.join(tmp, name), os.path.join(corpus, name))


if __name__ == "__main__":
    main()
