// JPEG reader on libjpeg (6b interface): a source manager over the caller's
// source, grey, RGB, CMYK and YCbCr output, padded BGR rows and packed DIBs,
// and the file's comments and application markers in the thread's lists.
//
// libjpeg reports fatal errors through error_exit, which must not return.
// It jumps back (longjmp) into a small guarded function per libjpeg stage;
// those functions hold no C++ object, so nothing is skipped that needed
// destroying, and the decompressor is destroyed by its owner on every path.
#include "codecreaders.h"

#include "readerkit.h"
#include "trace.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr uint32_t kSourceBufferBytes = 4096;
constexpr unsigned kMarkerKeepBytes = 0xFFFF;
constexpr int kFirstKeptApp = JPEG_APP0 + 1;
constexpr int kLastKeptApp = JPEG_APP0 + 14;
constexpr uint32_t kGreyEntries = 256;

enum ColourKind { kColourNone = 0, kColourGrey = 1, kColourRgb = 2, kColourCmyk = 3, kColourYcck = 4, kColourYcc = 5 };
enum OutputKind { kOutNone = 0, kOutGrey = 1, kOutRgb = 2, kOutCmyk = 3, kOutYcck = 4, kOutYcc = 5 };

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct SourceManager {
    jpeg_source_mgr pub;
    CISIO *io;
    bool seekBack;
    bool atStart;
    JOCTET buffer[kSourceBufferBytes];
};

// One open picture. Plain data only: the guarded functions work on it.
struct JpegDecoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    SourceManager src;
    jpeg_progress_mgr progress;
    bool created;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    ErrorManager *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    TraceMsg(3, "%s\n", err->message);
    longjmp(err->jump, 1);
}

// Warnings and trace texts are shown nowhere.
void OutputMessage(j_common_ptr) {}

// A cap on progressive scans: each scan of a large picture costs a pass
// over all its coefficients, so a file of thousands of tiny scans would
// take minutes. libjpeg has no message of its own for it.
void LimitScans(j_common_ptr cinfo)
{
    j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (!d->is_decompressor || d->input_scan_number <= kJpegMaxScans)
        return;
    ErrorManager *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    snprintf(err->message, sizeof(err->message), "more than %d scans", kJpegMaxScans);
    longjmp(err->jump, 1);
}

void InitSource(j_decompress_ptr cinfo) { reinterpret_cast<SourceManager *>(cinfo->src)->atStart = true; }

// At the end of the data libjpeg is given an end-of-image marker, so a cut
// file decodes to its last row with the missing part filled.
boolean FillInput(j_decompress_ptr cinfo)
{
    SourceManager *src = reinterpret_cast<SourceManager *>(cinfo->src);
    uint32_t got = src->io->Read(src->buffer, kSourceBufferBytes);
    if (got == 0) {
        if (src->atStart)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = got;
    src->atStart = false;
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr *src = cinfo->src;
    size_t left = static_cast<size_t>(count);
    while (left > src->bytes_in_buffer) {
        left -= src->bytes_in_buffer;
        FillInput(cinfo);
    }
    src->next_input_byte += left;
    src->bytes_in_buffer -= left;
}

void TermSource(j_decompress_ptr cinfo)
{
    SourceManager *src = reinterpret_cast<SourceManager *>(cinfo->src);
    if (src->seekBack && src->pub.bytes_in_buffer > 0)
        src->io->Seek(-static_cast<int32_t>(src->pub.bytes_in_buffer), kSeekCur);
}

void PrepareDecoder(JpegDecoder &d, CISIO &io, bool seekBack)
{
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = ErrorExit;
    d.err.pub.output_message = OutputMessage;
    d.src.pub.init_source = InitSource;
    d.src.pub.fill_input_buffer = FillInput;
    d.src.pub.skip_input_data = SkipInput;
    d.src.pub.resync_to_restart = jpeg_resync_to_restart;
    d.src.pub.term_source = TermSource;
    d.src.io = &io;
    d.src.seekBack = seekBack;
    d.progress.progress_monitor = LimitScans;
}

// The guarded stages. Each answers false after libjpeg raised an error;
// the message is then in d.err.message.
bool GuardedHeader(JpegDecoder &d)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&d.cinfo);
    d.created = true;
    d.cinfo.mem->max_memory_to_use = static_cast<long>(kCodecMemoryLimit);
    d.cinfo.src = &d.src.pub;
    d.cinfo.progress = &d.progress;
    jpeg_save_markers(&d.cinfo, JPEG_COM, kMarkerKeepBytes);
    for (int m = kFirstKeptApp; m <= kLastKeptApp; ++m)
        jpeg_save_markers(&d.cinfo, m, kMarkerKeepBytes);
    jpeg_read_header(&d.cinfo, TRUE);
    return true;
}

