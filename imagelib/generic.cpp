// GuessFormat: the format from a source's first bytes, its name, a TGA
// footer and the Photo CD mark; ReadGeneric: any readable format as 24-bit
// top-down RGB.
#include "generic.h"

#include "bmpformat.h"
#include "imageops.h"
#include "codecreaders.h"
#include "metafile.h"
#include "pixelrows.h"
#include "readerkit.h"

#include <cstring>

namespace {

constexpr uint32_t kHeadBytes = 44;
constexpr uint32_t kTgaFooterBytes = 18;
constexpr char kTgaFooterMark[] = "TRUEVISION-XFILE.";
constexpr int32_t kPhotoCdMarkOffset = 2048;
constexpr uint32_t kPaletteEntries = 256;

struct Signature {
    uint32_t type;
    uint32_t offset;
    uint32_t length;
    BYTE bytes[8];
};

// Tried in this order; the first match wins, except that WBMP's 00 00 is
// only provisional (the name or a TGA footer may still overrule it).
constexpr Signature kSignatures[] = {
    {kFileBmp, 0, 2, {'B', 'M'}},
    {kFilePax, 0, 3, {'P', 'A', 'X'}},
    {kFileGif, 0, 6, {'G', 'I', 'F', '8', '9', 'a'}},
    {kFileGif, 0, 6, {'G', 'I', 'F', '8', '7', 'a'}},
    {kFileJpeg, 0, 4, {0xFF, 0xD8, 0xFF, 0xE0}},
    {kFileJpeg, 0, 3, {0xFF, 0xD8, 0xFF}},
    {kFilePcx, 0, 2, {0x0A, 0x00}},
    {kFilePcx, 0, 2, {0x0A, 0x02}},
    {kFilePcx, 0, 2, {0x0A, 0x03}},
    {kFilePcx, 0, 2, {0x0A, 0x05}},
    {kFileTiff, 0, 2, {'M', 'M'}},
    {kFileTiff, 0, 2, {'I', 'I'}},
    {kFilePng, 0, 8, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}},
    {kFileWmf, 0, 5, {0x01, 0x00, 0x09, 0x00, 0x00}},
    {kFileWmf, 0, 4, {0xD7, 0xCD, 0xC6, 0x9A}},
    {kFileEmf, 40, 4, {' ', 'E', 'M', 'F'}},
    {kFilePsd, 0, 4, {'8', 'B', 'P', 'S'}},
    {kFileTlaFlagged, 0, 4, {0x54, 0x4C, 0x41, 0x01}},
    {kFileTlaPlain, 0, 4, {'T', 'L', 'A', 'U'}},
    {kFilePhotoCdIndex, 0, 7, {'P', 'C', 'D', '_', 'O', 'P', 'A'}},
    {kFileJpeg2000, 4, 5, {0x6A, 0x50, 0x20, 0x20, 0x0D}},
    {kFileJpeg2000, 0, 2, {0xFF, 0x4F}},
    {kFileJpeg2000Stream, 4, 2, {0xFF, 0x4F}},
    {kFileWbmp, 0, 2, {0x00, 0x00}},
    {kFileTga, 0, 0, {}},
    {kFileOleCompound, 0, 4, {0xD0, 0xCF, 0x11, 0xE0}},
};

