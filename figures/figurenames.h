// The figures' display names by object id: the section of each figure in the
// speech-text file and its name in the settings. A figure with a script takes
// its script row's name; only four figures have a name of their own in English.
#pragma once

constexpr int kFigureNameIds = 69;   // object ids 0 to 68
constexpr int kSpeechFigures = 53;   // ids with a section of speech texts
constexpr int kSoundFigures = 25;    // ids that may have a sound file

// The display name of object id in German (language 1) or English (any
// other), or null when the id has no section of speech texts.
const char *FigureSectionName(int id, int language);

// The object ids with a section, and those that may have a sound file, in
// object-id order.
extern const int kSpeechFigureIds[kSpeechFigures];
extern const int kSoundFigureIds[kSoundFigures];
