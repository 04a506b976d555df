#include "codecfixtures.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

namespace imgtest {

// ---- JPEG ----------------------------------------------------------------

namespace {

Bytes JpegGradient(const JpegRecipe &recipe)
{
    Bytes s;
    for (uint32_t y = 0; y < recipe.height; ++y)
        for (uint32_t x = 0; x < recipe.width; ++x)
            for (int c = 0; c < recipe.components; ++c)
                s.push_back(static_cast<uint8_t>((x * 255 / (recipe.width > 1 ? recipe.width - 1 : 1) + c * 70 +
                                                  y * 160 / (recipe.height > 1 ? recipe.height - 1 : 1)) % 256));
    return s;
}

}  // namespace

Bytes EncodeJpeg(const JpegRecipe &recipe)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = recipe.width;
    cinfo.image_height = recipe.height;
    cinfo.input_components = recipe.components;
    cinfo.in_color_space = recipe.components == 1 ? JCS_GRAYSCALE : recipe.components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    if (recipe.ycck)
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    jpeg_set_quality(&cinfo, recipe.quality, TRUE);
    if (recipe.components >= 3) {
        cinfo.comp_info[0].h_samp_factor = recipe.hSample;
        cinfo.comp_info[0].v_samp_factor = recipe.vSample;
    }
    if (recipe.progressive)
        jpeg_simple_progression(&cinfo);
    cinfo.arith_code = recipe.arithmetic ? TRUE : FALSE;
    cinfo.restart_in_rows = recipe.restartRows;
    cinfo.density_unit = static_cast<UINT8>(recipe.densityUnit);
    cinfo.X_density = cinfo.Y_density = static_cast<UINT16>(recipe.density);
    jpeg_start_compress(&cinfo, TRUE);
    for (const JpegMarker &m : recipe.markers)
        jpeg_write_marker(&cinfo, m.code, reinterpret_cast<const JOCTET *>(m.bytes.data()),
                          static_cast<unsigned>(m.bytes.size()));
    Bytes samples = recipe.samples.empty() ? JpegGradient(recipe) : recipe.samples;
    const size_t rowBytes = static_cast<size_t>(recipe.width) * recipe.components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = samples.data() + cinfo.next_scanline * rowBytes;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return out;
}

Bytes DecodeJpegDirect(const Bytes &file, uint32_t &width, uint32_t &height)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.num_components != 4)
        cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    width = cinfo.output_width;
    height = cinfo.output_height;
    const size_t rowBytes = static_cast<size_t>(width) * cinfo.output_components;
    Bytes out(rowBytes * height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.data() + cinfo.output_scanline * rowBytes;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return out;
}

// ---- PNG -----------------------------------------------------------------

