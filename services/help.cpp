#include "services/help.h"

#include "config/lngtext.h"
#include "core/notenames.h"
#include "config/config.h"

HtmlHelpFn HtmlHelpOverride = nullptr;

namespace {

constexpr UINT kHelpDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
constexpr UINT kHelpWmHelp = 0x0011;        // HH_TP_HELP_WM_HELP
constexpr int kGermanLanguage = 1;

struct TopicPage {
    int topic;
    const char *german;
    const char *english;
};

const char kGermanIndex[] = "::html/d/index.html>main";
const char kEnglishIndex[] = "::html/en/index.html>main";

const TopicPage kTopicPages[] = {
    {1, kGermanIndex, kEnglishIndex},
    {17, kGermanIndex, kEnglishIndex},
    {2, "::html/d/allgemein.html>main", "::html/en/allgemein.html>main"},
    {4, "::html/d/tagnacht.html>main", "::html/en/tagnacht.html>main"},
    {5, "::html/d/geschwindigkeit.html>main", "::html/en/geschwindigkeit.html>main"},
    {6, "::html/d/buskommt.html>main", "::html/en/buskommt.html>main"},
    {7, "::html/d/busbeschriftung.html>main", "::html/en/busbeschriftung.html>main"},
    {8, "::html/d/sbahnbeschriftung.html>main", "::html/en/sbahnbeschriftung.html>main"},
    {9, "::html/d/lkwbeschriftung.html>main", "::html/en/lkwbeschriftung.html>main"},
    {12, "::html/d/mitteilung.html>main", "::html/en/mitteilung.html>main"},
    {13, "::html/d/sound.html>main", "::html/en/sound.html>main"},
    {14, "::html/d/musik.html>main", "::html/en/musik.html>main"},
    {19, "::html/d/interaktion.html>main", "::html/en/interaktion.html>main"},
    {20, "::html/d/uhr.html>main", "::html/en/uhr.html>main"},
    {21, "::html/d/gehweg.html>main", "::html/en/gehweg.html>main"},
    {22, "::html/d/email.html>main", "::html/en/email.html>main"},
    {23, "::html/d/wetter.html>main", "::html/en/wetter.html>main"},
    {24, "::html/d/sprechblasen.html>main", "::html/en/sprechblasen.html>main"},
    {25, "::html/d/hausbeschriftung.html>main", "::html/en/hausbeschriftung.html>main"},
    {26, "::html/d/tarvo.html>main", kEnglishIndex},  // no English page
};

bool German() { return Language == kGermanLanguage; }

const DWORD *FindPopup(int control)
{
    for (size_t i = 0; i < kHelpPopupPairs; ++i)
        if (kHelpPopupTable[2 * i] == static_cast<DWORD>(control))
            return &kHelpPopupTable[2 * i];
    return nullptr;
}

HtmlHelpFn LoadHtmlHelp()
{
    if (HtmlHelpOverride)
        return HtmlHelpOverride;
    // Loaded once and kept: the help window lives on after this call.
    static HMODULE library = LoadLibraryA("hhctrl.ocx");
    if (!library)
        return nullptr;
    return reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void *>(GetProcAddress(library, "HtmlHelpA")));
}

// A notification header is no help request: only a HELPINFO says so by its size.
const HELPINFO *AsHelpRequest(const void *info)
{
    const HELPINFO *help = static_cast<const HELPINFO *>(info);
    if (!help || help->cbSize != sizeof(HELPINFO))
        return nullptr;
    return help;
}

}  // namespace

