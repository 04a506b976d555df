// Feeds seeded mutations of GDI-made metafiles (an EMF, a plain WMF and a
// placeable WMF, all drawn here) through ReadMetafile, one temp file each,
// and counts the outcomes. scripts/fuzz-metafiles runs it under Wine.
//
//   metafile_mutate.exe FOLDER ROUNDS [SEED [KINDS]]
//
// KINDS picks the seeds by letter: e (EMF), w (plain WMF), p (placeable
// WMF); all three by default. The file of the mutation being read stays in
// FOLDER, so a crash leaves its input behind.
#include "imagelib.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FileBytes(const std::string &path)
{
    Bytes out;
    if (FILE *f = fopen(path.c_str(), "rb")) {
        uint8_t chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0)
            out.insert(out.end(), chunk, chunk + n);
        fclose(f);
    }
    return out;
}

bool Store(const std::string &path, const Bytes &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

// Lines, shapes, text and a fill: a busy picture gives GDI many records.
void Draw(HDC dc)
{
    HBRUSH red = CreateSolidBrush(RGB(200, 30, 30));
    HPEN blue = CreatePen(PS_SOLID, 3, RGB(20, 40, 220));
    HGDIOBJ oldBrush = SelectObject(dc, red);
    HGDIOBJ oldPen = SelectObject(dc, blue);
    Rectangle(dc, 5, 5, 60, 40);
    Ellipse(dc, 30, 20, 90, 70);
    const POINT points[] = {{10, 80}, {40, 50}, {70, 95}, {95, 60}};
    Polygon(dc, points, 4);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 99, 99);
    TextOutA(dc, 8, 60, "Wendelby", 8);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(red);
    DeleteObject(blue);
}

std::vector<Bytes> Seeds(const std::string &folder)
{
    std::vector<Bytes> seeds;
    const std::string emfPath = folder + "\\seed.emf";
    HDC screen = GetDC(nullptr);
    const RECT frame = {0, 0, 2600, 2600};
    HDC dc = CreateEnhMetaFileA(screen, emfPath.c_str(), &frame, nullptr);
    Draw(dc);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    ReleaseDC(nullptr, screen);
    seeds.push_back(FileBytes(emfPath));

    HDC wdc = CreateMetaFileA(nullptr);
    SetWindowExtEx(wdc, 100, 100, nullptr);
    Draw(wdc);
    HMETAFILE wmf = CloseMetaFile(wdc);
    Bytes bits(GetMetaFileBitsEx(wmf, 0, nullptr));
    GetMetaFileBitsEx(wmf, static_cast<UINT>(bits.size()), bits.data());
    DeleteMetaFile(wmf);
    seeds.push_back(bits);

    Bytes placeable(22 + bits.size(), 0);
    const uint8_t head[16] = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 100, 0, 100, 0, 96, 0};
    memcpy(placeable.data(), head, sizeof(head));
    memcpy(placeable.data() + 22, bits.data(), bits.size());
    seeds.push_back(placeable);
    return seeds;
}

Bytes Mutate(const Bytes &seed, std::mt19937 &random)
{
    Bytes m = seed;
    const int edits = 1 + random() % 8;
    for (int i = 0; i < edits && !m.empty(); ++i) {
        const size_t at = random() % m.size();
        switch (random() % 6) {
        case 0: m[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
        case 1: m[at] = static_cast<uint8_t>(random()); break;
        case 2: m.resize(at); break;
        case 3: m.insert(m.begin() + at, static_cast<uint8_t>(random())); break;
        case 4: {
            // A field set to an extreme value.
            static const uint32_t kValues[] = {0, 1, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
            const uint32_t v = kValues[random() % 8];
            for (size_t k = 0; k < 4 && at + k < m.size(); ++k)
                m[at + k] = static_cast<uint8_t>(v >> (8 * k));
            break;
        }
        default: m.erase(m.begin() + at); break;
        }
    }
    return m;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: metafile_mutate FOLDER ROUNDS [SEED]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int rounds = atoi(argv[2]);
    std::mt19937 random(argc > 3 ? static_cast<uint32_t>(atoi(argv[3])) : 18u);
    const std::vector<Bytes> all = Seeds(folder);
    static const char *kAllNames[] = {"\\m.emf", "\\m.wmf", "\\p.wmf"};
    const std::string kinds = argc > 4 ? argv[4] : "ewp";
    std::vector<Bytes> seeds;
    std::vector<const char *> names;
    for (size_t k = 0; k < all.size(); ++k)
        if (kinds.find("ewp"[k]) != std::string::npos) {
            seeds.push_back(all[k]);
            names.push_back(kAllNames[k]);
        }
    if (seeds.empty())
        return 2;
    std::map<int32_t, int> outcomes;
    const DWORD start = GetTickCount();
    for (int i = 0; i < rounds; ++i) {
        const size_t which = i % seeds.size();
        const std::string path = folder + names[which];
        if (!Store(path, Mutate(seeds[which], random)))
            return 1;
        uint32_t w = 0;
        uint32_t h = 0;
        BYTE *image = ReadMetafile(path.c_str(), &w, &h, 64, 64, RGB(255, 255, 255), i % 3 == 0 ? 2 : 0);
        ++outcomes[GetLastImageError()];
        if (image)
            GlobalFree(image);
        if ((i + 1) % 50 == 0) {
            printf("%d done\n", i + 1);
            fflush(stdout);
        }
    }
    printf("%d mutations in %lu ms; outcomes:", rounds, static_cast<unsigned long>(GetTickCount() - start));
    for (const auto &o : outcomes)
        printf(" %d:%d", o.first, o.second);
    printf("\n");
    return 0;
}
