// Times the generic reader on files held in memory: best of several runs
// per file, in milliseconds (natively of thread CPU time). Built natively with giflib it also times
// giflib's own decode of each GIF (DGifSlurp and the colour-map expansion
// to RGB) in the same program, as the reference. FILE@LEVEL reads a Photo
// CD file at that level.
//
//   decode_bench RUNS FILE...     prints "FILE ours_ms [giflib_ms]" a line
//
// The Windows build also times metafile rendering against GDI alone
// (opening the file, playing it on a filled bitmap, reading the rows back)
// on an EMF and a WMF it draws into FOLDER:
//
//   decode_bench RUNS --metafiles FOLDER
#include "imagelib.h"
#include "threadclock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef WYN_BENCH_GIFLIB
#include <gif_lib.h>
#endif

namespace {


std::vector<uint8_t> Load(const char *path)
{
    std::vector<uint8_t> data;
    FILE *f = fopen(path, "rb");
    if (!f)
        return data;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    fclose(f);
    return data;
}

template <typename Work>
double BestMs(int runs, Work &&work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double start = BenchClockMs();
        if (!work())
            return -1;
        const double ms = BenchClockMs() - start;
        if (ms < best)
            best = ms;
    }
    return best;
}

bool OursOnce(const std::vector<uint8_t> &data, int pcdLevel)
{
    HISSRC src = OpenMemorySource(data.data(), static_cast<uint32_t>(data.size()));
    uint32_t w = 0;
    uint32_t h = 0;
    BYTE *rgb = pcdLevel > 0 ? ReadPCD(src, &w, &h, static_cast<uint32_t>(pcdLevel), 0) : ReadGeneric(src, &w, &h);
    CloseSource(src);
    if (!rgb)
        return false;
    GlobalFree(rgb);
    return true;
}

#ifdef WYN_BENCH_GIFLIB
struct Memory {
    const std::vector<uint8_t> *data;
    size_t at;
};

int ReadMemory(GifFileType *gif, GifByteType *out, int count)
{
    Memory *m = static_cast<Memory *>(gif->UserData);
    size_t n = std::min(static_cast<size_t>(count), m->data->size() - m->at);
    memcpy(out, m->data->data() + m->at, n);
    m->at += n;
    return static_cast<int>(n);
}

bool GiflibOnce(const std::vector<uint8_t> &data)
{
    Memory m{&data, 0};
    int error = 0;
    GifFileType *gif = DGifOpen(&m, ReadMemory, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        DGifCloseFile(gif, &error);
        return false;
    }
    const SavedImage &image = gif->SavedImages[0];
    const ColorMapObject *map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    const size_t pixels = static_cast<size_t>(image.ImageDesc.Width) * image.ImageDesc.Height;
    std::vector<uint8_t> rgb(pixels * 3);
    for (size_t i = 0; i < pixels; ++i) {
        const GifColorType &c = map->Colors[image.RasterBits[i] % map->ColorCount];
        rgb[3 * i] = c.Red;
        rgb[3 * i + 1] = c.Green;
        rgb[3 * i + 2] = c.Blue;
    }
    DGifCloseFile(gif, &error);
    return true;
}
#endif

#ifdef _WIN32
// A busy drawing: lines, filled ellipses and polygons and short texts in
// many colours, the records a clip-art metafile is made of.
constexpr int kMetafileShapes = 4000;
constexpr int kMetafileW = 1600;
constexpr int kMetafileH = 1200;

void DrawShapes(HDC dc)
{
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    };
    for (int i = 0; i < kMetafileShapes; ++i) {
        HBRUSH brush = CreateSolidBrush(RGB(next(256), next(256), next(256)));
        HPEN pen = CreatePen(PS_SOLID, 1 + next(3), RGB(next(256), next(256), next(256)));
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        const int x = next(kMetafileW), y = next(kMetafileH);
        switch (i % 4) {
        case 0:
            MoveToEx(dc, x, y, nullptr);
            LineTo(dc, next(kMetafileW), next(kMetafileH));
            break;
        case 1:
            Ellipse(dc, x, y, x + 10 + next(120), y + 10 + next(90));
            break;
        case 2: {
            POINT p[5];
            for (POINT &q : p)
                q = {x + next(160) - 80, y + next(160) - 80};
            Polygon(dc, p, 5);
            break;
        }
        default:
            TextOutA(dc, x, y, "Wendelby", 8);
            break;
        }
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(pen);
        DeleteObject(brush);
    }
}