bool GuardedDimensions(JpegDecoder &d, uint32_t scaleNum, uint32_t scaleDenom, bool keepYcc)
{
    if (setjmp(d.err.jump))
        return false;
    d.cinfo.scale_num = scaleNum;
    d.cinfo.scale_denom = scaleDenom;
    if (keepYcc)
        d.cinfo.out_color_space = JCS_YCbCr;
    jpeg_calc_output_dimensions(&d.cinfo);
    return true;
}

bool GuardedStart(JpegDecoder &d)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_start_decompress(&d.cinfo);
    return true;
}

bool GuardedReadLine(JpegDecoder &d, JSAMPROW row)
{
    if (setjmp(d.err.jump))
        return false;
    return jpeg_read_scanlines(&d.cinfo, &row, 1) == 1;
}

bool GuardedFinish(JpegDecoder &d)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

// Owns the decoder; destroys libjpeg's object on every way out.
struct DecoderHolder {
    std::unique_ptr<JpegDecoder> d;
    ~DecoderHolder()
    {
        if (d && d->created)
            jpeg_destroy_decompress(&d->cinfo);
    }
};

void TraceError(const char *text) { TraceMsg(3, "DIRuv JPG Error : %s\n", text); }

// The kept markers of the header, in file order, into the thread's lists.
void KeepMarkers(const jpeg_decompress_struct &cinfo, JpegSettings &lists)
{
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
        if (!m->data || m->data_length == 0)
            continue;
        auto tag = std::make_unique<CFileDataTag>();
        if (m->marker == JPEG_COM) {
            tag->text.assign(reinterpret_cast<const char *>(m->data), m->data_length);
            TraceMsg(2, "DIRuv JPG comment : %s\n", tag->text.c_str());
            lists.comments.Append(std::move(tag));
        } else {
            tag->key = m->marker;
            tag->data.assign(m->data, m->data + m->data_length);
            TraceMsg(2, "DIRuv JPG marker # %d, len: %d\n", m->marker, static_cast<int>(m->data_length));
            lists.markers.Append(std::move(tag));
        }
    }
}

ColourKind KindOf(const jpeg_decompress_struct &cinfo, bool keepYcc)
{
    switch (cinfo.output_components) {
    case 1: return kColourGrey;
    case 3: return keepYcc ? kColourYcc : kColourRgb;
    case 4:
        if (cinfo.jpeg_color_space == JCS_CMYK)
            return kColourCmyk;
        return cinfo.jpeg_color_space == JCS_YCCK ? kColourYcck : kColourNone;
    default: return kColourNone;
    }
}

// What the rows will hold, or kOutNone with the reason traced.
OutputKind OutputFor(ColourKind colour, uint32_t depth, uint32_t flags)
{
    const bool dib = (flags & kJpegAsDib) != 0;
    const char *why = "Invalid JPG colorspace";
    switch (colour) {
    case kColourGrey:
        if (dib || depth == 8)
            return kOutGrey;
        if (depth == 24)
            return kOutRgb;
        why = "Invalid bit depth requested (can't read 8-bit to 32-bit)";
        break;
    case kColourRgb:
        if (depth == 24 || dib)
            return kOutRgb;
        why = "Invalid bit depth requested (can't read RGB to any other bit depth)";
        break;
    case kColourCmyk:
    case kColourYcck:
        if (flags & kJpegRawCmyk) {
            if (depth == 32 && !dib)
                return colour == kColourCmyk ? kOutCmyk : kOutYcck;
            why = "Invalid bit depth requested (can only read CMYK/YCCK to 32bpp)";
        } else if (depth == 24 || dib) {
            return kOutRgb;
        } else {
            why = "Invalid bit depth requested";
        }
        break;
    case kColourYcc:
        if (depth == 24 || dib)
            return kOutYcc;
        why = "Invalid bit depth requested (can't read YCbCr to any other bit depth)";
        break;
    default: break;
    }
    TraceError(why);
    return kOutNone;
}