int PngChannels(int colourType)
{
    switch (colourType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

std::vector<uint16_t> PngPattern(const PngRecipe &recipe)
{
    const uint32_t top = recipe.colourType == 3 ? static_cast<uint32_t>(recipe.palette.size()) - 1
                                              : (1u << recipe.bitDepth) - 1;
    const int channels = PngChannels(recipe.colourType);
    std::vector<uint16_t> s;
    for (uint32_t y = 0; y < recipe.height; ++y)
        for (uint32_t x = 0; x < recipe.width; ++x)
            for (int c = 0; c < channels; ++c)
                s.push_back(static_cast<uint16_t>((x * 131 + y * 977 + c * 4099 + x * y * 31) % (top + 1)));
    return s;
}

namespace {

void PngWriteToBytes(png_structp png, png_bytep data, size_t length)
{
    Bytes *out = static_cast<Bytes *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void PngFlush(png_structp) {}

Bytes PngRow(const PngRecipe &recipe, const std::vector<uint16_t> &samples, uint32_t y)
{
    const int channels = PngChannels(recipe.colourType);
    const size_t perRow = static_cast<size_t>(recipe.width) * channels;
    Bytes row;
    if (recipe.bitDepth == 16) {
        for (size_t i = 0; i < perRow; ++i) {
            const uint16_t v = samples[y * perRow + i];
            row.push_back(static_cast<uint8_t>(v >> 8));
            row.push_back(static_cast<uint8_t>(v));
        }
        return row;
    }
    row.assign((perRow * recipe.bitDepth + 7) / 8, 0);
    for (size_t i = 0; i < perRow; ++i) {
        const size_t bit = i * recipe.bitDepth;
        row[bit / 8] |= static_cast<uint8_t>(samples[y * perRow + i] << (8 - recipe.bitDepth - bit % 8));
    }
    return row;
}

}  // namespace

Bytes EncodePng(const PngRecipe &recipe)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, PngWriteToBytes, PngFlush);
    png_set_IHDR(png, info, recipe.width, recipe.height, recipe.bitDepth, recipe.colourType,
                 recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> plte;
    for (const RGBQUAD &q : recipe.palette)
        plte.push_back(png_color{q.rgbRed, q.rgbGreen, q.rgbBlue});
    if (!plte.empty())
        png_set_PLTE(png, info, plte.data(), static_cast<int>(plte.size()));
    png_color_16 trnsColour = {0, recipe.trnsValue[0], recipe.trnsValue[1], recipe.trnsValue[2], recipe.trnsValue[0]};
    if (!recipe.trnsAlpha.empty())
        png_set_tRNS(png, info, recipe.trnsAlpha.data(), static_cast<int>(recipe.trnsAlpha.size()), nullptr);
    else if (recipe.trnsColour)
        png_set_tRNS(png, info, nullptr, 0, &trnsColour);
    if (recipe.background) {
        png_color_16 bg = {static_cast<png_byte>(recipe.backgroundValue[0]), recipe.backgroundValue[0],
                           recipe.backgroundValue[1], recipe.backgroundValue[2], recipe.backgroundValue[0]};
        png_set_bKGD(png, info, &bg);
    }
    if (recipe.srgb)
        png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    if (recipe.gamma > 0)
        png_set_gAMA(png, info, recipe.gamma);
    if (recipe.physMetre)
        png_set_pHYs(png, info, recipe.physX, recipe.physY, PNG_RESOLUTION_METER);
    std::vector<png_text> texts;
    for (const PngText &t : recipe.texts) {
        png_text pt = {};
        pt.compression = t.compression;
        pt.key = const_cast<char *>(t.key.c_str());
        pt.text = const_cast<char *>(t.text.c_str());
        pt.text_length = t.text.size();
        texts.push_back(pt);
    }
    if (!texts.empty())
        png_set_text(png, info, texts.data(), static_cast<int>(texts.size()));
    png_write_info(png, info);
    const std::vector<uint16_t> samples = recipe.samples.empty() ? PngPattern(recipe) : recipe.samples;
    std::vector<Bytes> rows;
    std::vector<png_bytep> pointers;
    for (uint32_t y = 0; y < recipe.height; ++y)
        rows.push_back(PngRow(recipe, samples, y));
    for (Bytes &r : rows)
        pointers.push_back(r.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// ---- TIFF ----------------------------------------------------------------

namespace {

struct MemoryFile {
    Bytes data;
    size_t position = 0;
};

MemoryFile &Mem(thandle_t h) { return *static_cast<MemoryFile *>(h); }

tmsize_t MemRead(thandle_t h, void *buf, tmsize_t size)
{
    MemoryFile &m = Mem(h);
    size_t n = m.position < m.data.size() ? std::min(static_cast<size_t>(size), m.data.size() - m.position) : 0;
    memcpy(buf, m.data.data() + m.position, n);
    m.position += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t MemWrite(thandle_t h, void *buf, tmsize_t size)
{
    MemoryFile &m = Mem(h);
    if (m.position + size > m.data.size())
        m.data.resize(m.position + size);
    memcpy(m.data.data() + m.position, buf, static_cast<size_t>(size));
    m.position += size;
    return size;
}

toff_t MemSeek(thandle_t h, toff_t off, int whence)
{
    MemoryFile &m = Mem(h);
    int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<int64_t>(m.position)
                                                               : static_cast<int64_t>(m.data.size());
    m.position = static_cast<size_t>(base + static_cast<int64_t>(off));
    return m.position;
}

int MemClose(thandle_t) { return 0; }
toff_t MemSize(thandle_t h) { return Mem(h).data.size(); }
int MemMap(thandle_t, void **, toff_t *) { return 0; }
void MemUnmap(thandle_t, void *, toff_t) {}

TIFF *MemOpen(MemoryFile &m, const char *mode)
{
    return TIFFClientOpen("memory", mode, &m, MemRead, MemWrite, MemSeek, MemClose, MemSize, MemMap, MemUnmap);
}

// The samples of one plane (or all, interleaved) of rows y0..y1 and
// columns x0..x1, packed at the page's bit depth.
Bytes PackSamples(const TiffPage &p, uint32_t x0, uint32_t x1, uint32_t y0, uint32_t y1, int plane)
{
    const uint32_t spp = p.samplesPerPixel;
    const uint32_t perPixel = plane < 0 ? spp : 1;
    Bytes out;
    for (uint32_t y = y0; y < y1; ++y) {
        Bytes row;
        uint32_t bit = 0;
        for (uint32_t x = x0; x < x1; ++x) {
            for (uint32_t c = 0; c < perPixel; ++c) {
                const uint32_t sample = plane < 0 ? c : static_cast<uint32_t>(plane);
                const uint16_t v = (y < p.height && x < p.width)
                                       ? p.samples[(static_cast<size_t>(y) * p.width + x) * spp + sample]
                                       : 0;
                if (p.bitsPerSample == 16) {
                    row.insert(row.end(), reinterpret_cast<const uint8_t *>(&v),
                               reinterpret_cast<const uint8_t *>(&v) + 2);
                } else if (p.bitsPerSample == 8) {
                    row.push_back(static_cast<uint8_t>(v));
                } else {
                    if (bit % 8 == 0)
                        row.push_back(0);
                    row.back() |= static_cast<uint8_t>(v << (8 - p.bitsPerSample - bit % 8));
                    bit += p.bitsPerSample;
                }
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

void WritePage(TIFF *tif, const TiffPage &p)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, p.samplesPerPixel);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, p.bitsPerSample);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, p.planar);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, p.compression);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, p.photometric);
    if (p.orientation)
        TIFFSetField(tif, TIFFTAG_ORIENTATION, p.orientation);
    if (p.photometric == PHOTOMETRIC_YCBCR && p.compression != COMPRESSION_JPEG)
        TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
    if (p.compression == COMPRESSION_JPEG) {
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 90);
        if (p.photometric == PHOTOMETRIC_YCBCR)
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    if (p.photometric == PHOTOMETRIC_PALETTE) {
        const size_t n = static_cast<size_t>(1) << p.bitsPerSample;
        TIFFSetField(tif, TIFFTAG_COLORMAP, p.colourMap.data(), p.colourMap.data() + n, p.colourMap.data() + 2 * n);
    }
    const int planes = p.planar == PLANARCONFIG_SEPARATE ? p.samplesPerPixel : 1;
    if (p.tileSize) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, p.tileSize);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, p.tileSize);
        for (int plane = 0; plane < planes; ++plane)
            for (uint32_t y = 0; y < p.height; y += p.tileSize)
                for (uint32_t x = 0; x < p.width; x += p.tileSize) {
                    Bytes tile = PackSamples(p, x, x + p.tileSize, y, y + p.tileSize, planes > 1 ? plane : -1);
                    TIFFWriteTile(tif, tile.data(), x, y, 0, static_cast<uint16_t>(plane));
                }
    } else {
        const uint32_t rps = p.rowsPerStrip ? p.rowsPerStrip : p.height;
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rps);
        for (int plane = 0; plane < planes; ++plane)
            for (uint32_t y = 0; y < p.height; y += rps) {
                const uint32_t y1 = std::min(p.height, y + rps);
                Bytes strip = PackSamples(p, 0, p.width, y, y1, planes > 1 ? plane : -1);
                TIFFWriteEncodedStrip(tif, TIFFComputeStrip(tif, y, static_cast<uint16_t>(plane)), strip.data(),
                                      static_cast<tmsize_t>(strip.size()));
            }
    }
    TIFFWriteDirectory(tif);
}

}  // namespace

