#include "birthdays.h"

int GeburtstagCount = 0;
