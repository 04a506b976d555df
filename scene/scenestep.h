// One frame of the scene on the work buffer: a pending click on the exit
// sign, the bubble or the house fronts; the objects on stage ordered back to
// front by their foot lines; the avoidance orders that keep walkers and
// vehicles apart; every object's script; the open bubble last.
#pragma once

// Runs on the thread that owns the DrawList: the main thread while the first
// scene is built, the animation thread from then on.
void SceneStep();
// The script of one object (scene/scripts.h); objects without a script yet
// do nothing.
void RunScript(int id);
// Whether an object has a script that draws it. Objects without one would
// stand on stage unseen and never leave, so nothing brings them in.
bool HasScript(int id);
// LoadFigur for an object that has a script; logs and refuses one without.
int LoadScripted(int id, int startState);

// The street musicians' order from the music bubble and the keys: the playing
// musician (figures/musicians.h) carries it out and sets it back to 0.
enum MusicOrder {
    kMusicOrderNone = 0,
    kMusicOrderStop = 1,
    kMusicOrderNext = 2,
    kMusicOrderShowTitle = 100,
    kMusicOrderCloseTitle = 101,
};
extern int MusicCommand;

// Clicks on hot spot A, counted over the run.
extern int SpotClickCount;

// The parts of the scene step, each on its own for the checks.
// A pending left click on the exit sign, the bubble, a hot spot or the
// message sign; true when one of them took it.
bool HandleSceneClick();
// Keys from foot lines, empty pairs for objects that left, back-to-front order.
void RefreshAndSortDrawList();
// Avoidance orders for the walkers and vehicles in the DrawList.
void ComputeAvoidanceOrders();
// A click that no one takes is forgotten after about a second, so that it
// cannot act on whatever walks under its point much later.
void ExpireStaleClicks();
constexpr int kClickLifetimeFrames = 25;
