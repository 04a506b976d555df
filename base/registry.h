// Small registry helpers with the storage rules of the settings: DWORDs of four
// bytes, strings of at most 255 characters, number lists as comma-separated text.
// Readers leave their target untouched when a value is absent or malformed.
#pragma once

#include "base/common.h"
#include "core/numberlist.h"

constexpr size_t kRegStringMax = 255;

HKEY RegOpenUserKey(const char *subKey, REGSAM access = KEY_READ);
HKEY RegCreateUserKey(const char *subKey, LONG *status = nullptr);

// A REG_DWORD of exactly four bytes; anything else keeps *out.
bool RegReadDword(HKEY key, const char *name, int *out);
// A REG_SZ or REG_EXPAND_SZ of at most 255 characters (with or without its
// terminator), copied bounded into out[outSize]; anything else keeps out.
bool RegReadString(HKEY key, const char *name, char *out, size_t outSize);
// A string value parsed with ParseIntList into n numbers (missing ones 0).
bool RegReadList(HKEY key, const char *name, int *out, int n);

LONG RegWriteDword(HKEY key, const char *name, int value);
// A text of more than 255 characters is refused (ERROR_FILENAME_EXCED_RANGE)
// and the stored value kept.
LONG RegWriteString(HKEY key, const char *name, const char *text);
// "%d" followed by ",%d" for each further number.
LONG RegWriteList(HKEY key, const char *name, const int *values, int n);
