#include "services/birthdays.h"

int GeburtstagCount = 0;
