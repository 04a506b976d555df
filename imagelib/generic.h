// Format detection and the generic reader's table of format readers.
#pragma once

#include "isio.h"
#include "libframe.h"

#include <cstdint>

// The generic reader's own numbering of the format readers.
enum ReaderIndex : uint32_t {
    kReaderJpeg = 0,
    kReaderBmp = 1,
    kReaderGif = 2,
    kReaderPcx = 3,
    kReaderPng = 4,
    kReaderTiff = 5,
    kReaderTga = 6,
    kReaderWmf = 7,
    kReaderEmf = 8,
    kReaderPsd = 9,
    kReaderWbmp = 10,
    kReaderTla = 11,
    kReaderTlaFlagged = 12,
    kReaderPhotoCd = 13,
    kReaderNone = 14,
    kReaderCount = 15,
};

// A reader as the generic reader calls it: 24 bits a pixel, flags 0, on
// the source from its start. It may hand back rows with an error set (3 or
// 14) when it stopped inside its row loop.
using RgbReader = BYTE *(*)(CISIO &io, uint32_t &width, uint32_t &height, OperationContext &ctx);
// A reader of palette indices (GIF, WBMP), one byte a pixel with a 256-entry
// palette; the generic reader expands its result to RGB.
using IndexReader = BYTE *(*)(CISIO &io, uint32_t &width, uint32_t &height, RGBQUAD *palette,
                              OperationContext &ctx);

// One entry per ReaderIndex; a reader not linked into this build is null
// in both and reads as error 45.
struct FormatReader {
    RgbReader rgb;
    IndexReader index;
};

uint32_t GuessFileType(CISIO &io);
ReaderIndex ReaderForType(uint32_t type, const char *name);
