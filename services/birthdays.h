// The user's list of birthdays and anniversaries.
#pragma once

// Records in the list; cleared whenever the settings are read again.
extern int GeburtstagCount;
