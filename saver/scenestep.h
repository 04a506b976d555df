// One frame of the scene on the work buffer: the objects on stage, back to
// front, each drawn by its own script.
#pragma once

// Refreshes and sorts the DrawList and calls the script of every object on
// stage. Runs on the thread that owns the DrawList.
void SceneStep();
// The script of one object; objects without a script yet do nothing.
void CallFigurScript(int id);
// Whether an object has a script that draws it; keys do not call objects
// that would stand on stage unseen.
bool FigurScriptExists(int id);
