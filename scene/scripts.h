// The table of scripts: every figure, vehicle and prop that has a script, as
// the script libraries define their rows. The scene finds a script here by
// its object id and nowhere else.
#pragma once

#include <span>

struct ObjectScript {
    int id;
    // One frame of the object on stage, on the thread that owns the scene.
    void (*step)();
    // Back to a clean start; null for a script that keeps nothing of its own.
    void (*reset)();
    // The display name: the section of the speech texts and the name in the
    // settings; "" for a prop.
    const char *name;
};

// Each script library's rows.
std::span<const ObjectScript> FigureScripts();   // figures/
std::span<const ObjectScript> VehicleScripts();  // vehicles/
std::span<const ObjectScript> PropScripts();     // features/

// Rows that tests put before the libraries' own: a stand-in for a script not
// written yet. An empty span takes them away again.
void SetTestScripts(std::span<const ObjectScript> rows);

// The script of object id, or null when it has none in this build.
const ObjectScript *FindScript(int id);
// The display name of object id; "" when it has none.
const char *FigurDisplayName(int id);
// Every script back to a clean start: once when the program starts, and by
// tests. What a script keeps (texts already shown, a figure's side) must
// outlive a rebuild of the scene at a change of day phase, so a rebuild never
// calls this.
void ResetScripts();