uint32_t BytesPerPixel(OutputKind kind)
{
    switch (kind) {
    case kOutGrey: return 1;
    case kOutCmyk:
    case kOutYcck: return 4;
    default: return 3;
    }
}

// One row as the output kind wants it; the scratch row takes what libjpeg
// delivers when it must be converted.
void ConvertRow(const BYTE *in, BYTE *out, uint32_t width, ColourKind colour, OutputKind output)
{
    if (output != kOutRgb || colour == kColourRgb || width == 0)
        return;
    if (colour == kColourGrey) {
        // A grey value is three equal bytes: one four-byte store a pixel
        // that the next pixel overlaps, the last pixel byte by byte so
        // nothing lands past the row.
        uint32_t x = 0;
        for (; x + 1 < width; ++x) {
            const uint32_t word = in[x] * 0x01010101u;
            memcpy(out + 3 * x, &word, sizeof(word));
        }
        out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = in[x];
        return;
    }
    for (uint32_t x = 0; x < width; ++x) {
        const BYTE *p = in + 4 * x;
        out[3 * x] = static_cast<BYTE>(p[0] * p[3] / 255);
        out[3 * x + 1] = static_cast<BYTE>(p[1] * p[3] / 255);
        out[3 * x + 2] = static_cast<BYTE>(p[2] * p[3] / 255);
    }
}

void FillDibHeader(BYTE *dib, const jpeg_decompress_struct &cinfo, uint32_t bits, uint32_t imageSize, bool grey)
{
    PutDibHeader(dib, cinfo.output_width, cinfo.output_height, bits, imageSize, grey ? kGreyEntries : 0);
    PutLe32(dib + kDibXResolution, static_cast<uint32_t>(PixelsPerMetre(cinfo.X_density, cinfo.density_unit)));
    PutLe32(dib + kDibYResolution, static_cast<uint32_t>(PixelsPerMetre(cinfo.Y_density, cinfo.density_unit)));
    if (!grey)
        return;
    RGBQUAD *table = reinterpret_cast<RGBQUAD *>(dib + kDibInfoBytes);
    for (uint32_t i = 0; i < kGreyEntries; ++i)
        table[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 255};
}

void RgbToBgr(BYTE *row, uint32_t width)
{
    for (uint32_t x = 0; x < width; ++x) {
        BYTE r = row[3 * x];
        row[3 * x] = row[3 * x + 2];
        row[3 * x + 2] = r;
    }
}

// Opens the picture up to the start of decompression: header, markers,
// dimensions. False with 9 in the slot.
bool OpenDecoder(DecoderHolder &holder, CISIO &io, uint32_t flags, OperationContext &ctx)
{
    LibThreadState *state = CurrentThreadState();
    state->jpeg.comments.Clear();
    state->jpeg.markers.Clear();
    holder.d.reset(new (std::nothrow) JpegDecoder());
    if (!holder.d) {
        ctx.Fail(kImgOutOfMemory);
        return false;
    }
    JpegDecoder &d = *holder.d;
    PrepareDecoder(d, io, (flags & kJpegSeekBack) != 0);
    if (GuardedHeader(d)) {
        KeepMarkers(d.cinfo, state->jpeg);
        if (GuardedDimensions(d, state->jpeg.scaleNum, state->jpeg.scaleDenom, (flags & kJpegKeepYcc) != 0))
            return true;
    }
    TraceError(d.err.message);
    ctx.Fail(kImgBadJpg);
    return false;
}

struct RowJob {
    BYTE *first;       // where row 0 goes
    ptrdiff_t step;    // distance to the next row (negative bottom-up)
    bool bgr;          // RGB rows in blue, green, red order
};

