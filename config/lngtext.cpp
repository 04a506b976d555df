#include "config/lngtext.h"

#include "base/common.h"
#include "config/config.h"

namespace {

const char kGermanFile[] = "deutsch.lng";
const char kEnglishFile[] = "english.lng";

// One buffer per thread: the note editor's thread and the main thread both
// look texts up.
thread_local char tText[kLngTextMax + 1];

void LanguageFilePath(char *out, size_t outSize)
{
    const char *file = (Language == 1) ? kGermanFile : kEnglishFile;
    size_t len = strlen(HLPpath);
    const char *sep = (len > 0 && HLPpath[len - 1] == '\\') ? "" : "\\";
    StrPrintfN(out, outSize, "%s%s%s", HLPpath, sep, file);
}

// The two characters backslash and n stand for a line break; CR LF keeps the
// length of the text.
void ExpandLineBreaks(char *text)
{
    for (char *p = text; p[0] && p[1]; ++p) {
        if (p[0] == '\\' && p[1] == 'n') {
            p[0] = '\r';
            p[1] = '\n';
            ++p;
        }
    }
}

}  // namespace

const char *GetLngText(const char *section, const char *key, const char *defaultText)
{
    char path[kPathLen];
    LanguageFilePath(path, sizeof(path));
    const char *fallback = defaultText ? defaultText : "";
    DWORD n = GetPrivateProfileStringA(section, key, fallback, tText, sizeof(tText), path);
    if (n == 0)
        StrCopy(tText, fallback);
    ExpandLineBreaks(tText);
    return tText;
}
