// The speech-text file as the settings edit it: an INI file with a section
// per figure, "N" the number of texts (1 when missing) and "TEXT1" to
// "TEXTn". The settings read and write the first 50 of a figure; texts
// numbered above stay as they are.
#pragma once

#include "base/common.h"

constexpr int kMaxSpeechTexts = 50;
// The scene reads 255 characters of a text: a longer one would be cut there.
constexpr int kSpeechTextMax = 255;

struct SpeechTexts {
    int count;
    char text[kMaxSpeechTexts][kSpeechTextMax + 1];
};

// Blanks off both ends; and blanks, carriage returns and line feeds.
void TrimBlanks(char *text);
void TrimBlanksAndBreaks(char *text);

// The figure's texts in file order, trimmed of blanks and line breaks;
// missing and empty ones leave no gap. A missing file or section gives none.
void ReadSpeechTexts(const char *file, const char *section, SpeechTexts *out);

// Writes the texts trimmed of blanks as TEXT1.. with their number, drops the
// empty ones and the keys above up to 50; a figure without texts keeps no
// "N". False when the file could not be written.
bool WriteSpeechTexts(const char *file, const char *section, const SpeechTexts &texts);

// The progress of an import: 'I' for a text collected (count so far), 'S'
// for one written (its index from 0).
using ImportProgress = void (*)(void *context, char step, const char *section, int number);

// Merges the texts of importFile into those of speechFile, figure by figure
// for the sections of the language's table, and writes the whole result to
// resultFile: without replaceAll the present texts come first and an
// imported text equal to one collected (letter case and surrounding blanks
// aside) is dropped; at most 50 a figure. Every section of speechFile that
// the table does not name is carried over unchanged. False when the result
// could not be written.
bool MergeSpeechTexts(const char *speechFile, const char *importFile, const char *resultFile, bool replaceAll,
                      int language, ImportProgress progress, void *context);