// The row loop: stops at the first failure (3) or abort (14).
void ReadRows(JpegDecoder &d, const RowJob &job, ColourKind colour, OutputKind output, OperationContext &ctx)
{
    const uint32_t width = d.cinfo.output_width;
    const uint32_t height = d.cinfo.output_height;
    const bool direct = output != kOutRgb || colour == kColourRgb;
    WorkBuffer scratch(CheckedSize(width) * CheckedSize(static_cast<uint32_t>(d.cinfo.output_components)));
    RowProgress progress;
    for (uint32_t y = 0; y < height; ++y) {
        BYTE *row = job.first + job.step * static_cast<ptrdiff_t>(y);
        if (!GuardedReadLine(d, direct ? row : scratch.Data())) {
            TraceError(d.err.message);
            ctx.Fail(kImgFileRead);
            return;
        }
        ConvertRow(scratch.Data(), row, width, colour, output);
        if (job.bgr && output == kOutRgb)
            RgbToBgr(row, width);
        if (!progress.Report(y, height, ctx))
            return;
    }
}

}  // namespace

BYTE *ReadJpegImage(CISIO &io, uint32_t depth, uint32_t flags, uint32_t &width, uint32_t &height,
                    OperationContext &ctx)
{
    OperationScope scope;
    if (depth != 8 && depth != 24 && depth != 32) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    DecoderHolder holder;
    if (!OpenDecoder(holder, io, flags, ctx))
        return nullptr;
    JpegDecoder &d = *holder.d;
    const bool keepYcc = (flags & kJpegKeepYcc) != 0;
    const ColourKind colour = KindOf(d.cinfo, keepYcc);
    const OutputKind output = OutputFor(colour, depth, flags);
    if (output == kOutNone || !GuardedStart(d)) {
        if (output != kOutNone)
            TraceError(d.err.message);
        ctx.Fail(kImgBadJpg);
        return nullptr;
    }
    const bool dib = (flags & kJpegAsDib) != 0;
    const uint32_t bpp = BytesPerPixel(output);
    const uint32_t w = d.cinfo.output_width;
    const uint32_t h = d.cinfo.output_height;
    CheckedSize rowBytes = CheckedSize(w) * CheckedSize(bpp);
    if (dib || (flags & kJpegPaddedBgr))
        rowBytes = rowBytes.RoundUp4();
    const bool grey = output == kOutGrey;
    const CheckedSize header = dib ? CheckedSize(kDibInfoBytes + (grey ? kGreyEntries * 4 : 0)) : CheckedSize(0);
    const CheckedSize imageSize = rowBytes * CheckedSize(h);
    ImageBuffer image;
    if (!image.Allocate(header + imageSize)) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    RowJob job{image.Data() + header.Value(), static_cast<ptrdiff_t>(rowBytes.Value()),
               dib || (flags & kJpegPaddedBgr)};
    if (dib) {
        FillDibHeader(image.Data(), d.cinfo, 8 * bpp, imageSize.Value(), grey);
        job.first += static_cast<size_t>(h - 1) * rowBytes.Value();
        job.step = -job.step;
    }
    ReadRows(d, job, colour, output, ctx);
    if (ctx.error) {
        // libjpeg would complain of too few rows; the row loop's error is
        // the one to keep.
        jpeg_abort_decompress(&d.cinfo);
    } else if (!GuardedFinish(d)) {
        TraceError(d.err.message);
        ctx.Fail(kImgFileRead);
    }
    width = w;
    height = h;
    return image.Release();
}

bool ReadJpegInfo(CISIO &io, JpegInfo &info, OperationContext &ctx)
{
    OperationScope scope;
    DecoderHolder holder;
    if (!OpenDecoder(holder, io, 0, ctx))
        return false;
    const jpeg_decompress_struct &c = holder.d->cinfo;
    info.width = c.image_width;
    info.height = c.image_height;
    info.bits = 8 * static_cast<uint32_t>(c.output_components);
    info.xDensity = c.X_density;
    info.yDensity = c.Y_density;
    info.densityUnit = c.density_unit;
    info.colourSpace = static_cast<uint32_t>(c.jpeg_color_space);
    info.codingFlags = (c.progressive_mode ? 1u : 0u) | (c.arith_code ? 2u : 0u);
    return true;
}

BYTE *ReadJPG(HISSRC source, uint32_t *width, uint32_t *height, uint32_t depth, uint32_t flags)
{
    return RunReaderEntry(source, width, height, [&](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
        return ReadJpegImage(io, depth, flags, w, h, ctx);
    });
}
