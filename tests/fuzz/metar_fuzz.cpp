// libFuzzer target: the METAR parser on any text the reader could hand it.
#include "core/metar.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static char text[kMetarTextSize];
    if (size >= sizeof(text))
        return 0;
    memcpy(text, data, size);
    text[size] = '\0';
    WeatherReportData report = {};
    ParseMetarText(text, &report, nullptr);
    ParseMetarText(text, &report, [](const char *) {});
    return 0;
}
