// The user's picture lists for the bus, the S-Bahn and the lorry, until their own
// code comes: every list reads as empty.
#pragma once

int ReadBusPiclist();
int ReadSBahnPiclist();
int ReadLKWPiclist();
