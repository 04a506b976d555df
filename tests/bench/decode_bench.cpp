// Times the generic reader on files held in memory: best of several runs
// per file, in milliseconds. Built natively with giflib it also times
// giflib's own decode of each GIF (DGifSlurp and the colour-map expansion
// to RGB) in the same program, as the reference.
//
//   decode_bench RUNS FILE...     prints "FILE ours_ms [giflib_ms]" a line
#include "imagelib.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef WYN_BENCH_GIFLIB
#include <gif_lib.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

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
        const auto start = Clock::now();
        if (!work())
            return -1;
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (ms < best)
            best = ms;
    }
    return best;
}

bool OursOnce(const std::vector<uint8_t> &data)
{
    HISSRC src = OpenMemorySource(data.data(), static_cast<uint32_t>(data.size()));
    uint32_t w = 0;
    uint32_t h = 0;
    BYTE *rgb = ReadGeneric(src, &w, &h);
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

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: decode_bench RUNS FILE...\n");
        return 2;
    }
    const int runs = atoi(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const std::vector<uint8_t> data = Load(argv[i]);
        printf("%s %.2f", argv[i], BestMs(runs, [&] { return OursOnce(data); }));
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