// Control id, pop-up id; the settings pages' controls, then the end.
const DWORD kHelpPopupTable[] = {
    2022, 107, 2024, 108, 2321, 109,
    2054, 140, 2060, 141, 2056, 142, 2057, 143, 2061, 144,
    1017, 120, 2154, 121, 2156, 122, 2155, 123, 2149, 124, 2150, 124, 2151, 124,
    2303, 310, 2299, 311, 2304, 312, 2300, 313, 2301, 314, 2307, 315, 2306, 316,
    1070, 301, 1004, 302, 1071, 303, 1006, 304,
    2035, 160, 2037, 161, 2039, 162, 2042, 163,
    2160, 130, 2161, 130, 2162, 130, 2163, 130,
    2164, 131, 2165, 131, 2166, 131, 2167, 131,
    2331, 330, 2332, 330, 2333, 330, 2334, 330, 2335, 331, 2336, 331, 2337, 331, 2338, 331,
    2348, 332, 2349, 332, 2350, 332, 2351, 332, 2368, 333, 2369, 333, 2370, 333, 2371, 333,
    2102, 170, 2105, 171, 2106, 172,
    2147, 175, 2145, 176, 2146, 177,
    2096, 180, 2099, 181, 2100, 182,
    1013, 250, 2084, 251, 2121, 252, 2122, 252, 2123, 252, 2124, 252, 2125, 252, 2126, 252, 2130, 252,
    2127, 254, 2118, 254, 2128, 257, 2119, 257, 2131, 257, 2129, 258, 2120, 258, 2132, 258,
    2075, 231, 2067, 232, 2069, 233, 2076, 234, 2077, 235, 2071, 236, 2080, 237, 2078, 238, 2074, 239,
    1014, 450,
    2273, 470, 2276, 471, 2277, 472, 2278, 473, 2279, 473, 2281, 474, 2282, 474, 2283, 474,
    2291, 475, 2292, 475, 2296, 476,
    1202, 480, 1204, 481, 1206, 482, 1208, 483, 1209, 484, 1210, 485, 1212, 486, 1213, 487,
    1048, 421, 1045, 422, 1111, 426, 1112, 427, 1113, 427, 2051, 428, 1050, 429, 2034, 430,
    0, 0,
};
const size_t kHelpPopupPairs = countof(kHelpPopupTable) / 2 - 1;

const char *HelpTopicPage(int topic, bool german)
{
    for (const TopicPage &page : kTopicPages)
        if (page.topic == topic)
            return german ? page.german : page.english;
    return german ? kGermanIndex : kEnglishIndex;
}

void HelpFilePath(char *out, size_t outSize)
{
    JoinFolderPath(HLPpath, German() ? "Wyn03d.chm" : "Wyn03e.chm", out, outSize);
}

HWND CallHtmlHelp(HWND caller, const char *file, UINT command, DWORD_PTR data)
{
    HtmlHelpFn htmlHelp = LoadHtmlHelp();
    return htmlHelp ? htmlHelp(caller, file, command, data) : nullptr;
}

void ShowHelp(HWND owner, const void *info, int topic)
{
    char address[kPathLen + 64];
    HelpFilePath(address, sizeof(address));
    HtmlHelpFn htmlHelp = LoadHtmlHelp();
    const HELPINFO *help = AsHelpRequest(info);
    if (help && help->iCtrlId > 0) {
        if (!FindPopup(help->iCtrlId) || !htmlHelp)
            return;
        StrAppend(address, German() ? "::/popups.txt" : "::/popups_en.txt");
        htmlHelp(static_cast<HWND>(help->hItemHandle), address, kHelpWmHelp,
                 reinterpret_cast<DWORD_PTR>(kHelpPopupTable));
        return;
    }
    StrAppend(address, HelpTopicPage(topic, German()));
    HWND shown = htmlHelp ? htmlHelp(GetDesktopWindow(), address, kHelpDisplayTopic, 0) : nullptr;
    if (!shown) {
        char text[kLngTextMax + 1];
        StrCopy(text, GetLngText("ERR", "NOHELPFOUND", "Hilfedatei nicht gefunden!"));
        MessageBoxA(owner, text, GetLngText("ERR", "ERR", "FEHLER!"), MB_OK | MB_ICONERROR);
    }
}
