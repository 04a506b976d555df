// The sound effects as the saver finds them: every "SOUNDnn" resource of type
// "WAVE" in the built wyn03.scr, and the bell and alarm files beside it. Each
// must be a well-formed 16-bit PCM WAV that starts and ends without a click,
// leaves headroom below full scale and sits at the level of its class, so
// that horns, engines and birds keep their balance in the street.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "testutil.h"

namespace {

// --- reading a WAV image without trusting its lengths -------------------------

struct Wav {
    std::string error;  // empty when the image is a usable PCM 16-bit WAV
    int channels = 0;
    int rate = 0;
    std::vector<double> mono;  // samples in -1..1, channels averaged
};

uint32_t Le32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t *p) { return uint16_t(p[0] | p[1] << 8); }

Wav ParseWav(const uint8_t *p, size_t size)
{
    Wav w;
    if (size < 12 || memcmp(p, "RIFF", 4) != 0 || memcmp(p + 8, "WAVE", 4) != 0) {
        w.error = "no RIFF/WAVE header";
        return w;
    }
    if (Le32(p + 4) > size - 8) {
        w.error = "RIFF length beyond the data";
        return w;
    }
    const size_t end = 8 + Le32(p + 4);
    bool haveFormat = false;
    int bits = 0;
    size_t pos = 12;
    while (pos + 8 <= end) {
        const uint8_t *chunk = p + pos;
        const uint32_t len = Le32(chunk + 4);
        if (len > end - pos - 8) {
            w.error = "chunk length beyond the data";
            return w;
        }
        if (memcmp(chunk, "fmt ", 4) == 0) {
            if (len < 16) {
                w.error = "short fmt chunk";
                return w;
            }
            const uint16_t format = Le16(chunk + 8);
            w.channels = Le16(chunk + 10);
            w.rate = static_cast<int>(Le32(chunk + 12));
            const uint32_t byteRate = Le32(chunk + 16);
            const uint16_t blockAlign = Le16(chunk + 20);
            bits = Le16(chunk + 22);
            if (format != 1 || bits != 16 || w.channels < 1 || w.channels > 2 || w.rate < 8000 ||
                w.rate > 48000 || blockAlign != w.channels * 2 ||
                byteRate != uint32_t(w.rate) * blockAlign) {
                w.error = "not consistent 16-bit PCM";
                return w;
            }
            haveFormat = true;
        } else if (memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                w.error = "data before fmt";
                return w;
            }
            const size_t frames = len / (2u * w.channels);
            if (frames == 0 || len % (2u * w.channels) != 0) {
                w.error = "empty or ragged data";
                return w;
            }
            w.mono.resize(frames);
            for (size_t i = 0; i < frames; ++i) {
                double sum = 0;
                for (int c = 0; c < w.channels; ++c)
                    sum += int16_t(Le16(chunk + 8 + (i * w.channels + c) * 2)) / 32768.0;
                w.mono[i] = sum / w.channels;
            }
            return w;
        }
        pos += 8 + len + (len & 1);
    }
    w.error = haveFormat ? "no data chunk" : "no fmt chunk";
    return w;
}

// --- measures --------------------------------------------------------------------

double Db(double x) { return 20.0 * std::log10(std::max(x, 1e-9)); }

double RmsDb(const std::vector<double> &x, size_t from, size_t count)
{
    double sum = 0;
    for (size_t i = from; i < from + count; ++i)
        sum += x[i] * x[i];
    return Db(std::sqrt(sum / std::max<size_t>(count, 1)));
}

// The loudest RMS over a 100 ms window (10 ms steps): a short knock and a long
// drone are compared by how loud they are while they sound.
double LevelDb(const Wav &w)
{
    const size_t window = w.rate / 10, hop = w.rate / 100;
    if (w.mono.size() <= window)
        return RmsDb(w.mono, 0, w.mono.size());
    double best = -200;
    for (size_t i = 0; i + window <= w.mono.size(); i += hop)
        best = std::max(best, RmsDb(w.mono, i, window));
    return best;
}

