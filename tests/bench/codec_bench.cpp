// Decoding speed of ReadGeneric against the codec libraries called directly
// on the same bytes, in the same program, with the same library builds:
// libjpeg's scanline loop to RGB, libpng with the RGB layout's
// transformations, and TIFFReadRGBAImage. scripts/bench-codecs runs it.
//
//   codec_bench RUNS FILE...     prints: file, ours ms, library ms, ratio
// (natively thread CPU time, see threadclock.h)
#include "imagelib.h"
#include "threadclock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

namespace {

using Bytes = std::vector<unsigned char>;

// Keeps results alive so the optimiser cannot drop a decode.
volatile unsigned gSink = 0;

double BestMs(int runs, const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double start = BenchClockMs();
        work();
        best = std::min(best, BenchClockMs() - start);
    }
    return best;
}

bool Ours(const Bytes &file)
{
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    uint32_t w = 0;
    uint32_t h = 0;
    BYTE *image = ReadGeneric(src, &w, &h);
    const bool ok = image && GetLastImageError() == 0;
    if (image) {
        gSink = gSink + image[w * h * 3 / 2];
        GlobalFree(image);
    }
    CloseSource(src);
    return ok;
}

void RawJpeg(const Bytes &file)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const size_t rowBytes = static_cast<size_t>(cinfo.output_width) * 3;
    Bytes out(rowBytes * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.data() + cinfo.output_scanline * rowBytes;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    gSink = gSink + out[out.size() / 2];
}

struct PngInput {
    const Bytes *file;
    size_t at;
};

void PngFromMemory(png_structp png, png_bytep data, size_t length)
{
    PngInput *in = static_cast<PngInput *>(png_get_io_ptr(png));
    memcpy(data, in->file->data() + in->at, length);
    in->at += length;
}

void RawPng(const Bytes &file)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PngInput in{&file, 0};
    png_set_read_fn(png, &in, PngFromMemory);
    png_read_info(png, info);
    const int type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE || (type == PNG_COLOR_TYPE_GRAY && depth < 8))
        png_set_expand(png);
    if ((type & ~PNG_COLOR_MASK_ALPHA) == PNG_COLOR_TYPE_GRAY)
        png_set_gray_to_rgb(png);
    if (depth == 16)
        png_set_strip_16(png);
    png_color_16 black = {};
    png_set_background(png, &black, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const uint32_t height = png_get_image_height(png, info);
    Bytes out(rowBytes * height);
    for (int p = 0; p < passes; ++p)
        for (uint32_t y = 0; y < height; ++y)
            png_read_row(png, out.data() + y * rowBytes, nullptr);
    png_read_end(png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    gSink = gSink + out[out.size() / 2];
}

struct TiffInput {
    const Bytes *file;
    size_t at;
};

tmsize_t TiffRead(thandle_t h, void *buf, tmsize_t size)
{
    TiffInput *in = static_cast<TiffInput *>(h);
    const size_t n = std::min(static_cast<size_t>(size), in->file->size() - std::min(in->at, in->file->size()));
    memcpy(buf, in->file->data() + in->at, n);
    in->at += n;
    return static_cast<tmsize_t>(n);
}
tmsize_t TiffWrite(thandle_t, void *, tmsize_t) { return 0; }
toff_t TiffSeek(thandle_t h, toff_t off, int whence)
{
    TiffInput *in = static_cast<TiffInput *>(h);
    in->at = static_cast<size_t>(whence == SEEK_SET ? off : whence == SEEK_CUR ? in->at + off
                                                                               : in->file->size() + off);
    return in->at;
}
int TiffClose(thandle_t) { return 0; }
toff_t TiffSize(thandle_t h) { return static_cast<TiffInput *>(h)->file->size(); }
int TiffMap(thandle_t, void **, toff_t *) { return 0; }
void TiffUnmap(thandle_t, void *, toff_t) {}

void RawTiff(const Bytes &file)
{
    TiffInput in{&file, 0};
    TIFF *tif = TIFFClientOpen("", "r", &in, TiffRead, TiffWrite, TiffSeek, TiffClose, TiffSize, TiffMap, TiffUnmap);
    uint32_t w = 0;
    uint32_t h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    std::vector<uint32_t> raster(static_cast<size_t>(w) * h);
    TIFFReadRGBAImage(tif, w, h, raster.data(), 1);
    TIFFClose(tif);
    gSink = gSink + raster[raster.size() / 2];
}

bool EndsWith(const std::string &s, const char *tail)
{
    const size_t n = strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: codec_bench RUNS FILE...\n");
        return 2;
    }
    const int runs = atoi(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const std::string name = argv[i];
        std::ifstream in(name, std::ios::binary);
        const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        void (*raw)(const Bytes &) = EndsWith(name, ".jpg") ? RawJpeg : EndsWith(name, ".png") ? RawPng : RawTiff;
        bool ok = true;
        const double ours = BestMs(runs, [&] { ok = Ours(file) && ok; });
        const double lib = BestMs(runs, [&] { raw(file); });
        const size_t slash = name.find_last_of("/\\");
        printf("%-28s %9.2f %9.2f %6.2f%s\n", name.substr(slash == std::string::npos ? 0 : slash + 1).c_str(), ours,
               lib, ours / lib, ok ? "" : " (ReadGeneric failed)");
    }
    return 0;
}
