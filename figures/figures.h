// The street figures' scripts: one frame of each figure on stage, and the
// reset that gives a script a clean start. Their rows in the table of
// scripts are in figures/figurescripts.cpp.
#pragma once

void Figur002Script();
void Figur004Script();
void Figur006Script();
void Figur011Script();
void Figur017Script();
void Figur022Script();
void Figur024Script();
void Figur025Script();
void Figur026Script();
void Figur027Script();
void Figur028Script();
void Figur029Script();
void Figur031Script();
void Figur032Script();

void ResetFigur002();
void ResetFigur004();
void ResetFigur006();
void ResetFigur011();
void ResetFigur017();
void ResetFigur025();
void ResetFigur029();
