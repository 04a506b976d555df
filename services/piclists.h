// The user's picture lists for the bus, the S-Bahn and the lorry: one picture
// path a line in a text file each (BusPics, BahnPics, LKWPics). A list with
// entries means lettering is on for that vehicle. Read at start-up and by the
// settings; the lettering worker reads them while the scene runs.
#pragma once

#include "base/common.h"

constexpr int kMaxPiclistEntries = 500;
constexpr size_t kPiclistEntryLen = 260;

typedef char PiclistEntry[kPiclistEntryLen];

extern PiclistEntry BusPiclist[kMaxPiclistEntries];
extern PiclistEntry SBahnPiclist[kMaxPiclistEntries];
extern PiclistEntry LKWPiclist[kMaxPiclistEntries];
extern int BusPiclistCount;
extern int SBahnPiclistCount;
extern int LKWPiclistCount;

// Each reads its list file, keeps the entries and their count, and returns
// the count: 0 when the file is missing, locked or unreadable.
int ReadBusPiclist();
int ReadSBahnPiclist();
int ReadLKWPiclist();

// Each writes the list with CR LF line ends. The old file is replaced only
// once the new one is written whole; 0 when it could not be.
int SaveBusPiclist();
int SaveSBahnPiclist();
int SaveLKWPiclist();

// Removes entry i; the later entries move up. An index at or past the last
// entry only drops the last one; a negative index or an empty list changes
// nothing. 1 when an entry went.
int DelBusPiclistEntry(int i);
int DelSBahnPiclistEntry(int i);
int DelLKWPiclistEntry(int i);

// Puts entry at i (0 .. count) and moves the later ones down. 0, and nothing
// changes, when the list is full or i is out of range.
int InsBusPiclistEntry(int i, const char *entry);
int InsSBahnPiclistEntry(int i, const char *entry);
int InsLKWPiclistEntry(int i, const char *entry);