// The format readers linked into this build, by ReaderIndex.
constexpr FormatReader kFormatReaders[kReaderCount] = {
    /* kReaderJpeg */
    {[](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) { return ReadJpegImage(io, 24, 0, w, h, ctx); },
     nullptr},
    /* kReaderBmp */
    {[](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
         return ReadBmpImage(io, 24, nullptr, 0, w, h, ctx);
     },
     nullptr},
    /* kReaderGif */
    {nullptr,
     [](CISIO &io, uint32_t &w, uint32_t &h, RGBQUAD *palette, OperationContext &ctx) {
         int32_t transparent = -1;
         return ReadGifImage(io, palette, transparent, 0, w, h, ctx);
     }},
    /* kReaderPcx */
    {[](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
         return ReadPcxImage(io, 24, nullptr, 0, w, h, ctx);
     },
     nullptr},
    /* kReaderPng */
    {[](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
         return ReadPngImage(io, 24, nullptr, 0, w, h, ctx);
     },
     nullptr},
    /* kReaderTiff */
    {[](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) { return ReadTiffImage(io, 0, 0, w, h, ctx); },
     nullptr},
    /* kReaderTga */
    {[](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
         return ReadTgaImage(io, 24, nullptr, 0, w, h, ctx);
     },
     nullptr},
#ifdef _WIN32
    /* kReaderWmf */ {ReadMetafileSource, nullptr},
    /* kReaderEmf */ {ReadMetafileSource, nullptr},
#else
    /* kReaderWmf */ {nullptr, nullptr},
    /* kReaderEmf */ {nullptr, nullptr},
#endif
    /* kReaderPsd */
    {[](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
         return ReadPsdImage(io, 24, nullptr, 0, w, h, ctx);
     },
     nullptr},
    /* kReaderWbmp */
    {nullptr,
     [](CISIO &io, uint32_t &w, uint32_t &h, RGBQUAD *palette, OperationContext &ctx) {
         return ReadWbmpImage(io, palette, 8, 0, w, h, ctx);
     }},
    /* kReaderTla */
    {[](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
         return ReadTlaImage(io, nullptr, 3, nullptr, 0, w, h, ctx);
     },
     nullptr},
    /* kReaderTlaFlagged */ {nullptr, nullptr},
    /* kReaderPhotoCd */
    {[](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) { return ReadPcdImage(io, 3, 0, w, h, ctx); },
     nullptr},
    /* kReaderNone */ {nullptr, nullptr},
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(const char *a, const char *b)
{
    for (; *a && *b; ++a, ++b)
        if (LowerAscii(*a) != LowerAscii(*b))
            return false;
    return *a == *b;
}

// The text from the last "." of the whole name; null when there is none.
const char *Extension(const char *name) { return name ? strrchr(name, '.') : nullptr; }

bool ExtensionIs(const char *ext, const char *wanted) { return ext && SameText(ext, wanted); }

enum class Footer { kUnreadable, kAbsent, kPresent };

Footer TgaFooter(CISIO &io)
{
    BYTE footer[kTgaFooterBytes];
    if (!io.Seek(-static_cast<int32_t>(kTgaFooterBytes), kSeekEnd) || !io.ReadExact(footer, sizeof(footer)))
        return Footer::kUnreadable;
    return memcmp(footer, kTgaFooterMark, sizeof(kTgaFooterMark) - 1) == 0 ? Footer::kPresent : Footer::kAbsent;
}

bool HasPhotoCdMark(CISIO &io)
{
    BYTE mark[3];
    return io.Seek(kPhotoCdMarkOffset, kSeekSet) && io.ReadExact(mark, sizeof(mark)) && memcmp(mark, "PCD", 3) == 0;
}

// Palette indices (GIF, WBMP) to packed RGB through Convert8BitToRGB's
// worker, nested: the reader before it already reported its rows.
BYTE *ExpandIndices(const BYTE *indices, uint32_t width, uint32_t height, const RGBQUAD *palette,
                    OperationContext &ctx)
{
    OperationScope outer;
    const CheckedSize rowBytes = CheckedSize(width) * CheckedSize(3);
    ImageBuffer rgb;
    if (!rgb.Allocate(rowBytes * CheckedSize(height))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    if (!ExpandPaletteRows(indices, width, height, width, rgb.Data(), rowBytes.Value(), palette, 0, ctx))
        return nullptr;
    return rgb.Release();
}

BYTE *ReadIndexed(IndexReader reader, CISIO &io, uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    RGBQUAD palette[kPaletteEntries] = {};
    BYTE *raw = reader(io, width, height, palette, ctx);
    if (!raw)
        return nullptr;
    // Hand the index image to a holder so it is freed on every way out.
    struct Holder {
        BYTE *p;
        ~Holder() { GlobalFree(p); }
    } holder{raw};
    return ExpandIndices(raw, width, height, palette, ctx);
}

}  // namespace

uint32_t GuessFileType(CISIO &io)
{
    BYTE head[kHeadBytes] = {};
    const uint32_t got = io.Read(head, sizeof(head));
    if (!got)
        return kFileUnknown;
    uint32_t provisional = kFileUnknown;
    for (const Signature &s : kSignatures) {
        if (s.length == 0 || s.offset + s.length > got || memcmp(head + s.offset, s.bytes, s.length) != 0)
            continue;
        if (s.type != kFileWbmp)
            return s.type;
        provisional = kFileWbmp;
        break;
    }
    if (io.IsFile()) {
        const char *ext = Extension(io.Name());
        if (ExtensionIs(ext, ".tga"))
            return kFileTga;
        if (ExtensionIs(ext, ".wbmp") || ExtensionIs(ext, ".wbm"))
            return kFileWbmp;
    }
    switch (TgaFooter(io)) {
    case Footer::kUnreadable:
        return kFileUnknown;
    case Footer::kPresent:
        return kFileTga;
    case Footer::kAbsent:
        break;
    }
    if (provisional)
        return provisional;
    return HasPhotoCdMark(io) ? kFilePhotoCd : kFileUnknown;
}

ReaderIndex ReaderForType(uint32_t type, const char *name)
{
    switch (type) {
    case kFileBmp: return kReaderBmp;
    case kFileGif: return kReaderGif;
    case kFileJpeg: return kReaderJpeg;
    case kFilePng: return kReaderPng;
    case kFilePcx: return kReaderPcx;
    case kFileTiff: return kReaderTiff;
    case kFileWmf: return kReaderWmf;
    case kFileEmf: return kReaderEmf;
    case kFilePsd: return kReaderPsd;
    case kFileTlaFlagged: return kReaderTlaFlagged;
    case kFileTlaPlain: return kReaderTla;
    case kFileWbmp: return kReaderWbmp;
    case kFileTga: return kReaderTga;
    case kFilePhotoCd: return kReaderPhotoCd;
    default: break;
    }
    struct Rule {
        const char *ext;
        ReaderIndex reader;
    };
    static const Rule kRules[] = {
        {".bmp", kReaderBmp}, {".wbmp", kReaderWbmp}, {".wbm", kReaderWbmp}, {".pcd", kReaderPhotoCd},
        {".gif", kReaderGif}, {".tga", kReaderTga},   {".jpeg", kReaderJpeg}, {".jpg", kReaderJpeg},
        {".tif", kReaderTiff}, {".tiff", kReaderTiff}, {".pcx", kReaderPcx},  {".psd", kReaderPsd},
        {".tla", kReaderTla}, {".png", kReaderPng},   {".wmf", kReaderWmf},  {".emf", kReaderEmf},
    };
    const char *ext = Extension(name);
    for (const Rule &rule : kRules)
        if (ExtensionIs(ext, rule.ext))
            return rule.reader;
    return kReaderNone;
}

uint32_t GuessFormat(HISSRC source)
{
    return RunEntry<uint32_t>([&](OperationContext &ctx) -> uint32_t {
        if (int32_t error = CheckStreamBlock(source)) {
            ctx.Fail(error);
            return kFileUnknown;
        }
        CISIO io(source);
        return GuessFileType(io);
    });
}

// The generic reader takes no nesting level of its own: the format reader
// it calls is the operation that reports its rows, once a row.
BYTE *ReadGeneric(HISSRC source, uint32_t *width, uint32_t *height)
{
    return RunEntry<BYTE *>([&](OperationContext &ctx) -> BYTE * {
        if (int32_t error = CheckStreamBlock(source)) {
            ctx.Fail(error);
            return nullptr;
        }
        if (!width || !height) {
            ctx.Fail(kImgBadParam);
            return nullptr;
        }
        CISIO io(source);
        io.Rewind();
        const ReaderIndex index = ReaderForType(GuessFileType(io), io.IsFile() ? io.Name() : "");
        io.Rewind();
        if (index == kReaderNone) {
            ctx.Fail(kImgFileOpen);
            return nullptr;
        }
        if (index == kReaderTlaFlagged) {
            ctx.Fail(kImgBadTla);
            return nullptr;
        }
        // Metafiles are rendered from their file by name; a memory source
        // has none, which is a bad parameter rather than a silent nothing.
        if ((index == kReaderWmf || index == kReaderEmf) && !io.IsFile()) {
            ctx.Fail(kImgBadParam);
            return nullptr;
        }
        const FormatReader &reader = kFormatReaders[index];
        uint32_t w = 0;
        uint32_t h = 0;
        BYTE *image = nullptr;
        if (reader.rgb)
            image = reader.rgb(io, w, h, ctx);
        else if (reader.index)
            image = ReadIndexed(reader.index, io, w, h, ctx);
        else
            ctx.Fail(kImgNotInBuild);
        if (image) {
            *width = w;
            *height = h;
        }
        return image;
    });
}