double PeakDb(const Wav &w)
{
    double peak = 0;
    for (double v : w.mono)
        peak = std::max(peak, std::fabs(v));
    return Db(peak);
}

double Seconds(const Wav &w) { return double(w.mono.size()) / w.rate; }

// A playback starts from and returns to silence: the first and last samples
// must be near zero and the first and last milliseconds quiet, or every play
// begins or ends with a click.
void ExpectNoClicks(const Wav &w)
{
    const size_t ms = w.rate / 1000;
    ASSERT_GT(w.mono.size(), 4 * ms);
    EXPECT_LT(std::fabs(w.mono.front()), 0.01);
    EXPECT_LT(std::fabs(w.mono.back()), 0.01);
    EXPECT_LT(RmsDb(w.mono, 0, ms), -30.0) << "loud first millisecond";
    EXPECT_LT(RmsDb(w.mono, w.mono.size() - 2 * ms, 2 * ms), -40.0) << "loud last milliseconds";
}

const double kPeakCeilingDb = -0.5;

// --- what each sample is ------------------------------------------------------

enum class Kind { Signal, Foley, Engine, Ambient, Silent };

struct Band {
    double low, high;
};

// Horns and bells stand out, everyday noises a little below, engines (played
// over and over while a vehicle drives) and ambient sounds further back.
Band BandOf(Kind k)
{
    switch (k) {
    case Kind::Signal: return {-20, -10};
    case Kind::Foley: return {-24, -14};
    case Kind::Engine: return {-28, -18};
    case Kind::Ambient: return {-29, -19};
    case Kind::Silent: break;
    }
    return {-200, -90};
}

// The vehicle scripts replay an engine sample every few frames (up to 21
// frames for the bus at speed, 60 ms each at the slowest setting); a sample
// shorter than that leaves gaps in the engine's sound.
struct Effect {
    int number;
    Kind kind;
    double minSeconds;
};

const Effect kEffects[] = {
    {0, Kind::Signal, 0.2},   {1, Kind::Signal, 0.3},   {2, Kind::Signal, 0.15},
    {3, Kind::Signal, 0.15},  {4, Kind::Signal, 0.15},  {5, Kind::Foley, 0.2},
    {6, Kind::Foley, 0.1},    {7, Kind::Signal, 2.0},   {8, Kind::Ambient, 1.0},
    {9, Kind::Ambient, 1.0},  {10, Kind::Engine, 0.9},  {11, Kind::Foley, 0.2},
    {12, Kind::Foley, 0.3},   {13, Kind::Foley, 0.2},   {14, Kind::Foley, 0.2},
    {15, Kind::Signal, 2.0},  {16, Kind::Ambient, 2.0}, {17, Kind::Foley, 0.2},
    {18, Kind::Foley, 0.1},   {19, Kind::Engine, 0.36}, {20, Kind::Foley, 0.2},
    {21, Kind::Foley, 0.3},   {22, Kind::Foley, 0.3},   {23, Kind::Silent, 0.01},
    {24, Kind::Engine, 1.14}, {25, Kind::Foley, 0.2},   {26, Kind::Silent, 0.01},
    {27, Kind::Signal, 0.3},  {28, Kind::Foley, 0.2},   {29, Kind::Signal, 0.5},
    {30, Kind::Signal, 0.3},  {31, Kind::Foley, 0.3},   {32, Kind::Engine, 1.26},
    {33, Kind::Engine, 1.26}, {34, Kind::Engine, 1.26}, {35, Kind::Engine, 1.26},
    {36, Kind::Engine, 0.42}, {37, Kind::Engine, 0.42}, {38, Kind::Engine, 0.42},
    {39, Kind::Engine, 0.42}, {40, Kind::Engine, 0.36}, {41, Kind::Engine, 0.36},
    {42, Kind::Engine, 0.36}, {43, Kind::Engine, 0.36}, {44, Kind::Engine, 0.78},
    {45, Kind::Engine, 0.78}, {46, Kind::Engine, 0.78}, {47, Kind::Engine, 0.78},
    {48, Kind::Engine, 0.78}, {49, Kind::Silent, 0.01}, {50, Kind::Engine, 0.9},
    {51, Kind::Engine, 0.9},  {52, Kind::Engine, 0.9},
};

