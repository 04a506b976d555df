#include "imgtest.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace imgtest {

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path dir = fs::temp_directory_path() /
                   ("imagelib-" + std::to_string(rd()) + "-" + std::to_string(stamp) + "-" +
                    std::to_string(counter++));
    fs::create_directories(dir);
    path_ = dir.string();
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempFolder::File(const std::string &name) const { return (fs::path(path_) / name).string(); }

bool WriteFile(const std::string &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

Bytes ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

namespace {

void Put16(Bytes &b, uint32_t v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes &b, uint32_t v)
{
    Put16(b, v);
    Put16(b, v >> 16);
}

uint32_t RowStride(uint32_t width, uint32_t bits) { return (width * bits + 31) / 32 * 4; }

}  // namespace

Bytes BuildBmp(const BmpLayout &layout)
{
    Bytes head;
    const uint32_t headerSize = layout.core ? 12 : 40;
    const uint32_t entryBytes = layout.core ? 3 : 4;
    const uint32_t colourBytes =
        static_cast<uint32_t>(layout.palette.size() * entryBytes + layout.masks.size() * 4);
    const uint32_t realOffset = 14 + headerSize + colourBytes + layout.gap;
    const uint32_t offset = layout.dataOffset >= 0 ? static_cast<uint32_t>(layout.dataOffset) : realOffset;
    head.push_back('B');
    head.push_back('M');
    Put32(head, static_cast<uint32_t>(realOffset + layout.pixels.size()));
    Put32(head, 0);
    Put32(head, offset);
    Put32(head, headerSize);
    if (layout.core) {
        Put16(head, static_cast<uint32_t>(layout.width));
        Put16(head, static_cast<uint32_t>(layout.height));
        Put16(head, 1);
        Put16(head, layout.bits);
    } else {
        Put32(head, static_cast<uint32_t>(layout.width));
        Put32(head, static_cast<uint32_t>(layout.height));
        Put16(head, 1);
        Put16(head, layout.bits);
        Put32(head, layout.compression);
        Put32(head, static_cast<uint32_t>(layout.pixels.size()));
        Put32(head, 2835);
        Put32(head, 2835);
        Put32(head, layout.clrUsed);
        Put32(head, 0);
    }
    for (uint32_t m : layout.masks)
        Put32(head, m);
    for (const RGBQUAD &q : layout.palette) {
        head.push_back(q.rgbBlue);
        head.push_back(q.rgbGreen);
        head.push_back(q.rgbRed);
        if (!layout.core)
            head.push_back(q.rgbReserved);
    }
    for (uint32_t i = 0; i < layout.gap; ++i)
        head.push_back(static_cast<uint8_t>(0xA5 ^ i));
    head.insert(head.end(), layout.pixels.begin(), layout.pixels.end());
    return head;
}

Picture IndexPicture(uint32_t width, uint32_t height, uint32_t colours)
{
    Picture p;
    p.width = width;
    p.height = height;
    for (uint32_t i = 0; i < colours; ++i)
        p.palette.push_back(RGBQUAD{static_cast<BYTE>(255 - i * 7), static_cast<BYTE>(i * 53 + 11),
                                    static_cast<BYTE>(i * 29 + 3), 0});
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t index = static_cast<uint8_t>((x * 7 + y * 3 + x * y) % colours);
            p.indices.push_back(index);
            const RGBQUAD &c = p.palette[index];
            p.rgb.insert(p.rgb.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
        }
    }
    return p;
}

Picture ColourPicture(uint32_t width, uint32_t height)
{
    Picture p;
    p.width = width;
    p.height = height;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            p.rgb.insert(p.rgb.end(), {static_cast<uint8_t>(x * 37 + y), static_cast<uint8_t>(y * 71 + 5),
                                       static_cast<uint8_t>((x ^ y) * 13 + 200)});
    return p;
}

namespace {

uint16_t Pack16(const uint8_t *rgb, bool mask565)
{
    if (mask565)
        return static_cast<uint16_t>(((rgb[0] >> 3) << 11) | ((rgb[1] >> 2) << 5) | (rgb[2] >> 3));
    return static_cast<uint16_t>(((rgb[0] >> 3) << 10) | ((rgb[1] >> 3) << 5) | (rgb[2] >> 3));
}

}  // namespace

