#include "standins/piclists.h"

int ReadBusPiclist() { return 0; }
int ReadSBahnPiclist() { return 0; }
int ReadLKWPiclist() { return 0; }