bool WriteMetafiles(const std::string &emfPath, const std::string &wmfPath)
{
    HDC screen = GetDC(nullptr);
    // The frame in 0.01 mm for the picture's pixels on this screen.
    const int mmW = GetDeviceCaps(screen, HORZSIZE), mmH = GetDeviceCaps(screen, VERTSIZE);
    const int pxW = GetDeviceCaps(screen, HORZRES), pxH = GetDeviceCaps(screen, VERTRES);
    RECT frame = {0, 0, kMetafileW * mmW * 100 / pxW, kMetafileH * mmH * 100 / pxH};
    HDC emf = CreateEnhMetaFileA(screen, emfPath.c_str(), &frame, nullptr);
    ReleaseDC(nullptr, screen);
    HDC wmf = CreateMetaFileA(wmfPath.c_str());
    if (!emf || !wmf)
        return false;
    DrawShapes(emf);
    DrawShapes(wmf);
    const bool ok = CloseEnhMetaFile(emf) != nullptr;
    HMETAFILE plain = CloseMetaFile(wmf);
    if (plain)
        DeleteMetaFile(plain);
    return ok && plain;
}

bool MetafileOnce(const std::string &path, bool plain)
{
    uint32_t w = 0, h = 0;
    BYTE *rgb = ReadMetafile(path.c_str(), &w, &h, plain ? kMetafileW : 0, plain ? kMetafileH : 0, RGB(255, 255, 255),
                             plain ? 1 : 0);
    if (!rgb)
        return false;
    GlobalFree(rgb);
    return true;
}

// GDI alone: the file opened, played on a filled bitmap of the picture's
// size and read back as 24-bit rows.
bool GdiOnce(const std::string &path, bool plain)
{
    HENHMETAFILE emf = nullptr;
    if (plain) {
        HMETAFILE wmf = GetMetaFileA(path.c_str());
        if (!wmf)
            return false;
        const UINT bytes = GetMetaFileBitsEx(wmf, 0, nullptr);
        std::vector<BYTE> bits(bytes);
        GetMetaFileBitsEx(wmf, bytes, bits.data());
        DeleteMetaFile(wmf);
        METAFILEPICT pict = {MM_ANISOTROPIC, kMetafileW, kMetafileH, nullptr};
        emf = SetWinMetaFileBits(bytes, bits.data(), nullptr, &pict);
    } else {
        emf = GetEnhMetaFileA(path.c_str());
    }
    if (!emf)
        return false;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kMetafileW, kMetafileH);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT rect = {0, 0, kMetafileW, kMetafileH};
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    PlayEnhMetaFile(dc, emf, &rect);
    SelectObject(dc, old);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kMetafileW;
    info.bmiHeader.biHeight = -kMetafileH;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    std::vector<BYTE> rows(static_cast<size_t>((kMetafileW * 3 + 3) & ~3) * kMetafileH);
    const bool ok = GetDIBits(dc, bitmap, 0, kMetafileH, rows.data(), &info, DIB_RGB_COLORS) == kMetafileH;
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DeleteEnhMetaFile(emf);
    return ok;
}

int BenchMetafiles(int runs, const std::string &folder)
{
    const std::string emf = folder + "\\bench.emf", wmf = folder + "\\bench.wmf";
    if (!WriteMetafiles(emf, wmf)) {
        fprintf(stderr, "decode_bench: cannot write the metafiles\n");
        return 1;
    }
    for (bool plain : {false, true}) {
        const std::string &path = plain ? wmf : emf;
        printf("%s %.2f %.2f\n", plain ? "bench.wmf" : "bench.emf", BestMs(runs, [&] { return MetafileOnce(path, plain); }),
               BestMs(runs, [&] { return GdiOnce(path, plain); }));
    }
    return 0;
}
#endif

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: decode_bench RUNS FILE...\n");
        return 2;
    }
    const int runs = atoi(argv[1]);
#ifdef _WIN32
    if (argc == 4 && strcmp(argv[2], "--metafiles") == 0)
        return BenchMetafiles(runs, argv[3]);
#endif
    for (int i = 2; i < argc; ++i) {
        std::string path = argv[i];
        int pcdLevel = 0;
        const size_t at = path.rfind('@');
        if (at != std::string::npos) {
            pcdLevel = atoi(path.c_str() + at + 1);
            path.resize(at);
        }
        const std::vector<uint8_t> data = Load(path.c_str());
        printf("%s %.2f", argv[i], BestMs(runs, [&] { return OursOnce(data, pcdLevel); }));
#ifdef WYN_BENCH_GIFLIB
        const size_t length = strlen(argv[i]);
        if (length > 4 && strcmp(argv[i] + length - 4, ".gif") == 0)
            printf(" %.2f", BestMs(runs, [&] { return GiflibOnce(data); }));
#endif
        printf("\n");
        fflush(stdout);
    }
    return 0;
}
