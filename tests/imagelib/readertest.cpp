#include "readertest.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace readertest {

std::vector<Fixture> Manifest()
{
    std::vector<Fixture> list;
    std::ifstream in(FixturePath("manifest.txt"));
    Fixture f;
    while (in >> f.name >> f.width >> f.height >> f.expected)
        list.push_back(f);
    return list;
}

// Under Wine the build tree is reached through drive Z:.
std::string FixturePath(const std::string &name)
{
    std::string path = std::string(WYN_READER_FIXTURES) + "/" + name;
#ifdef _WIN32
    for (char &c : path)
        if (c == '/')
            c = '\\';
    path = "Z:" + path;
#endif
    return path;
}

Bytes FixtureBytes(const std::string &name) { return imgtest::ReadFile(FixturePath(name)); }

namespace {

Outcome Finish(HISSRC src, const SourceRead &read, uint32_t bytesPerPixel)
{
    Outcome r;
    if (!src) {
        r.error = GetLastImageError();
        return r;
    }
    uint32_t w = 0;
    uint32_t h = 0;
    imgtest::Result image(read(src, &w, &h));
    r.error = GetLastImageError();
    CloseSource(src);
    if (!image.Get())
        return r;
    r.returned = true;
    r.width = w;
    r.height = h;
    if (bytesPerPixel == kPackedMono) {
        r.pixels = image.Copy(static_cast<size_t>((w + 7) / 8) * h);
    } else if (bytesPerPixel) {
        r.pixels = image.Copy(static_cast<size_t>(w) * h * bytesPerPixel);
    } else {
        // A packed DIB: header, colour table and rows as its header says.
        const BYTE *p = image.Get();
        uint32_t bits = p[14] | (p[15] << 8);
        uint32_t colours = p[32] | (p[33] << 8);
        uint32_t stride = (w * bits + 31) / 32 * 4;
        r.pixels = image.Copy(40 + 4 * static_cast<size_t>(colours) + static_cast<size_t>(stride) * h);
    }
    return r;
}

}  // namespace

Outcome ReadMemory(const Bytes &file, const SourceRead &read, uint32_t bytesPerPixel)
{
    return Finish(OpenMemorySource(file.data(), static_cast<uint32_t>(file.size())), read, bytesPerPixel);
}

Outcome ReadPath(const std::string &path, const SourceRead &read, uint32_t bytesPerPixel)
{
    return Finish(OpenFileSource(path.c_str()), read, bytesPerPixel);
}

SourceRead Generic()
{
    return [](HISSRC s, uint32_t *w, uint32_t *h) { return ReadGeneric(s, w, h); };
}

PaletteOutcome ReadWithPalette(const Bytes &file, const PaletteRead &read, uint32_t bytesPerPixel)
{
    PaletteOutcome r;
    memset(r.palette, 0xAB, sizeof(r.palette));
    r.outcome = ReadMemory(
        file, [&](HISSRC s, uint32_t *w, uint32_t *h) { return read(s, w, h, r.palette); }, bytesPerPixel);
    return r;
}

