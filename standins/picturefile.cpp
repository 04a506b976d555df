#include "standins/picturefile.h"

#include "base/gdiutil.h"
#include "imagelib.h"

HBITMAP LoadFromFile(const char *path, int)
{
    if (!path || !path[0])
        return nullptr;
    HISSRC source = OpenFileSource(path);
    if (!source)
        return nullptr;
    uint32_t width = 0, height = 0;
    BYTE *rgb = ReadBMP(source, &width, &height, 24, nullptr, 0);
    CloseSource(source);
    if (!rgb)
        return nullptr;
    HBITMAP bitmap = TrackBitmap(RGB2HBITMAP(rgb, width, height, nullptr, nullptr));
    GlobalFree(rgb);
    return bitmap;
}
