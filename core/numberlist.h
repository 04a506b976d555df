// Lists of numbers as the settings store them: "8, 20;12 3".
#pragma once

// Reads up to n integers from a list such as "8, 20;12 3"; the outputs are
// zeroed first. Returns how many were read.
int ParseIntList(const char *text, int *out, int n);
