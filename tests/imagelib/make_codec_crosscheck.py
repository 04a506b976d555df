#!/usr/bin/env python3
"""Writes the codec cross-check set: synthetic pictures encoded by encoders
that are not ours (ImageMagick, cjpeg, tiffcp), each beside ImageMagick's
own decode of that file as raw RGB, and a manifest the tests read.

    make_codec_crosscheck.py OUTDIR

Manifest lines: file width height tolerance expected-rgb-file.
"""
import os
import subprocess
import sys

CONVERT = "/usr/bin/convert-im6.q16"  # /usr/local/bin/convert may be a stand-in
CJPEG = "/usr/bin/cjpeg"
TIFFCP = "/usr/bin/tiffcp"
W, H = 48, 32


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)


def sources(out):
    """Gradient, colour bands and seeded noise as PPM files."""
    grad = os.path.join(out, "gradient.ppm")
    run(CONVERT, "-size", f"{W}x{H}", "gradient:#1040c0-#f0a020", "-depth", "8", grad)
    bands = os.path.join(out, "bands.ppm")
    colours = ["#c81e28", "#0aa05a", "#fafafa", "#050578", "#ffd700", "#202020"]
    args = [CONVERT]
    for c in colours:
        args += ["-size", f"{W // len(colours)}x{H}", f"xc:{c}"]
    run(*args, "+append", "-depth", "8", bands)
    noise = os.path.join(out, "noise.ppm")
    run(CONVERT, "-seed", "7", "-size", f"{W}x{H}", "xc:gray50", "+noise", "Random", "-depth", "8", noise)
    return [grad, bands, noise]


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    entries = []

    def expect(path, tolerance, flatten=False, orient=False):
        rgb = path + ".rgb"
        args = [CONVERT, path]
        if flatten:
            # Over the file's own bKGD, which ImageMagick writes (white).
            args += ["-flatten"]
        if orient:
            args += ["-auto-orient"]
        run(*args, "-depth", "8", "rgb:" + rgb)
        size = subprocess.run([CONVERT, path] + (["-auto-orient"] if orient else []) + ["-format", "%w %h", "info:"],
                              check=True, capture_output=True, text=True).stdout
        w, h = size.split()
        entries.append(f"{os.path.basename(path)} {w} {h} {tolerance} {os.path.basename(rgb)}")

    for src in sources(out):
        stem = os.path.splitext(src)[0]
        # PNG: ImageMagick's writer in several colour types.
        for suffix, args, tolerance in [
            ("rgb.png", ["PNG24:"], 0),
            ("rgb16.png", ["-depth", "16", "PNG48:"], 1),
            ("grey.png", ["-colorspace", "Gray", "-depth", "8", "PNG:"], 0),
            ("palette.png", ["-colors", "200", "PNG8:"], 0),
            ("interlaced.png", ["-interlace", "PNG", "PNG24:"], 0),
        ]:
            target = f"{stem}-{suffix}"
            run(CONVERT, src, *args[:-1], args[-1] + target)
            expect(target, tolerance)
        # Without gAMA: libpng composites a file with a gamma in linear light,
        # ImageMagick's flatten does not.
        rgba = f"{stem}-rgba.png"
        run(CONVERT, src, "-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel",
            "-define", "png:exclude-chunk=gAMA,cHRM,sRGB", "PNG32:" + rgba)
        expect(rgba, 1, flatten=True)
        # JPEG: cjpeg from the PPM.
        for suffix, args in [("baseline.jpg", ["-quality", "85", "-sample", "2x2"]),
                             ("progressive.jpg", ["-quality", "85", "-progressive"]),
                             ("grey.jpg", ["-grayscale"]),
                             ("arithmetic.jpg", ["-arithmetic"])]:
            target = f"{stem}-{suffix}"
            run(CJPEG, *args, "-outfile", target, src)
            expect(target, 2)
        # TIFF: ImageMagick's writer and tiffcp's re-layouts.
        plain = f"{stem}-none.tif"
        run(CONVERT, src, "-compress", "None", plain)
        expect(plain, 0)
        for suffix, args, tolerance in [("lzw.tif", ["-compress", "LZW"], 0), ("zip.tif", ["-compress", "Zip"], 0),
                                        ("jpeg.tif", ["-compress", "JPEG"], 2),
                                        ("16bit.tif", ["-depth", "16", "-compress", "None"], 1)]:
            target = f"{stem}-{suffix}"
            run(CONVERT, src, *args, target)
            expect(target, tolerance)
        for suffix, args in [("tiled.tif", ["-c", "lzw", "-t", "-w", "32", "-l", "32"]),
                             ("separate.tif", ["-c", "zip", "-p", "separate"]),
                             ("packbits.tif", ["-c", "packbits", "-r", "3"])]:
            target = f"{stem}-{suffix}"
            run(TIFFCP, *args, plain, target)
            expect(target, 0)
    # Orientation: the same stored pixels under every tag value, against
    # ImageMagick's -auto-orient.
    names = ["TopLeft", "TopRight", "BottomRight", "BottomLeft", "LeftTop", "RightTop", "RightBottom", "LeftBottom"]
    small = os.path.join(out, "five-by-three.ppm")
    run(CONVERT, os.path.join(out, "noise.ppm"), "-crop", "5x3+0+0", "+repage", small)
    for number, name in enumerate(names, 1):
        target = os.path.join(out, f"orient{number}.tif")
        run(CONVERT, small, "-orient", name, "-compress", "None", target)
        expect(target, 0, orient=True)
    with open(os.path.join(out, "manifest.txt"), "w") as f:
        f.write("\n".join(entries) + "\n")


if __name__ == "__main__":
    main()
