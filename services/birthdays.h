// The user's list of birthdays and anniversaries: the list file (TarvoDat),
// read and written for the settings page, and today's reminder texts for the
// birthday figure.
#pragma once

#include "base/common.h"
#include "core/birthdayrecords.h"

constexpr int kMaxGeburtstage = 500;
constexpr int kMaxBirthdayTexts = 24;

// The list as the settings page edits it; cleared whenever the settings are
// read again.
extern GeburtstagRecord Geburtstage[kMaxGeburtstage];
extern int GeburtstagCount;
// Today's reminder texts (their count is BirthdaysToday).
extern char BirthdayTexts[kMaxBirthdayTexts][kGeburtstagTextSize];

void LoadGeburtstage();
// Sorts the list (by name when TarvoName is on, else by date) and writes
// the named records; false, after the SAVEGTAG message on owner, when the
// file cannot be written.
bool SaveGeburtstage(HWND owner);
// Collects today's reminder texts straight from the file; returns their number.
int HeuteGeburtstag();
