// The birthday reminders, until their own code comes: the list loads nothing and
// no day is anyone's birthday.
#pragma once

void LoadGeburtstage();
// The number of reminders for today.
int HeuteGeburtstag();
