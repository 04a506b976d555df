// The table of scene objects (ids 0..132), the DrawList of objects on stage,
// and the loaders that bring an object's pictures in on their own threads.
#pragma once

#include "base/common.h"
#include "services/sound.h"

#include <atomic>

constexpr int kObjectIdCount = 133;
constexpr int kMaxSheets = 4;
constexpr int kDrawListSize = 132;
constexpr int kFigurNameLen = 40;
constexpr int kSpeechTextLen = 256;
// Key a new pair carries until the scene step gives it the object's foot line.
constexpr int kNewPairKey = 2999;
constexpr int kFreePairKey = 65535;

// Id ranges of the object kinds.
constexpr int kLastPedestrian = 69;
constexpr int kBus = 70;
constexpr int kTram = 72;
constexpr int kMessageSign = 112;
constexpr int kLastFarLaneVehicle = 88;
constexpr int kLastVehicle = 105;
constexpr int kFirstAircraft = 120;
constexpr int kLastAircraft = 130;
constexpr int kLastUnloadable = 131;

struct FigurRecord {
    int32_t Id;
    char Name[kFigurNameLen];
    uint32_t Loaded;      // published last by the loader: read it with IsRecordLoaded
    uint32_t StartState;
    int32_t State;
    int32_t Frame;
    int32_t WaitCount;
    int32_t Tick;
    int32_t Gait;
    int32_t FrameSet;
    int32_t SoundCount;
    int32_t Speed;
    int32_t DriftCount;
    int32_t DriftStep;
    int32_t Pause;        // kept over unloading
    uint32_t MayReturn;   // kept over unloading
    uint32_t WantsBus;
    uint32_t RidesBus;
    int32_t Direction;
    int32_t FootLine;
    int32_t Spacing;
    int32_t FrameW, FrameH;
    int32_t LaneYMin, LaneYMax;
    int32_t AvoidOrder;
    int32_t ScriptVar;
    int32_t Avoids;
    int32_t X, Y;         // with SheetW and SheetH one rectangle {x, y, w, h}
    int32_t SheetW, SheetH;
    HBITMAP Sheets[kMaxSheets];
    HBITMAP Masks[kMaxSheets];
    char SpeechText[kSpeechTextLen];
    ObjectSound Sound;    // kept over unloading
};

struct DrawListEntry {
    int32_t Figur;  // object id; below 1 a free pair
    int32_t Key;    // depth: foot line
};

extern FigurRecord FigurTable[kObjectIdCount];
extern FigurRecord *FigurPointers[kObjectIdCount];
extern int FigurSheetCount[kObjectIdCount];
// Owned by whoever runs the scene step: the main thread while the scene is
// built at start-up, the animation thread from then on.
extern DrawListEntry DrawList[kDrawListSize];

extern std::atomic<int> PedestrianCount;
extern std::atomic<int> VehicleCountLeft;
extern std::atomic<int> VehicleCountRight;
extern std::atomic<int> AircraftCount;
extern std::atomic<uint32_t> LoaderBusy;
extern std::atomic<uint32_t> PlusLoaderBusy;
extern std::atomic<int> FailedFigur;
// Failed loads within the hour FailHour; written only under the table lock,
// by the unload that ends a failed load.
extern int LoadFailCount;
extern int FailHour;
extern int BirthdaysToday;

struct PlusLoadRequestBlock {
    FigurRecord *Record;
    int Slot;
    char Name[kFigurNameLen];
    uint32_t Generation;  // the load of the object the sheet belongs to
};
extern PlusLoadRequestBlock PlusLoadRequest;
// The one extra-sheet worker (DoLoadFigurPlus or the lettering worker).
extern HANDLE PlusLoaderThread;

// House-door globals and other start values of the figure scripts.
extern int Figur025HouseDoor;
extern int Figur028Home;
extern int Figur033HouseDoor1;
extern int Figur033HouseDoor2;
extern int ResidentDoor[kObjectIdCount];  // of 52 and 62..68
extern int WaitingGroupTurn;
extern int WaitingGroupCounters[2];

// Loaded, read the way a thread other than the loader must read it.
bool IsRecordLoaded(const FigurRecord &record);
// On stage: switched on and loaded.
bool IsOnStage(int id);
// Kept for the debug log's list of objects on stage.
bool IsObjectLoaded(int id);

int LoadFigur(int id, int startState);
int LoadFigurWait(int id, int startState);
int LoadFigurPlus(int id, int slot, const char *name);
// Starts worker on PlusLoadRequest for extra-sheet slot of object id (name:
// the picture the worker is to load, may be empty): refused while another
// extra sheet is being made, or when the object is not loaded or has no
// sheets; the slot is emptied before the worker starts.
enum class ExtraSheetStart { kRefused, kNoThread, kStarted };
ExtraSheetStart StartExtraSheetWorker(int id, int slot, const char *name, LPTHREAD_START_ROUTINE worker);
void UnloadFigur(int id);
void InitFigurTable();
// The settings read after the table was set up reach the records here.
void ApplySettingsToFigurTable();
// A debug log line listing the ids of the objects on stage: street figures
// 1..69 only (allObjects false) or every object 1..131.
void LogFiguresOnStage(bool allObjects);
void StartFigur();

// Moves the pairs of objects that came on stage since the last pass into the
// DrawList; an id already listed keeps its one pair. Only the thread that
// owns the DrawList calls it.
void AcceptNewDrawListEntries();

// The generation of an object's current load; an unload moves it on, so a
// worker can tell that the record it filled for has left meanwhile.
uint32_t ObjectGeneration(int id);
// Hands a worker's finished sheet and mask to the record's slot: mask first,
// then sheet. Returns false and deletes both when the object has left since
// the worker started.
bool PublishExtraSheet(FigurRecord *record, int slot, uint32_t generation, HBITMAP sheet, HBITMAP mask);
// Empties an extra-sheet slot and deletes what it held, on the thread that
// asks for the new picture, so that the request is never mistaken for the
// old one.
void ClearExtraSheet(FigurRecord *record, int slot);

// Waits for the loader threads that still run, serving sent messages; false
// when one did not end in time.
bool JoinLoaderThreads(DWORD timeoutMs);
