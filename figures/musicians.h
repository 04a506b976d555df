// The street musicians' order from the music bubble and the keys: the playing
// musician carries it out and sets it back to 0.
#pragma once

enum MusicOrder {
    kMusicOrderNone = 0,
    kMusicOrderStop = 1,
    kMusicOrderNext = 2,
    kMusicOrderShowTitle = 100,
    kMusicOrderCloseTitle = 101,
};

extern int MusicCommand;

// True while a musician plays and so takes an order on his next frame; an
// order given while none plays has nobody to carry it out.
bool MusicianPlaying();
