// Parsing of the audio containers and tags the library understands. Portable:
// no Windows headers, so it builds and can be fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bass {

// The "fmt " facts of a RIFF WAVE file that the mixer can play.
struct WavFormat {
    int channels = 0;       // 1 or 2
    int rate = 0;           // frames per second
    int bits = 0;           // 8 or 16
};

// Reads a "fmt " chunk body. False for anything but integer PCM of 8 or 16 bits,
// mono or stereo (WAVE_FORMAT_EXTENSIBLE with the PCM subtype included).
bool ParseWavFmt(const uint8_t *body, size_t size, WavFormat *out);

// Header of one MPEG audio frame (layers 1-3, MPEG 1, 2 and 2.5).
struct MpegFrame {
    int version = 0;        // 1 = MPEG 1, 2 = MPEG 2, 25 = MPEG 2.5
    int layer = 0;          // 1..3
    int bitrate = 0;        // kbit/s
    int rate = 0;           // Hz
    int channels = 0;
    int size = 0;           // bytes of the whole frame
    int samples = 0;        // PCM frames it decodes to
};

// False unless the four bytes are a valid frame header (free format excluded).
bool ParseMpegHeader(const uint8_t *p, MpegFrame *out);

// Offset of the first frame header in data[0..size) that is followed by a second
// matching header (or the end of the data), or -1.
long FindMpegSync(const uint8_t *data, size_t size, MpegFrame *out);

// Size of an ID3v2 block starting at p (header, body and footer), 0 when p does
// not start one. Needs 10 bytes.
size_t Id3v2Size(const uint8_t *p);

// True when the 128 bytes are an ID3v1 tag ("TAG").
bool IsId3v1(const uint8_t *p);

// The value of "StreamTitle='...';" in an ICY metadata text: up to the closing
// "';", or to the end when that is missing. False when the text has none.
bool IcyStreamTitle(const char *meta, std::string *out);

}  // namespace bass
