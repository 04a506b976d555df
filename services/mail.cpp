#include "services/mail.h"

#include "base/debuglog.h"

int MailCheckOn = 0;
int MailBaseline = 0;
std::atomic<int> NewMail{0};
char MapiLibraryName[kPathLen] = "MAPI32.DLL";

namespace {

// Simple MAPI's message identifiers need this room.
constexpr size_t kMessageIdSize = 512;
constexpr uintptr_t kLowestModule = 32;  // lower "handles" are errors on old systems
constexpr int kMapiNoLibrary = 2;
constexpr int kMapiNoEntry = 4;

// Logon, count and logoff run on the main and animation threads in turn,
// never at once: the main thread logs on before the animation starts and
// logs off after it ended.
HMODULE gMapiLibrary = nullptr;
MapiEntries gMapi = {};
const MapiEntries *gTestEntries = nullptr;
LHANDLE gSession = 0;

const char *const kEntryNames[] = {"MAPILogon",     "MAPILogoff",     "MAPISendMail",   "MAPISendDocuments",
                                   "MAPIFindNext",  "MAPIReadMail",   "MAPISaveMail",   "MAPIDeleteMail",
                                   "MAPIFreeBuffer", "MAPIAddress",   "MAPIDetails",    "MAPIResolveName"};

void LibraryName(char *out, size_t outSize)
{
    DWORD len = GetEnvironmentVariableA("WYN_MAPI_LIBRARY", out, static_cast<DWORD>(outSize));
    if (len == 0 || len >= outSize)
        StrCopyN(out, outSize, MapiLibraryName);
}

}  // namespace

void UseMapiEntries(const MapiEntries *entries) { gTestEntries = entries; }

bool MapiLibraryLoaded() { return gMapiLibrary != nullptr; }

int LoadMAPI()
{
    if (gTestEntries) {
        gMapi = *gTestEntries;
        return 0;
    }
    char name[kPathLen];
    LibraryName(name, sizeof(name));
    gMapiLibrary = LoadLibraryA(name);
    if (reinterpret_cast<uintptr_t>(gMapiLibrary) < kLowestModule) {
        gMapiLibrary = nullptr;
        return kMapiNoLibrary;
    }
    FARPROC entries[countof(kEntryNames)];
    for (size_t i = 0; i < countof(kEntryNames); ++i) {
        entries[i] = GetProcAddress(gMapiLibrary, kEntryNames[i]);
        if (!entries[i]) {
            FreeMAPI();
            return kMapiNoEntry;
        }
    }
    static_assert(sizeof(MapiEntries) == sizeof(entries), "one pointer per entry");
    memcpy(&gMapi, entries, sizeof(gMapi));
    return 0;
}

void FreeMAPI()
{
    gMapi = {};
    if (gMapiLibrary)
        FreeLibrary(gMapiLibrary);
    gMapiLibrary = nullptr;
}

int MailLogon(HWND owner)
{
    if (LoadMAPI() != 0)
        return kMapiNoLibrary;
    // No profile, no password, no flags: the running mail session is used and
    // no logon dialog appears.
    ULONG rc = gMapi.Logon(reinterpret_cast<ULONG_PTR>(owner), nullptr, nullptr, 0, 0, &gSession);
    if (rc != SUCCESS_SUCCESS)
        FreeMAPI();
    return static_cast<int>(rc);
}

int CountUnread(HWND owner)
{
    if (!gMapi.FindNext)
        return 0;
    char seed[kMessageIdSize] = "";
    char found[kMessageIdSize] = "";
    int count = 0;
    // A provider that hands out the seed again, or never stops, ends the
    // count rather than the animation.
    while (count < kMaxUnreadCount) {
        found[0] = '\0';
        ULONG rc = gMapi.FindNext(gSession, reinterpret_cast<ULONG_PTR>(owner), nullptr, seed, MAPI_UNREAD_ONLY,
                                  0, found);
        if (rc != SUCCESS_SUCCESS || (count > 0 && strncmp(found, seed, sizeof(seed)) == 0))
            break;
        ++count;
        memcpy(seed, found, sizeof(seed));
        seed[sizeof(seed) - 1] = '\0';
    }
    return count;
}

void MailLogoff(HWND owner)
{
    if (gMapi.Logoff)
        gMapi.Logoff(gSession, reinterpret_cast<ULONG_PTR>(owner), 0, 0);
    gSession = 0;
    FreeMAPI();
}