Bytes EncodeTiff(const std::vector<TiffPage> &pages, bool big)
{
    MemoryFile m;
    TIFF *tif = MemOpen(m, big ? "w8" : "w");
    for (const TiffPage &p : pages)
        WritePage(tif, p);
    TIFFClose(tif);
    return m.data;
}

Bytes DecodeTiffDirect(const Bytes &file, uint32_t &width, uint32_t &height)
{
    MemoryFile m;
    m.data = file;
    TIFF *tif = MemOpen(m, "r");
    if (!tif)
        return {};
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    std::vector<uint32_t> raster(static_cast<size_t>(width) * height);
    Bytes out;
    if (TIFFReadRGBAImageOriented(tif, width, height, raster.data(), ORIENTATION_TOPLEFT, 1))
        for (uint32_t px : raster)
            out.insert(out.end(), {static_cast<uint8_t>(TIFFGetR(px)), static_cast<uint8_t>(TIFFGetG(px)),
                                   static_cast<uint8_t>(TIFFGetB(px))});
    TIFFClose(tif);
    return out;
}

// ---- reading through the entry points --------------------------------------

namespace {

ReadOutcome ReadWith(const Bytes &file, size_t bytesPerPixel,
                     const std::function<BYTE *(HISSRC, uint32_t *, uint32_t *)> &read)
{
    ReadOutcome r;
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    if (!src) {
        r.error = GetLastImageError();
        return r;
    }
    uint32_t w = 0;
    uint32_t h = 0;
    Result image(read(src, &w, &h));
    r.error = GetLastImageError();
    CloseSource(src);
    if (image.Get()) {
        r.returned = true;
        r.width = w;
        r.height = h;
        r.pixels = image.Copy(static_cast<size_t>(w) * h * bytesPerPixel);
    }
    return r;
}

}  // namespace