void Le16(Bytes &b, uint32_t v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Le32(Bytes &b, uint32_t v)
{
    Le16(b, v);
    Le16(b, v >> 16);
}
void Be16(Bytes &b, uint32_t v)
{
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
void Be32(Bytes &b, uint32_t v)
{
    Be16(b, v >> 16);
    Be16(b, v);
}

namespace {

class CodeWriter {
public:
    void Put(uint32_t code, uint32_t width)
    {
        bits_ |= static_cast<uint64_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    Bytes Blocks(uint32_t minCodeSize)
    {
        if (count_)
            bytes_.push_back(static_cast<uint8_t>(bits_));
        Bytes out{static_cast<uint8_t>(minCodeSize)};
        for (size_t at = 0; at < bytes_.size(); at += 255) {
            size_t n = std::min<size_t>(255, bytes_.size() - at);
            out.push_back(static_cast<uint8_t>(n));
            out.insert(out.end(), bytes_.begin() + at, bytes_.begin() + at + n);
        }
        out.push_back(0);
        return out;
    }

private:
    Bytes bytes_;
    uint64_t bits_ = 0;
    uint32_t count_ = 0;
};

}  // namespace

Bytes LzwEncode(const std::vector<uint8_t> &indices, uint32_t minCodeSize, LzwMode mode, size_t *decodable)
{
    const uint32_t clear = 1u << minCodeSize;
    const uint32_t first = clear + 2;
    CodeWriter out;
    std::unordered_map<uint32_t, uint32_t> table;
    std::vector<size_t> length(4096, 1);
    uint32_t width = minCodeSize + 1;
    uint32_t next = first;
    size_t done = 0;
    bool full = false;
    size_t codesAfterFull = 0;
    auto reset = [&] {
        out.Put(clear, width);
        table.clear();
        width = minCodeSize + 1;
        next = first;
    };
    auto emit = [&](uint32_t code) {
        out.Put(code, width);
        done += length[code];
        // The decoder's table is one entry behind: it ends at the code
        // after the one that filled it.
        if (full && ++codesAfterFull == 2 && decodable)
            *decodable = done - length[code];
    };
    reset();
    if (decodable)
        *decodable = indices.size();
    uint32_t w = indices.empty() ? 0 : indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const uint8_t c = indices[i];
        const uint32_t key = (w << 8) | c;
        if (mode != LzwMode::kPlain) {
            auto found = table.find(key);
            if (found != table.end()) {
                w = found->second;
                continue;
            }
        }
        emit(w);
        if (next < 4096) {
            table[key] = next;
            length[next] = length[w] + 1;
            ++next;
            if (next > (1u << width) && width < 12)
                ++width;
        }
        if (mode == LzwMode::kPlain && next == 2 * clear)
            reset();
        else if (next == 4096 && mode == LzwMode::kClearWhenFull)
            reset();
        else if (next == 4096)
            full = true;
        w = c;
    }
    if (!indices.empty())
        emit(w);
    out.Put(clear + 1, width);
    return out.Blocks(minCodeSize);
}

Bytes GifFile(uint32_t width, uint32_t height, const std::vector<RGBQUAD> &colours, const Bytes &extensions,
              BYTE imagePacked, const Bytes &imageData)
{
    Bytes b{'G', 'I', 'F', '8', '9', 'a'};
    uint32_t sizeBits = 0;
    while ((2u << sizeBits) < colours.size())
        ++sizeBits;
    Le16(b, width);
    Le16(b, height);
    b.push_back(static_cast<uint8_t>(colours.empty() ? 0 : 0x80 | sizeBits));
    b.push_back(0);
    b.push_back(0);
    if (!colours.empty())
        for (uint32_t i = 0; i < (2u << sizeBits); ++i) {
            RGBQUAD c = i < colours.size() ? colours[i] : RGBQUAD{0, 0, 0, 0};
            b.insert(b.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
        }
    b.insert(b.end(), extensions.begin(), extensions.end());
    b.push_back(0x2C);
    Le16(b, 0);
    Le16(b, 0);
    Le16(b, width);
    Le16(b, height);
    b.push_back(imagePacked);
    b.insert(b.end(), imageData.begin(), imageData.end());
    b.push_back(0x3B);
    return b;
}

Bytes PackBitsRow(const Bytes &row)
{
    Bytes out;
    size_t i = 0;
    while (i < row.size()) {
        size_t run = 1;
        while (i + run < row.size() && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(1 - static_cast<int>(run)));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        size_t lit = 1;
        while (i + lit < row.size() && lit < 128 && !(i + lit + 1 < row.size() && row[i + lit] == row[i + lit + 1]))
            ++lit;
        out.push_back(static_cast<uint8_t>(lit - 1));
        out.insert(out.end(), row.begin() + i, row.begin() + i + lit);
        i += lit;
    }
    return out;
}

}  // namespace readertest
