// The vanish effect (object 131): a puff that plays where a clicked figure
// disappears.
#pragma once

struct FigurRecord;

constexpr int kVanishEffect = 131;

// Starts the puff over the figure that is about to leave the stage.
void PlaceVanishEffect(const FigurRecord &figure);
void Figur131Script();
