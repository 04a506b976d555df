// User-interface texts by section and key from "deutsch.lng" or "english.lng"
// in the HLPpath folder, with the caller's German text as the default.
#pragma once

// Returns the text, or the default when the file, the key or the value is
// missing or empty; never a null pointer ("" when the default is null too).
// "\n" in a text becomes CR LF. The result lives in a per-thread buffer that
// the next call on the same thread overwrites: copy it at once.
const char *GetLngText(const char *section, const char *key, const char *defaultText);

// Characters a text may have (the buffer holds one more for the terminator).
constexpr unsigned kLngTextMax = 3999;