Bytes StoredRows(const Picture &picture, uint16_t bits, bool topDown, bool mask565)
{
    const uint32_t stride = RowStride(picture.width, bits);
    Bytes out;
    for (uint32_t i = 0; i < picture.height; ++i) {
        const uint32_t y = topDown ? i : picture.height - 1 - i;
        Bytes row(stride, 0);
        for (uint32_t x = 0; x < picture.width; ++x) {
            const uint8_t *c = &picture.rgb[(y * picture.width + x) * 3];
            switch (bits) {
            case 1:
            case 4:
            case 8: {
                uint32_t v = picture.indices[y * picture.width + x];
                uint32_t bit = x * bits;
                row[bit / 8] |= static_cast<uint8_t>(v << (8 - bits - bit % 8));
                break;
            }
            case 16: {
                uint16_t v = Pack16(c, mask565);
                row[2 * x] = static_cast<uint8_t>(v);
                row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                break;
            }
            case 24:
                row[3 * x] = c[2];
                row[3 * x + 1] = c[1];
                row[3 * x + 2] = c[0];
                break;
            case 32:
                row[4 * x] = c[2];
                row[4 * x + 1] = c[1];
                row[4 * x + 2] = c[0];
                row[4 * x + 3] = static_cast<uint8_t>(x + y);
                break;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Picture As16Bit(const Picture &picture, bool mask565)
{
    Picture p = picture;
    for (size_t i = 0; i < p.rgb.size(); i += 3) {
        uint16_t v = Pack16(&picture.rgb[i], mask565);
        if (mask565) {
            p.rgb[i] = static_cast<uint8_t>((v >> 11) << 3);
            p.rgb[i + 1] = static_cast<uint8_t>(((v >> 5) & 63) << 2);
            p.rgb[i + 2] = static_cast<uint8_t>((v & 31) << 3);
        } else {
            p.rgb[i] = static_cast<uint8_t>(((v >> 10) & 31) * 255 / 31);
            p.rgb[i + 1] = static_cast<uint8_t>(((v >> 5) & 31) * 255 / 31);
            p.rgb[i + 2] = static_cast<uint8_t>((v & 31) * 255 / 31);
        }
    }
    return p;
}

Bytes PictureBmp(const Picture &picture, uint16_t bits, bool topDown)
{
    BmpLayout layout;
    layout.width = static_cast<int32_t>(picture.width);
    layout.height = topDown ? -static_cast<int32_t>(picture.height) : static_cast<int32_t>(picture.height);
    layout.bits = bits;
    if (bits <= 8)
        layout.palette = picture.palette;
    layout.pixels = StoredRows(picture, bits, topDown);
    return BuildBmp(layout);
}

Result::~Result()
{
    if (p_)
        GlobalFree(p_);
}

namespace {

ReadOutcome Read(const Bytes &file, bool generic, uint32_t bits, RGBQUAD *palette)
{
    ReadOutcome r;
    HISSRC src = OpenMemorySource(file.data(), static_cast<uint32_t>(file.size()));
    if (!src) {
        r.error = GetLastImageError();
        return r;
    }
    uint32_t w = 0;
    uint32_t h = 0;
    Result image(generic ? ReadGeneric(src, &w, &h) : ReadBMP(src, &w, &h, bits, palette, 0));
    r.error = GetLastImageError();
    CloseSource(src);
    if (image.Get()) {
        r.returned = true;
        r.width = w;
        r.height = h;
        uint32_t pixelBytes = generic ? 3 : (bits == 1 ? 0 : bits / 8);
        size_t n = pixelBytes ? static_cast<size_t>(w) * h * pixelBytes : static_cast<size_t>((w + 7) / 8) * h;
        r.pixels = image.Copy(n);
    }
    return r;
}

}  // namespace

ReadOutcome ReadBmpBytes(const Bytes &file, uint32_t bits, RGBQUAD *palette) { return Read(file, false, bits, palette); }

ReadOutcome ReadGenericBytes(const Bytes &file) { return Read(file, true, 24, nullptr); }

}  // namespace imgtest
