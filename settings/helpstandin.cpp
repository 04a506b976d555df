#include "settings/helpstandin.h"

#include "shell/config.h"
#include "base/lngtext.h"
#include "settings/helppopups.h"

#include <htmlhelp.h>

namespace {

struct TopicPage {
    int topic;
    const char *page;
    bool germanOnly;
};

const TopicPage kTopicPages[] = {
    {2, "allgemein", false},         {4, "tagnacht", false},          {5, "geschwindigkeit", false},
    {6, "buskommt", false},          {7, "busbeschriftung", false},   {8, "sbahnbeschriftung", false},
    {9, "lkwbeschriftung", false},   {12, "mitteilung", false},       {13, "sound", false},
    {14, "musik", false},            {19, "interaktion", false},      {20, "uhr", false},
    {21, "gehweg", false},           {22, "email", false},            {23, "wetter", false},
    {24, "sprechblasen", false},     {25, "hausbeschriftung", false}, {26, "tarvo", true},
};

const char *TopicPageName(int language, int topic)
{
    for (const TopicPage &t : kTopicPages) {
        if (t.topic == topic && (!t.germanOnly || language == 1))
            return t.page;
    }
    return "index";
}

void TellNoHelp(HWND owner)
{
    char text[256], caption[64];
    StrCopy(text, GetLngText("ERR", "NOHELPFOUND", "Hilfedatei nicht gefunden!"));
    StrCopy(caption, GetLngText("ERR", "ERR", "FEHLER!"));
    MessageBoxA(owner, text, caption, MB_ICONERROR);
}

}  // namespace

HWND CallHtmlHelp(HWND caller, const char *file, UINT command, DWORD_PTR data)
{
    using HtmlHelpFn = HWND(WINAPI *)(HWND, LPCSTR, UINT, DWORD_PTR);
    static HMODULE library = LoadLibraryA("hhctrl.ocx");
    HtmlHelpFn fn = library ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void *>(GetProcAddress(library, "HtmlHelpA")))
                            : nullptr;
    return fn ? fn(caller, file, command, data) : nullptr;
}

void HelpFilePath(int language, char *out, size_t outSize)
{
    size_t len = strlen(HLPpath);
    const char *sep = (len > 0 && HLPpath[len - 1] == '\\') ? "" : "\\";
    StrPrintfN(out, outSize, "%s%s%s", HLPpath, sep, language == 1 ? "Wyn03d.chm" : "Wyn03e.chm");
}

void HelpTopicPath(int language, int topic, char *out, size_t outSize)
{
    char file[kPathLen];
    HelpFilePath(language, file, sizeof(file));
    StrPrintfN(out, outSize, "%s::html/%s/%s.html>main", file, language == 1 ? "d" : "en",
               TopicPageName(language, topic));
}

void HelpPopupPath(int language, char *out, size_t outSize)
{
    char file[kPathLen];
    HelpFilePath(language, file, sizeof(file));
    StrPrintfN(out, outSize, "%s::/%s", file, language == 1 ? "popups.txt" : "popups_en.txt");
}

void ShowHelp(HWND owner, const void *request, int topic)
{
    const HELPINFO *info = static_cast<const HELPINFO *>(request);
    bool onControl = info && info->cbSize == sizeof(HELPINFO) && info->iContextType == HELPINFO_WINDOW;
    if (onControl && HelpPopupId(info->iCtrlId) == 0)
        return;
    char file[kPathLen];
    HelpFilePath(Language, file, sizeof(file));
    if (GetFileAttributesA(file) == INVALID_FILE_ATTRIBUTES) {
        TellNoHelp(owner);
        return;
    }
    char path[2 * kPathLen];
    if (onControl) {
        HelpPopupPath(Language, path, sizeof(path));
        CallHtmlHelp(static_cast<HWND>(info->hItemHandle), path, HH_TP_HELP_WM_HELP,
                     reinterpret_cast<DWORD_PTR>(kHelpPopups));
        return;
    }
    HelpTopicPath(Language, topic, path, sizeof(path));
    if (!CallHtmlHelp(GetDesktopWindow(), path, HH_DISPLAY_TOPIC, 0))
        TellNoHelp(owner);
}
