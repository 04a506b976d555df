// The test's own Simple MAPI, handed to the mail check through its entry
// table: a mailbox of `unread` messages "MSG0001" upward, every call logged.
#pragma once

#include "services/mail.h"

#include <string>
#include <vector>

namespace servicetest {

struct FakeMapi {
    int unread = 0;
    ULONG logonResult = SUCCESS_SUCCESS;
    bool sameIdForever = false;  // a provider that never moves on
    std::vector<std::string> calls;
};
extern FakeMapi gFakeMapi;
// The entry table with the fake's functions (the unused ones answer 26).
const MapiEntries &FakeMapiEntries();

}  // namespace servicetest
