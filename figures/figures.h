// The street figures' scripts: one frame of each figure on stage, and the
// reset that gives a script a clean start. Their rows in the table of
// scripts are in figures/figurescripts.cpp.
#pragma once

void Figur001Script();
void Figur002Script();
void Figur003Script();
void Figur004Script();
void Figur005Script();
void Figur006Script();
void Figur007Script();
void Figur008Script();
void Figur009Script();
void Figur010Script();
void Figur011Script();
void Figur013Script();
void Figur017Script();
void Figur059Script();
void Figur061Script();
void Figur062Script();
void Figur063Script();
void Figur064Script();
void Figur065Script();
void Figur066Script();
void Figur067Script();
void Figur068Script();
void Figur069Script();
void Figur041Script();
void Figur042Script();
void Figur044Script();
void Figur046Script();
void Figur034Script();
void Figur035Script();
void Figur036Script();
void Figur037Script();
void Figur038Script();
void Figur039Script();
void Figur040Script();
void Figur043Script();
void Figur045Script();
void Figur047Script();
void Figur048Script();
void Figur049Script();
void Figur050Script();
void Figur018Script();
void Figur020Script();
void Figur023Script();
void Figur030Script();
void Figur051Script();
void Figur052Script();
void Figur054Script();
void Figur055Script();
void Figur058Script();
void Figur056Script();
void Figur057Script();
// The EXIT sign, drawn like a figure.
void Figur110Script();

void ResetFigur001();
void ResetFigur002();
void ResetFigur004();
void ResetFigur005();
void ResetFigur006();
void ResetFigur007();
void ResetFigur008();
void ResetFigur009();
void ResetFigur010();
void ResetFigur011();
void ResetFigur013();
void ResetFigur017();
void ResetFigur052();
void ResetFigur058();
void ResetFigur061();
// The residents 62 to 68 share one reset.
void ResetResidents();
// The door a resident or visitor is heading for (5: none, off to the right).
int ResidentTargetDoor(int id);
void ResetFigur041();
void ResetFigur042();
void ResetFigur044();
void ResetFigur046();
void ResetFigur035();
void ResetFigur036();
void ResetFigur040();
void ResetFigur045();
void ResetFigur048();
void ResetFigur050();
void ResetFigur018();
void ResetFigur110();
