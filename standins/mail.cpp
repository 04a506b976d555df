#include "standins/mail.h"

int MailLogon() { return 1; }
int CountUnread() { return 0; }
void MailLogoff() {}
int MailBaseline = 0;
std::atomic<int> NewMail{0};
