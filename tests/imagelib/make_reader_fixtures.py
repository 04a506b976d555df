#!/usr/bin/env python3
"""Writes the cross-check pictures of the GIF, PCX, PSD, TGA and WBMP
readers into a folder of the build tree: each file is made by an encoder
that is not ours (ImageMagick, netpbm, giflib's gifbuild) from a seeded
synthetic picture, and its expected pixels are that encoder's own decode.

    make_reader_fixtures.py OUTDIR

OUTDIR/manifest.txt lists one file a line: name, width, height, the file
with the expected red-green-blue bytes, and a note for failures.
"""
import os
import subprocess
import sys

CONVERT = "/usr/bin/convert-im6.q16"
NETPBM = "/usr/bin"
GIFBUILD = "/usr/bin/gifbuild"
W, H = 37, 23
WIDE = (720, 60)


def run(args, stdin=None, stdout=None):
    subprocess.run(args, check=True, stdin=stdin, stdout=stdout, stderr=subprocess.DEVNULL)


def magick_decode(path, fmt, high_bytes=False):
    """ImageMagick's decode of the file's first image as raw samples. With
    high_bytes the 16-bit samples are decoded exactly and their high bytes
    kept, which is the reader's rule for 16-bit files (ImageMagick's own
    8-bit scaling rounds)."""
    depth = "16" if high_bytes else "8"
    # ImageMagick keeps a TGA's row order as an orientation tag beside rows
    # in stored order; -auto-orient gives the picture as it is meant.
    out = subprocess.run([CONVERT, path + "[0]", "-auto-orient", "-depth", depth, "-endian", "MSB", fmt + ":-"], check=True,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    return out[::2] if high_bytes else out


def decode_rgb(path):
    """The encoder's own decode of the file: red, green, blue bytes."""
    return magick_decode(path, "rgb")


def high_bytes_rgb(path):
    return magick_decode(path, "rgb", high_bytes=True)


def read_pnm(data):
    """Red, green, blue bytes of a binary PBM, PGM or PPM."""
    fields = []
    at = 0
    while len(fields) < (3 if data[:2] == b"P4" else 4):
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    at += 1
    kind, width, height = fields[0], int(fields[1]), int(fields[2])
    pixels = data[at:]
    if kind == b"P6":
        return pixels[:width * height * 3]
    if kind == b"P5":
        return bytes(v for v in pixels[:width * height] for _ in range(3))
    row = (width + 7) // 8
    rgb = bytearray()
    for y in range(height):
        for x in range(width):
            v = 0 if pixels[y * row + x // 8] >> (7 - x % 8) & 1 else 255
            rgb += bytes((v, v, v))
    return bytes(rgb)


def netpbm_decode(tool):
    """The decode of netpbm's own reader of the format."""
    def decode(path):
        with open(path, "rb") as src:
            out = subprocess.run([os.path.join(NETPBM, tool)], stdin=src, check=True,
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
        return read_pnm(out)
    return decode


def cmyk_reference(path, high_bytes=False):
    """A CMYK file's stored values (the format keeps 255 - ink) with each
    colour scaled by the fourth, as the reader's rule has it."""
    ink = magick_decode(path, "cmyk", high_bytes)
    rgb = bytearray()
    for i in range(0, len(ink), 4):
        c, m, y, k = (255 - v for v in ink[i:i + 4])
        rgb += bytes((c * k // 255, m * k // 255, y * k // 255))
    return bytes(rgb)


class Fixtures:
    def __init__(self, outdir):
        self.outdir = outdir
        self.lines = []

    def path(self, name):
        return os.path.join(self.outdir, name)

    def add(self, name, width, height, rgb):
        expected = name + ".rgb"
        with open(self.path(expected), "wb") as f:
            f.write(rgb)
        assert len(rgb) == width * height * 3, name
        self.lines.append("%s %d %d %s" % (name, width, height, expected))

    def convert(self, name, source, options, fmt, reference=decode_rgb, size=(W, H)):
        target = self.path(name)
        run([CONVERT] + [self.path(s) for s in source] + options + [fmt + ":" + target])
        self.add(name, size[0], size[1], reference(target))

    def netpbm(self, name, tool, args, source, decoder, size=(W, H)):
        with open(self.path(source), "rb") as src, open(self.path(name), "wb") as dst:
            run([os.path.join(NETPBM, tool)] + args, stdin=src, stdout=dst)
        self.add(name, size[0], size[1], netpbm_decode(decoder)(self.path(name)))

    def gifbuild(self, name, text, width, height):
        with open(self.path(name), "wb") as dst:
            subprocess.run([GIFBUILD], input=text.encode(), check=True, stdout=dst, stderr=subprocess.DEVNULL)
        self.add(name, width, height, decode_rgb(self.path(name)))

    def write_manifest(self):
        with open(self.path("manifest.txt"), "w") as f:
            f.write("\n".join(self.lines) + "\n")


def sources(fx):
    """Seeded synthetic pictures: a plasma 'photo', its 256, 16 and 4
    colour reductions, a black-and-white version and one with alpha."""
    run([CONVERT, "-seed", "1117", "-size", "%dx%d" % (W, H), "plasma:fractal", "-depth", "8",
         fx.path("photo.ppm")])
    for colours in (256, 16, 4):
        run([CONVERT, fx.path("photo.ppm"), "+dither", "-colors", str(colours), "-depth", "8",
             fx.path("c%d.ppm" % colours)])
    run([CONVERT, fx.path("photo.ppm"), "-monochrome", fx.path("mono.pbm")])
    run([CONVERT, fx.path("photo.ppm"), "-alpha", "set", "-channel", "A", "-fx", "(i+j)/(w+h)",
         "+channel", "-depth", "8", fx.path("alpha.png")])
    # Wide rows of a photo with flat bands (runs of every length, the
    # longest among them) over many blocks of the file.
    run([CONVERT, "-seed", "2203", "-size", "%dx%d" % WIDE, "plasma:fractal", "-fill", "#D0C8F0", "-draw",
         "rectangle 90,0 400,17", "-fill", "#101010", "-draw", "rectangle 500,30 507,59", "-depth", "8",
         fx.path("wide.ppm")])
    run([CONVERT, fx.path("wide.ppm"), "+dither", "-colors", "256", "-depth", "8", fx.path("wide256.ppm")])


def gif_cases(fx):
    fx.convert("im87.gif", ["c256.ppm"], [], "GIF87")
    fx.convert("im89.gif", ["c256.ppm"], [], "GIF")
    fx.convert("interlaced.gif", ["c256.ppm"], ["-interlace", "GIF"], "GIF")
    fx.convert("transparent.gif", ["c16.ppm"], ["-transparent", "black", "-fill", "black"], "GIF")
    # Exact block layouts: loop, comment, a graphic control without
    # transparency, a local table of 4, and a second image.
    fx.gifbuild("blocks.gif", """screen width 6
screen height 5
screen map
  rgb 10 20 30 is a
  rgb 40 50 60 is b
end
netscape loop 3
comment
made for the reader tests
end
graphics control
  disposal mode 1
  delay 7
end
image
image left 1
image top 1
image map
  rgb 200 0 0 is r
  rgb 0 200 0 is g
  rgb 0 0 200 is u
  rgb 9 9 9 is k
end
image bits 4 by 3
rguk
ugrk
kkrr
image
image bits 2 by 2
ab
ba
""", 4, 3)
    fx.gifbuild("gce-transparent.gif", """screen width 3
screen height 3
screen map
  rgb 1 2 3 is a
  rgb 4 5 6 is b
  rgb 7 8 9 is c
  rgb 10 11 12 is d
end
graphics control
  transparent index 2
end
image
image interlaced
image bits 3 by 3
abc
cda
bbd
""", 3, 3)


def pcx_cases(fx):
    fx.convert("im1.pcx", ["mono.pbm"], [], "PCX")
    fx.convert("im8.pcx", ["c256.ppm"], ["-type", "Palette"], "PCX")
    fx.convert("im24.pcx", ["photo.ppm"], ["-type", "TrueColor"], "PCX")
    fx.netpbm("planes1.pcx", "ppmtopcx", [], "mono.pbm", "pcxtoppm")
    fx.netpbm("planes4.pcx", "ppmtopcx", [], "c16.ppm", "pcxtoppm")
    fx.netpbm("packed4.pcx", "ppmtopcx", ["-packed"], "c16.ppm", "pcxtoppm")
    fx.netpbm("packed2.pcx", "ppmtopcx", ["-packed"], "c4.ppm", "pcxtoppm")
    fx.netpbm("nb8.pcx", "ppmtopcx", ["-8bit"], "c256.ppm", "pcxtoppm")
    fx.netpbm("nb24.pcx", "ppmtopcx", ["-24bit"], "photo.ppm", "pcxtoppm")
    fx.convert("wide24.pcx", ["wide.ppm"], ["-type", "TrueColor"], "PCX", size=WIDE)
    fx.netpbm("wide8.pcx", "ppmtopcx", ["-8bit"], "wide256.ppm", "pcxtoppm", size=WIDE)


def tga_cases(fx):
    cases = [
        ("t1.tga", "c256.ppm", ["-type", "Palette", "-compress", "None"]),
        ("t9.tga", "c256.ppm", ["-type", "Palette", "-compress", "RLE"]),
        ("t2.tga", "photo.ppm", ["-type", "TrueColor", "-compress", "None"]),
        ("t2-top.tga", "photo.ppm", ["-type", "TrueColor", "-compress", "None", "-orient", "TopLeft"]),
        ("t10.tga", "photo.ppm", ["-type", "TrueColor", "-compress", "RLE"]),
        ("t2-32.tga", "alpha.png", ["-type", "TrueColorAlpha", "-compress", "None"]),
        ("t10-32.tga", "alpha.png", ["-type", "TrueColorAlpha", "-compress", "RLE"]),
        ("t3.tga", "photo.ppm", ["-type", "Grayscale", "-compress", "None"]),
        ("t11.tga", "photo.ppm", ["-type", "Grayscale", "-compress", "RLE"]),
    ]
    for name, source, options in cases:
        fx.convert(name, [source], options, "TGA")
    fx.netpbm("pam.tga", "pamtotga", [], "photo.ppm", "tgatoppm")
    fx.netpbm("pam-mapped.tga", "pamtotga", ["-cmap"], "c16.ppm", "tgatoppm")
    fx.netpbm("pam-grey.tga", "pamtotga", ["-mono", "-norle"], "photo.ppm", "tgatoppm")


def psd_cases(fx):
    for depth in ("8", "16"):
        for compress in ("None", "RLE"):
            tag = "%s-%s" % (depth, compress.lower())
            common = ["-depth", depth, "-compress", compress]
            wide = depth == "16"
            fx.convert("rgb%s.psd" % tag, ["photo.ppm"], ["-type", "TrueColor"] + common, "PSD",
                       reference=high_bytes_rgb if wide else decode_rgb)
            fx.convert("grey%s.psd" % tag, ["photo.ppm"], ["-type", "Grayscale"] + common, "PSD",
                       reference=high_bytes_rgb if wide else decode_rgb)
            fx.convert("cmyk%s.psd" % tag, ["photo.ppm"], ["-colorspace", "CMYK"] + common, "PSD",
                       reference=lambda path, wide=wide: cmyk_reference(path, wide))
    # ImageMagick refuses to read its own indexed PSD back; the picture it
    # holds is its lossless source.
    fx.convert("indexed.psd", ["c256.ppm"], ["-type", "Palette", "-depth", "8"], "PSD",
               reference=lambda path: decode_rgb(fx.path("c256.ppm")))
    fx.convert("layers.psd", ["photo.ppm", "c16.ppm"], ["-depth", "8", "-compress", "RLE"], "PSD")


def wbmp_cases(fx):
    fx.convert("im.wbmp", ["mono.pbm"], [], "WBMP")
    fx.netpbm("nb.wbmp", "pbmtowbmp", [], "mono.pbm", "wbmptopbm")


def main():
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    fx = Fixtures(outdir)
    sources(fx)
    gif_cases(fx)
    pcx_cases(fx)
    tga_cases(fx)
    psd_cases(fx)
    wbmp_cases(fx)
    fx.write_manifest()


if __name__ == "__main__":
    main()
