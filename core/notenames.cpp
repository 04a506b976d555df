#include "core/notenames.h"

#include <cstdio>
#include <cstring>

bool FormatNoteName(char kind, const NoteTime &time, char letter, char *out, size_t outSize)
{
    if (outSize == 0)
        return false;
    out[0] = '\0';
    if (letter < kFirstNoteLetter || letter > kLastNoteLetter)
        return false;
    int len = snprintf(out, outSize, "%c_%04d%02d%02d_%02d%02d%c.txt", kind, time.year, time.month, time.day,
                       time.hour, time.minute, letter);
    if (len < 0 || static_cast<size_t>(len) >= outSize) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool JoinFolderPath(const char *folder, const char *name, char *out, size_t outSize)
{
    if (outSize == 0)
        return false;
    size_t folderLen = strlen(folder);
    bool needSeparator = folderLen > 0 && folder[folderLen - 1] != '\\' && folder[folderLen - 1] != '/';
    int len = snprintf(out, outSize, "%s%s%s", folder, needSeparator ? "\\" : "", name);
    if (len < 0 || static_cast<size_t>(len) >= outSize) {
        out[0] = '\0';
        return false;
    }
    return true;
}

size_t NoteTextLength(const char *text)
{
    size_t len = strlen(text);
    while (len > 0 && static_cast<unsigned char>(text[len - 1]) <= ' ')
        --len;
    return len;
}

namespace {

bool IsTickerTrim(char c) { return c == '\r' || c == '\n' || c == '\t'; }

}  // namespace

bool AppendTickerLine(char *buf, size_t size, const char *line)
{
    size_t start = 0, end = strlen(line);
    while (start < end && IsTickerTrim(line[start]))
        ++start;
    while (end > start && IsTickerTrim(line[end - 1]))
        --end;
    size_t used = strlen(buf);
    if (used + (end - start) >= size)
        return false;
    memcpy(buf + used, line + start, end - start);
    buf[used + (end - start)] = '\0';
    return true;
}
