// The street musicians: the playing one carries out the order of the music
// bubble and the keys (MusicCommand) and sets it back to 0.
#pragma once

#include "scene/scenestep.h"  // MusicCommand, the order

// True while a musician plays and so takes an order on his next frame; an
// order given while none plays has nobody to carry it out.
bool MusicianPlaying();
