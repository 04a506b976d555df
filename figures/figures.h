// The street figures' scripts: one frame of each figure on stage, and the
// reset that gives a script a clean start. Their rows in the table of
// scripts are in figures/figurescripts.cpp.
#pragma once

void Figur002Script();
void Figur004Script();
void Figur006Script();
void Figur011Script();
void Figur017Script();
void Figur059Script();
void Figur061Script();
void Figur062Script();
void Figur063Script();
void Figur064Script();
void Figur065Script();
void Figur066Script();
void Figur067Script();
void Figur069Script();

void ResetFigur002();
void ResetFigur004();
void ResetFigur006();
void ResetFigur011();
void ResetFigur017();
void ResetFigur061();
// The residents 62 to 67 share one reset.
void ResetResidents();
// The door a resident or visitor is heading for (5: none, off to the right).
int ResidentTargetDoor(int id);
