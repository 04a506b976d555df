// The mail check: unread messages counted through Simple MAPI, loaded at run
// time; more unread than at the start calls the new-mail figure.
#pragma once

#include "base/common.h"

#include <mapi.h>

#include <atomic>

// The unread count at logon and the new-mail flag.
// Set by the start-up when the settings and the profile allow the check.
extern int MailCheckOn;
extern int MailBaseline;
extern std::atomic<int> NewMail;

// The twelve entries the check insists on, though it calls only three.
struct MapiEntries {
    LPMAPILOGON Logon;
    LPMAPILOGOFF Logoff;
    FARPROC SendMail, SendDocuments;
    LPMAPIFINDNEXT FindNext;
    FARPROC ReadMail, SaveMail, DeleteMail, FreeBuffer, Address, Details, ResolveName;
};

// 0 loaded, 2 library missing, 4 an entry missing.
int LoadMAPI();
// The MAPI result of the logon (0 success), or 2 when the library cannot be loaded.
int MailLogon(HWND owner);
int CountUnread(HWND owner);
void MailLogoff(HWND owner);
void FreeMAPI();

// Seams for the tests: the library's name (also WYN_MAPI_LIBRARY), and an
// entry table of the test's own that LoadMAPI takes instead of the library.
extern char MapiLibraryName[kPathLen];
void UseMapiEntries(const MapiEntries *entries);
// Whether the library is loaded (a test checks that the check frees it).
bool MapiLibraryLoaded();
// More unread messages than this are not counted.
constexpr int kMaxUnreadCount = 10000;
