// The mail count, until its own code comes: the logon succeeds and no mail is
// ever unread or new.
#pragma once

#include <atomic>

int MailLogon();
int CountUnread();
void MailLogoff();
// The unread count at logon and the new-mail flag.
extern int MailBaseline;
extern std::atomic<int> NewMail;
