#include "settings/speechtexts.h"

#include "figures/figurenames.h"

#include <algorithm>

namespace {

constexpr size_t kKeyLen = 16;
// A text read with this default was there but empty: nothing is collected.
constexpr char kBlank[] = " ";
// The section list of a file: every name, each ended by a zero.
constexpr DWORD kSectionListLen = 65536;

bool IsBlank(char c) { return c == ' '; }

bool IsBlankOrBreak(char c) { return c == ' ' || c == '\r' || c == '\n'; }

template <typename Pred>
void Trim(char *text, Pred strip)
{
    size_t len = strlen(text);
    while (len > 0 && strip(text[len - 1]))
        --len;
    text[len] = '\0';
    size_t start = 0;
    while (start < len && strip(text[start]))
        ++start;
    if (start > 0)
        memmove(text, text + start, len - start + 1);
}

void TextKey(int number, char *out, size_t outSize) { StrPrintfN(out, outSize, "TEXT%d", number); }

// "N" of a section: 1 when missing, none when negative, at most 50.
int TextCount(const char *file, const char *section)
{
    int count = static_cast<int>(GetPrivateProfileIntA(section, "N", 1, file));
    return std::clamp(count, 0, kMaxSpeechTexts);
}

// Appends the section's texts trimmed by trim; skipDuplicates drops a text
// equal to one collected. Stops at 50 texts.
template <typename TrimFn>
void Collect(const char *file, const char *section, SpeechTexts *into, bool skipDuplicates, TrimFn trim,
             ImportProgress progress, void *context)
{
    int count = TextCount(file, section);
    for (int k = 1; k <= count && into->count < kMaxSpeechTexts; ++k) {
        char key[kKeyLen];
        TextKey(k, key, sizeof(key));
        char text[kSpeechTextMax + 1];
        GetPrivateProfileStringA(section, key, kBlank, text, sizeof(text), file);
        trim(text);
        if (text[0] == '\0')
            continue;
        if (skipDuplicates &&
            std::any_of(into->text, into->text + into->count,
                        [&](const char *have) { return lstrcmpiA(have, text) == 0; }))
            continue;
        StrCopy(into->text[into->count++], text);
        if (progress)
            progress(context, 'I', section, into->count);
    }
}

// Whether name is a section the table of the language holds.
bool InTable(const char *name, int language)
{
    for (int id : kSpeechFigureIds)
        if (lstrcmpiA(FigureSectionName(id, language), name) == 0)
            return true;
    return false;
}

// Copies the sections of from that the table does not name into to, key by
// key, so that the other language's texts and sections the table does not
// know survive an import.
bool CarryOtherSections(const char *from, const char *to, int language)
{
    static char sections[kSectionListLen];
    static char keys[kSectionListLen];
    DWORD got = GetPrivateProfileSectionNamesA(sections, sizeof(sections), from);
    for (const char *name = sections; got > 0 && *name; name += strlen(name) + 1) {
        if (InTable(name, language))
            continue;
        DWORD len = GetPrivateProfileSectionA(name, keys, sizeof(keys), from);
        if (len > 0 && !WritePrivateProfileSectionA(name, keys, to))
            return false;
    }
    return true;
}

}  // namespace

void TrimBlanks(char *text) { Trim(text, IsBlank); }

void TrimBlanksAndBreaks(char *text) { Trim(text, IsBlankOrBreak); }

void ReadSpeechTexts(const char *file, const char *section, SpeechTexts *out)
{
    out->count = 0;
    Collect(file, section, out, false, TrimBlanksAndBreaks, nullptr, nullptr);
}

bool WriteSpeechTexts(const char *file, const char *section, const SpeechTexts &texts)
{
    bool ok = WritePrivateProfileStringA(section, "N", nullptr, file) != 0;
    int written = 0;
    for (int i = 0; i < texts.count; ++i) {
        char text[kSpeechTextMax + 1];
        StrCopy(text, texts.text[i]);
        TrimBlanks(text);
        if (text[0] == '\0')
            continue;
        char key[kKeyLen];
        TextKey(++written, key, sizeof(key));
        ok = WritePrivateProfileStringA(section, key, text, file) && ok;
    }
    if (written > 0) {
        char number[kKeyLen];
        StrPrintfN(number, sizeof(number), "%d", written);
        ok = WritePrivateProfileStringA(section, "N", number, file) && ok;
    }
    for (int k = written + 1; k <= kMaxSpeechTexts; ++k) {
        char key[kKeyLen];
        TextKey(k, key, sizeof(key));
        WritePrivateProfileStringA(section, key, nullptr, file);
    }
    return ok;
}

bool MergeSpeechTexts(const char *speechFile, const char *importFile, const char *resultFile, bool replaceAll,
                      int language, ImportProgress progress, void *context)
{
    if (!CarryOtherSections(speechFile, resultFile, language))
        return false;
    static SpeechTexts collected;
    for (int id : kSpeechFigureIds) {
        const char *section = FigureSectionName(id, language);
        collected.count = 0;
        if (!replaceAll)
            Collect(speechFile, section, &collected, false, TrimBlanks, nullptr, nullptr);
        Collect(importFile, section, &collected, !replaceAll, TrimBlanks, progress, context);
        if (collected.count == 0)
            continue;
        char key[kKeyLen];
        for (int i = 0; i < collected.count; ++i) {
            TextKey(i + 1, key, sizeof(key));
            if (!WritePrivateProfileStringA(section, key, collected.text[i], resultFile))
                return false;
            if (progress)
                progress(context, 'S', section, i);
        }
        StrPrintfN(key, sizeof(key), "%d", collected.count);
        if (!WritePrivateProfileStringA(section, "N", key, resultFile))
            return false;
    }
    return true;
}
