#include "fakemapi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace servicetest {

FakeMapi gFakeMapi;

namespace {

constexpr LHANDLE kSession = 0x1234;

std::string Text(LPCSTR s) { return s ? "\"" + std::string(s) + "\"" : "null"; }

ULONG WINAPI Logon(ULONG_PTR ui, LPSTR profile, LPSTR password, FLAGS flags, ULONG, LPLHANDLE session)
{
    char line[256];
    snprintf(line, sizeof(line), "Logon %llx %s %s %lu", static_cast<unsigned long long>(ui), Text(profile).c_str(),
             Text(password).c_str(), flags);
    gFakeMapi.calls.push_back(line);
    *session = kSession;
    return gFakeMapi.logonResult;
}

ULONG WINAPI Logoff(LHANDLE session, ULONG_PTR, FLAGS, ULONG)
{
    gFakeMapi.calls.push_back("Logoff " + std::to_string(session));
    return SUCCESS_SUCCESS;
}

ULONG WINAPI FindNext(LHANDLE session, ULONG_PTR, LPSTR type, LPSTR seed, FLAGS flags, ULONG, LPSTR found)
{
    char line[600];
    snprintf(line, sizeof(line), "FindNext %llx %s %s %lx", static_cast<unsigned long long>(session),
             Text(type).c_str(), Text(seed).c_str(), flags);
    gFakeMapi.calls.push_back(line);
    if (gFakeMapi.sameIdForever) {
        memcpy(found, "MSG0001", 8);
        return SUCCESS_SUCCESS;
    }
    int next = (seed && seed[0]) ? atoi(seed + 3) + 1 : 1;
    if (next > gFakeMapi.unread)
        return MAPI_E_NO_MESSAGES;
    snprintf(found, 512, "MSG%04d", next);
    return SUCCESS_SUCCESS;
}

ULONG WINAPI NotSupported() { return MAPI_E_NOT_SUPPORTED; }

}  // namespace

const MapiEntries &FakeMapiEntries()
{
    // Through void *: the slots only need an address, never this signature.
    static const FARPROC unused = reinterpret_cast<FARPROC>(reinterpret_cast<void *>(NotSupported));
    static const MapiEntries entries = {Logon,  Logoff, unused, unused, FindNext, unused,
                                        unused, unused, unused, unused, unused,   unused};
    return entries;
}

}  // namespace servicetest
