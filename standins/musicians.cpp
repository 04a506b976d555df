#include "standins/musicians.h"

int MusicCommand = 0;
