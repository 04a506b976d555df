#include "formats.h"

#include <cstring>

namespace bass {

namespace {

uint16_t Le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

// kbit/s by [version row][layer - 1][index]; row 0 MPEG 1, row 1 MPEG 2 and 2.5.
const int kBitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};

const int kRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

}  // namespace

bool ParseWavFmt(const uint8_t *body, size_t size, WavFormat *out)
{
    if (size < 16)
        return false;
    uint16_t tag = Le16(body);
    int channels = Le16(body + 2);
    uint32_t rate = Le32(body + 4);
    int bits = Le16(body + 14);
    if (tag == kWaveFormatExtensible) {
        // The subtype GUID starts with the plain format tag.
        if (size < 40)
            return false;
        tag = Le16(body + 24);
    }
    if (tag != kWaveFormatPcm || (channels != 1 && channels != 2) || (bits != 8 && bits != 16))
        return false;
    if (rate < 1000 || rate > 192000)
        return false;
    out->channels = channels;
    out->rate = static_cast<int>(rate);
    out->bits = bits;
    return true;
}

bool ParseMpegHeader(const uint8_t *p, MpegFrame *out)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return false;
    int versionBits = (p[1] >> 3) & 3;
    int layerBits = (p[1] >> 1) & 3;
    int bitrateIndex = p[2] >> 4;
    int rateIndex = (p[2] >> 2) & 3;
    int padding = (p[2] >> 1) & 1;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return false;
    MpegFrame f;
    f.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    f.layer = 4 - layerBits;
    int row = f.version == 1 ? 0 : 1;
    f.bitrate = kBitrates[row][f.layer - 1][bitrateIndex];
    f.rate = kRates[f.version == 1 ? 0 : f.version == 2 ? 1 : 2][rateIndex];
    f.channels = ((p[3] >> 6) == 3) ? 1 : 2;
    if (f.layer == 1) {
        f.size = (12 * f.bitrate * 1000 / f.rate + padding) * 4;
        f.samples = 384;
    } else if (f.layer == 2 || f.version == 1) {
        f.size = 144 * f.bitrate * 1000 / f.rate + padding;
        f.samples = 1152;
    } else {
        f.size = 72 * f.bitrate * 1000 / f.rate + padding;
        f.samples = 576;
    }
    if (f.size < 4)
        return false;
    *out = f;
    return true;
}

long FindMpegSync(const uint8_t *data, size_t size, MpegFrame *out)
{
    for (size_t i = 0; i + 4 <= size; ++i) {
        MpegFrame f;
        if (!ParseMpegHeader(data + i, &f))
            continue;
        size_t next = i + static_cast<size_t>(f.size);
        if (next + 4 > size) {
            // Only a lone frame at the very end of a short buffer counts.
            if (next <= size && i == 0) {
                *out = f;
                return static_cast<long>(i);
            }
            continue;
        }
        MpegFrame g;
        if (ParseMpegHeader(data + next, &g) && g.version == f.version && g.layer == f.layer &&
            g.rate == f.rate) {
            *out = f;
            return static_cast<long>(i);
        }
    }
    return -1;
}

size_t Id3v2Size(const uint8_t *p)
{
    if (memcmp(p, "ID3", 3) != 0 || p[3] == 0xFF || p[4] == 0xFF)
        return 0;
    if ((p[6] | p[7] | p[8] | p[9]) & 0x80)
        return 0;
    size_t body = (static_cast<size_t>(p[6]) << 21) | (static_cast<size_t>(p[7]) << 14) |
                  (static_cast<size_t>(p[8]) << 7) | p[9];
    bool footer = (p[5] & 0x10) != 0;
    return 10 + body + (footer ? 10 : 0);
}

bool IsId3v1(const uint8_t *p) { return memcmp(p, "TAG", 3) == 0; }

bool IcyStreamTitle(const char *meta, std::string *out)
{
    static const char kKey[] = "StreamTitle='";
    const char *start = strstr(meta, kKey);
    if (!start)
        return false;
    start += sizeof(kKey) - 1;
    const char *end = strstr(start, "';");
    *out = end ? std::string(start, static_cast<size_t>(end - start)) : std::string(start);
    return true;
}

}  // namespace bass