ReadOutcome ReadJpgBytes(const Bytes &file, uint32_t depth, uint32_t flags, size_t bytesPerPixel)
{
    return ReadWith(file, bytesPerPixel,
                    [&](HISSRC s, uint32_t *w, uint32_t *h) { return ReadJPG(s, w, h, depth, flags); });
}

ReadOutcome ReadPngBytes(const Bytes &file, uint32_t depth, uint32_t flags, size_t bytesPerPixel, RGBQUAD *palette)
{
    return ReadWith(file, bytesPerPixel,
                    [&](HISSRC s, uint32_t *w, uint32_t *h) { return ReadPNG(s, w, h, depth, palette, flags); });
}

Bytes Mutator::Next()
{
    Bytes bad = good_;
    Step();
    if (count_++ % 3 == 0) {
        bad.resize(seed_ % bad.size());
        return bad;
    }
    for (int k = 0; k < 3; ++k, Step())
        bad[seed_ % bad.size()] ^= static_cast<uint8_t>(seed_ >> 24 | 1);
    return bad;
}

bool BothThreadsPass(const std::function<bool(int worker)> &work)
{
    bool ok[2] = {false, false};
    auto run = [&](int worker) {
        ok[worker] = work(worker);
        ReleaseThreadState();
    };
    std::thread a(run, 0);
    std::thread b(run, 1);
    a.join();
    b.join();
    return ok[0] && ok[1];
}

int MaxDifference(const Bytes &a, const Bytes &b)
{
    if (a.size() != b.size())
        return 256;
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

}  // namespace imgtest
