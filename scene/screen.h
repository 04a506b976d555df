// The scene's pictures: the background of the day phase and season with its
// fixed overlays, the work area in which the animation runs, and the still
// picture of the small preview.
#pragma once

#include "base/common.h"
#include "services/notes.h"

#include <atomic>
#include <mutex>

constexpr int kSceneHeight = 348;
constexpr int kMaxDogTraces = 3;

struct DogTraceList {
    int count;
    POINT points[kMaxDogTraces];
};

extern HDC ScreenDC;
extern HDC BackgroundDC;
extern HBITMAP BackgroundBitmap;
extern HDC WorkDC;
extern HBITMAP WorkBitmap;
extern int BuiltTimeOfDay;
extern int BackgroundX, BackgroundY;
extern int BackgroundBottom;  // the picture's bottom edge in the window
extern int SceneX, SceneY, SceneW, SceneH;
extern int ClockX, ClockY;
extern int NoTramOverlay;
extern DogTraceList DogTraces;
extern HPALETTE BackgroundPalette;
// Set by every build so that the clocks draw once more; cleared by them.
extern std::atomic<uint32_t> ScreenCreated;
// The still picture of the small preview and where it stands.
extern HBITMAP ConfigPicture;
extern int ConfigPictureX, ConfigPictureY;

// BackgroundDC and WorkDC are drawn from the main thread (painting) and the
// animation thread; GDI refuses a DC that another thread is using, so every
// use of them holds this lock. Never hold it across a call that may wait for
// the other thread.
//
// The program's locks, in the only order a thread may take them: this one
// (the scene step runs under it), then the object table's (loading and
// unloading), then the scene key queue's or the log's. The last two are
// leaves: nothing is called while they are held.
std::mutex &SceneDCLock();

// Holds the scene DC lock for a scope and marks it as the calling thread's,
// so that what runs under it (a script or a click switching a light, a key
// opening a bubble) paints without taking it a second time: a hold on a
// thread that already has the lock takes nothing.
class SceneDCHold {
public:
    SceneDCHold();
    ~SceneDCHold();
    SceneDCHold(const SceneDCHold &) = delete;
    SceneDCHold &operator=(const SceneDCHold &) = delete;

private:
    bool taken_;
};
// Whether the calling thread holds the scene DC lock through a SceneDCHold.
bool SceneDCHeldHere();

int CreateScreen();
int CreateWorkBuffer(int width, int height);
void ShowConfigPicture(HWND window);
void SceneSetup();
// Frees the background, the work buffer and the still picture.
void FreeScreen();
// Where the message sign stands, for the note dialog to open beside it.
NoteSignPlace MessageSignPlace();
void FreeBackground();

// Where a picture of pw x ph lands in a window of w x h: centred when it is
// smaller, at 0 with its top cut when it is taller, at 0 and cut at the right
// when it is wider. bottom is the picture's bottom edge in the window.
void PlaceBackground(int windowW, int windowH, int pictureW, int pictureH, int *x, int *y, int *bottom);
