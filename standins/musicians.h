// The musicians, until their script comes: their command (stop, next, show or
// close the title bubble) is never given.
#pragma once

extern int MusicCommand;
