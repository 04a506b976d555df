// The scripts of the street figures that exist so far, and the dispatch the
// scene step uses for them.
#pragma once

// Whether figure id has a script here.
bool FiguresHaveScript(int id);
// Calls figure id's script; nothing for an id without one.
void CallFigureScript(int id);

// The display name of a figure: its speech texts' section and its name in
// the settings. Empty for an id without a figure.
const char *FigurDisplayName(int id);

void Figur002Script();
void Figur004Script();
void Figur006Script();
void Figur011Script();
void Figur017Script();