void ExpectSoundsRight(const Wav &w, Kind kind, double minSeconds)
{
    ASSERT_EQ(w.error, "");
    EXPECT_GE(Seconds(w), minSeconds);
    ExpectNoClicks(w);
    const double level = LevelDb(w);
    const Band band = BandOf(kind);
    EXPECT_GE(level, band.low);
    EXPECT_LE(level, band.high);
    if (kind != Kind::Silent) {
        EXPECT_LT(PeakDb(w), kPeakCeilingDb);
    }
}

class ScreensaverImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryExA(testutil::DistPath("wyn03.scr").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << "wyn03.scr not built";
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

// The saver's own way in: find, load, lock, size.
TEST_F(ScreensaverImage, EverySoundEffectIsACleanPcmWaveAtItsClassLevel)
{
    ASSERT_EQ(std::size(kEffects), 53u);
    for (const Effect &e : kEffects) {
        char name[16];
        snprintf(name, sizeof name, "SOUND%02d", e.number);
        SCOPED_TRACE(name);
        HRSRC res = FindResourceA(module_, name, "WAVE");
        ASSERT_NE(res, nullptr) << "missing";
        const DWORD size = SizeofResource(module_, res);
        HGLOBAL mem = LoadResource(module_, res);
        ASSERT_NE(mem, nullptr);
        const auto *data = static_cast<const uint8_t *>(LockResource(mem));
        ASSERT_NE(data, nullptr);
        ExpectSoundsRight(ParseWav(data, size), e.kind, e.minSeconds);
    }
    EXPECT_EQ(FindResourceA(module_, "SOUND53", "WAVE"), nullptr);
}

TEST(SoundFiles, BellsAndAlarmAreCleanPcmWaves)
{
    const struct {
        const char *path;
        double minSeconds;
    } files[] = {{"sound\\glocken.mp3", 20.0}, {"sound\\alarm.mp3", 5.0}};
    for (const auto &f : files) {
        SCOPED_TRACE(f.path);
        const std::string bytes = testutil::ReadFileBytes(testutil::DistPath(f.path));
        ASSERT_FALSE(bytes.empty()) << "missing";
        ExpectSoundsRight(ParseWav(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()),
                          Kind::Signal, f.minSeconds);
    }
}

// The checks above are only as good as the reader: it must refuse images
// whose lengths or format it cannot trust.
std::vector<uint8_t> TinyWav(uint16_t bits, uint32_t dataLen, size_t dataBytes)
{
    std::string v;
    auto put32 = [&](uint32_t x) { for (int i = 0; i < 4; ++i) v += char(x >> (8 * i)); };
    auto put16 = [&](uint16_t x) { v += char(x); v += char(x >> 8); };
    v += "RIFF";
    put32(uint32_t(36 + dataBytes));
    v += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(22050);
    put32(22050 * (bits / 8));
    put16(uint16_t(bits / 8));
    put16(bits);
    v += "data";
    put32(dataLen);
    v.append(dataBytes, '\0');
    return std::vector<uint8_t>(v.begin(), v.end());
}

TEST(WavReader, RefusesWhatItCannotTrust)
{
    const struct {
        std::vector<uint8_t> image;
        bool ok;
    } cases[] = {
        {TinyWav(16, 100, 100), true},
        {TinyWav(16, 200, 100), false},    // data length beyond the image
        {TinyWav(8, 100, 100), false},     // 8-bit
        {TinyWav(16, 0, 0), false},        // no samples
        {{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, false},  // no chunks
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Wav w = ParseWav(cases[i].image.data(), cases[i].image.size());
        EXPECT_EQ(w.error.empty(), cases[i].ok) << "case " << i << ": " << w.error;
    }
}

}  // namespace
