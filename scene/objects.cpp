#include "scene/objects.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "core/random.h"
#include "imagelib.h"
#include "services/calendar.h"
#include "scene/scenestep.h"
#include "scene/screen.h"
#include "services/sound.h"
#include "config/config.h"
#include "base/saverstate.h"
#include "services/birthdays.h"
#include "services/lettering.h"
#include "scene/hooks.h"

#include <atomic>
#include <mutex>

FigurRecord FigurTable[kObjectIdCount];
FigurRecord *FigurPointers[kObjectIdCount];
int FigurSheetCount[kObjectIdCount];
DrawListEntry DrawList[kDrawListSize];

std::atomic<int> PedestrianCount{0};
std::atomic<int> VehicleCountLeft{0};
std::atomic<int> VehicleCountRight{0};
std::atomic<int> AircraftCount{0};
std::atomic<uint32_t> LoaderBusy{0};
std::atomic<uint32_t> PlusLoaderBusy{0};
std::atomic<int> FailedFigur{0};
int LoadFailCount = 0;
int FailHour = 0;
int BirthdaysToday = 0;
PlusLoadRequestBlock PlusLoadRequest;
HANDLE PlusLoaderThread = nullptr;

int Figur025HouseDoor = 0;
int Figur028Home = 0;
int Figur033HouseDoor1 = 0;
int Figur033HouseDoor2 = 0;
int ResidentDoor[kObjectIdCount];
int WaitingGroupTurn = 0;
int WaitingGroupCounters[2];

namespace {

constexpr DWORD kSheetPause = 8;
constexpr DWORD kExtraSheetPause = 5;
constexpr DWORD kWaitPoll = 40;
constexpr int kWaitPolls = 100;
constexpr int kWaitAttempts = 3;
// How long a new extra-sheet request waits for the previous worker's thread.
constexpr DWORD kPreviousWorkerWaitMs = 1000;
constexpr int kFailuresPerHour = 8;

// Guards publishing a load into a record against unloading it, and the hand-
// over of new DrawList pairs. Taken after the scene lock (scripts unload
// under it), never before it; see SceneDCLock for the whole order.
std::mutex gTableLock;
std::atomic<uint32_t> gGeneration[kObjectIdCount];

// Objects that came on stage and wait for their DrawList pair.
int gNewPairs[kObjectIdCount];
int gNewPairCount = 0;

HANDLE gLoaderThread = nullptr;
struct LoadJob {
    FigurRecord *record;
    uint32_t generation;
};
LoadJob gLoadJob;

// Default sheet counts: switched off (no pictures) and the objects with more
// than one sheet; every other id has one.
constexpr int kNoSheets[] = {0, 12, 14, 15, 16, 19, 21, 53, 106, 107, 108, 109, 117, 120, 121, 123, 128, 129, 130, 132};
constexpr int kTwoSheets[] = {1, 8, 17, 29, 48, 50, 63, 66, 119};
constexpr int kThreeSheets[] = {58, 116};

int DefaultSheetCount(int id)
{
    for (int n : kNoSheets)
        if (n == id)
            return 0;
    for (int n : kTwoSheets)
        if (n == id)
            return 2;
    for (int n : kThreeSheets)
        if (n == id)
            return 3;
    return 1;
}

void DeleteSheets(HBITMAP *sheets, HBITMAP *masks)
{
    for (int k = 0; k < kMaxSheets; ++k) {
        DeleteTrackedBitmap(&masks[k]);
        DeleteTrackedBitmap(&sheets[k]);
    }
}

void StoreHandle(HBITMAP *slot, HBITMAP value)
{
    std::atomic_ref<HBITMAP>(*slot).store(value, std::memory_order_release);
}

void QueueNewPair(int id)
{
    if (gNewPairCount < kObjectIdCount)
        gNewPairs[gNewPairCount++] = id;
}

void RaiseCounter(std::atomic<int> &counter) { ++counter; }

void LowerCounter(std::atomic<int> &counter)
{
    int value = counter.load();
    while (value > 0 && !counter.compare_exchange_weak(value, value - 1)) {
    }
}

void LowerCountersFor(int id)
{
    if (id < kBus)
        LowerCounter(PedestrianCount);
    else if (id <= kLastFarLaneVehicle)
        LowerCounter(VehicleCountLeft);
    else if (id <= kLastVehicle)
        LowerCounter(VehicleCountRight);
    else if (id >= kFirstAircraft && id <= kLastAircraft)
        AircraftCount = 0;
}

void UnloadRecord(int id, bool loadFailed);

// Ends a load that failed or was cut short: what it made is deleted, and the
// record goes the way every unloaded record goes.
void AbandonLoad(int id, HBITMAP *sheets, HBITMAP *masks, bool failed)
{
    DeleteSheets(sheets, masks);
    if (failed)
        FailedFigur = id;
    UnloadRecord(id, failed);
}

void EndLoaderThread()
{
    WriteLog("DoLoadFigur() - EXIT");
    ReleaseThreadState();
    LoaderBusy = 0;
}

DWORD WINAPI DoLoadFigur(LPVOID param)
{
    auto *job = static_cast<LoadJob *>(param);
    WriteLog("DoLoadFigur() - START");
    // The library's abort answer is kept per thread: a long picture
    // operation here stops too once the saver ends.
    SetProgressCallback(ImageAbortCallback, 0);
    FailedFigur = 0;
    FigurRecord *record = job ? job->record : nullptr;
    if (!record || record->Id < 1 || record->Id >= kObjectIdCount) {
        EndLoaderThread();
        return 0;
    }
    const int id = record->Id;
    const uint32_t generation = job->generation;
    const int count = FigurSheetCount[id] < kMaxSheets ? FigurSheetCount[id] : kMaxSheets;
    HBITMAP sheets[kMaxSheets] = {};
    HBITMAP masks[kMaxSheets] = {};
    // The pictures are made in locals and handed to the record in one step at
    // the end, so that an unload meanwhile never finds half a load.
    for (int k = 0; k < count; ++k) {
        if (EndFlag) {
            AbandonLoad(id, sheets, masks, false);
            EndLoaderThread();
            return 0;
        }
        Sleep(kSheetPause);
        char name[32];
        StrPrintfN(name, sizeof(name), "FIG%03d_%02d_%02d", id, TimeOfDay, k);
        sheets[k] = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
        if (!sheets[k]) {
            WriteLog("+++ LoadResourceBitmap(\"%s\") - nicht gefunden!", name);
            AbandonLoad(id, sheets, masks, true);
            EndLoaderThread();
            return 0;
        }
    }
    for (int k = 0; k < count; ++k) {
        if (EndFlag) {
            AbandonLoad(id, sheets, masks, false);
            EndLoaderThread();
            return 0;
        }
        Sleep(kSheetPause);
        masks[k] = CreateMask(sheets[k]);
        if (!masks[k]) {
            WriteLog("+++ CreateMask() - Zu wenig Speicher!");
            LogMemoryStatus();
            AbandonLoad(id, sheets, masks, true);
            EndLoaderThread();
            return 0;
        }
        if (!MakeTransparentBitmap(sheets[k], masks[k], kKeyColour)) {
            WriteLog("+++ MakeTransparentBitmap() - Zu wenig Speicher!");
            LogMemoryStatus();
            AbandonLoad(id, sheets, masks, true);
            EndLoaderThread();
            return 0;
        }
    }
    SceneRect size = {0, 0, 0, 0};
    if (!GetBitmapSize(sheets[0], &size)) {
        AbandonLoad(id, sheets, masks, false);
        EndLoaderThread();
        return 0;
    }
    bool published = false;
    {
        std::lock_guard<std::mutex> hold(gTableLock);
        if (gGeneration[id].load() == generation && record->Id == id) {
            for (int k = 0; k < kMaxSheets; ++k) {
                StoreHandle(&record->Masks[k], masks[k]);
                StoreHandle(&record->Sheets[k], sheets[k]);
            }
            record->SheetW = size.w;
            record->SheetH = size.h;
            if (id < kBus)
                RaiseCounter(PedestrianCount);
            QueueNewPair(id);
            std::atomic_ref<int32_t>(record->State).store(static_cast<int32_t>(record->StartState));
            std::atomic_ref<uint32_t>(record->Loaded).store(1, std::memory_order_release);
            published = true;
        }
    }
    if (published) {
        WriteLog("Figur %3d GELADEN   (F%03d <-%d ->%d)", id, PedestrianCount.load(), VehicleCountLeft.load(),
                 VehicleCountRight.load());
    } else {
        // The object was unloaded while its pictures were made.
        DeleteSheets(sheets, masks);
    }
    EndLoaderThread();
    return 0;
}

void EndPlusLoaderThread()
{
    WriteLog("DoLoadFigurPlus() - EXIT");
    ReleaseThreadState();
    PlusLoaderBusy = 0;
}

DWORD WINAPI DoLoadFigurPlus(LPVOID param)
{
    auto *request = static_cast<PlusLoadRequestBlock *>(param);
    WriteLog("DoLoadFigurPlus() - START");
    SetProgressCallback(ImageAbortCallback, 0);
    if (!request || !request->Record) {
        EndPlusLoaderThread();
        return 0;
    }
    char name[kFigurNameLen];
    StrCopy(name, request->Name);
    HBITMAP sheet = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
    HBITMAP mask = nullptr;
    bool ok = false;
    if (!sheet) {
        WriteLog("LoadResourceBitmap(\"%s\") - nicht gefunden!", name);
    } else {
        Sleep(kExtraSheetPause);
        mask = CreateMask(sheet);
        if (!mask) {
            WriteLog("CreateMask() - Zu wenig Speicher!");
            LogMemoryStatus();
        } else if (!MakeTransparentBitmap(sheet, mask, kKeyColour)) {
            WriteLog("MakeTransparentBitmap() - Zu wenig Speicher!");
            LogMemoryStatus();
        } else {
            ok = true;
        }
    }
    if (ok) {
        PublishExtraSheet(request->Record, request->Slot, request->Generation, sheet, mask);
    } else {
        DeleteTrackedBitmap(&mask);
        DeleteTrackedBitmap(&sheet);
    }
    EndPlusLoaderThread();
    return 0;
}

HANDLE StartLowThread(LPTHREAD_START_ROUTINE routine, void *param, int priority)
{
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, routine, param, CREATE_SUSPENDED, &threadId);
    if (!thread)
        return nullptr;
    SetThreadPriority(thread, priority);
    ResumeThread(thread);
    return thread;
}

}  // namespace

// ---------------------------------------------------------------- queries

bool IsRecordLoaded(const FigurRecord &record)
{
    return std::atomic_ref<uint32_t>(const_cast<uint32_t &>(record.Loaded)).load(std::memory_order_acquire) != 0;
}

bool IsOnStage(int id)
{
    if (id < 0 || id >= kObjectIdCount)
        return false;
    return FigurSheetCount[id] != 0 && IsRecordLoaded(FigurTable[id]);
}

bool IsObjectLoaded(int id) { return IsOnStage(id); }

uint32_t ObjectGeneration(int id)
{
    if (id < 0 || id >= kObjectIdCount)
        return 0;
    return gGeneration[id].load();
}

// ---------------------------------------------------------------- loaders

int LoadFigur(int id, int startState)
{
    if (id < 1 || id > 132 || FigurSheetCount[id] < 1)
        return 0;
    FigurRecord &record = FigurTable[id];
    if (IsRecordLoaded(record))
        return 0;
    uint32_t idle = 0;
    if (!LoaderBusy.compare_exchange_strong(idle, 1))
        return 0;
    record.Id = id;
    record.StartState = static_cast<uint32_t>(startState);
    if (gLoaderThread) {
        // The previous loader cleared the busy flag as its very last work.
        WaitForSingleObject(gLoaderThread, 1000);
        CloseHandle(gLoaderThread);
        gLoaderThread = nullptr;
    }
    gLoadJob.record = &record;
    gLoadJob.generation = gGeneration[id].load();
    int priority = (RunState == kRunning) ? THREAD_PRIORITY_ABOVE_NORMAL : THREAD_PRIORITY_LOWEST;
    WriteLog("Figur %3d laden ...", id);
    gLoaderThread = StartLowThread(DoLoadFigur, &gLoadJob, priority);
    if (!gLoaderThread) {
        LoaderBusy = 0;
        WriteLog("+++ Kann Figur %3d NICHT laden!", id);
        return 0;
    }
    return 1;
}

int LoadFigurWait(int id, int startState)
{
    // Nothing new comes on stage once the saver is ending.
    if (EndFlag)
        return 0;
    int result = 0;
    for (int attempt = 0; attempt < kWaitAttempts; ++attempt) {
        result = LoadFigur(id, startState);
        if (!result) {
            if (WaitUnlessEnding(kWaitPoll))
                return 0;
            continue;
        }
        for (int poll = 0; poll < kWaitPolls; ++poll) {
            if (IsOnStage(id))
                break;
            // The loader has finished without the object: it failed.
            if (!LoaderBusy && !IsOnStage(id))
                break;
            if (WaitUnlessEnding(kWaitPoll))
                break;
        }
        return 1;
    }
    return result;
}

ExtraSheetStart StartExtraSheetWorker(int id, int slot, const char *name, LPTHREAD_START_ROUTINE worker)
{
    if (id < 1 || id >= kObjectIdCount || FigurSheetCount[id] < 1 || slot < 0 || slot >= kMaxSheets)
        return ExtraSheetStart::kRefused;
    FigurRecord &record = FigurTable[id];
    if (!IsRecordLoaded(record))
        return ExtraSheetStart::kRefused;
    uint32_t idle = 0;
    if (!PlusLoaderBusy.compare_exchange_strong(idle, 1))
        return ExtraSheetStart::kRefused;
    record.Id = id;
    // Emptied here, on the asking thread, so the new request is never taken
    // for the old picture.
    ClearExtraSheet(&record, slot);
    PlusLoadRequest.Record = &record;
    PlusLoadRequest.Slot = slot;
    StrCopy(PlusLoadRequest.Name, name ? name : "");
    PlusLoadRequest.Generation = gGeneration[id].load();
    if (PlusLoaderThread) {
        // The previous worker cleared the busy flag as its very last work.
        WaitForSingleObject(PlusLoaderThread, kPreviousWorkerWaitMs);
        CloseHandle(PlusLoaderThread);
        PlusLoaderThread = nullptr;
    }
    PlusLoaderThread = StartLowThread(worker, &PlusLoadRequest, THREAD_PRIORITY_LOWEST);
    if (!PlusLoaderThread) {
        PlusLoaderBusy = 0;
        return ExtraSheetStart::kNoThread;
    }
    return ExtraSheetStart::kStarted;
}

int LoadFigurPlus(int id, int slot, const char *name)
{
    const ExtraSheetStart started = StartExtraSheetWorker(id, slot, name, DoLoadFigurPlus);
    if (started == ExtraSheetStart::kRefused)
        return 0;
    WriteLog("Bitmap [%s] zu FIG%3d laden ...", name ? name : "", id);
    if (started == ExtraSheetStart::kNoThread) {
        WriteLog("+++ Kann Bitmap [%s] zu FIG%3d NICHT laden!", name ? name : "", id);
        return 0;
    }
    return 1;
}

bool PublishExtraSheet(FigurRecord *record, int slot, uint32_t generation, HBITMAP sheet, HBITMAP mask)
{
    bool published = false;
    if (record && slot >= 0 && slot < kMaxSheets && record->Id > 0 && record->Id < kObjectIdCount) {
        std::lock_guard<std::mutex> hold(gTableLock);
        int id = record->Id;
        if (gGeneration[id].load() == generation && IsRecordLoaded(*record) && !record->Sheets[slot] &&
            !record->Masks[slot]) {
            StoreHandle(&record->Masks[slot], mask);
            StoreHandle(&record->Sheets[slot], sheet);
            published = true;
        }
    }
    if (!published) {
        DeleteTrackedBitmap(&mask);
        DeleteTrackedBitmap(&sheet);
    }
    return published;
}

void ClearExtraSheet(FigurRecord *record, int slot)
{
    if (!record || slot < 0 || slot >= kMaxSheets)
        return;
    std::lock_guard<std::mutex> hold(gTableLock);
    HBITMAP oldSheet = record->Sheets[slot];
    HBITMAP oldMask = record->Masks[slot];
    StoreHandle(&record->Sheets[slot], nullptr);
    StoreHandle(&record->Masks[slot], nullptr);
    DeleteTrackedBitmap(&oldSheet);
    DeleteTrackedBitmap(&oldMask);
}

namespace {

// A failed load counts once, when it fails: the record it leaves free is
// unloaded again by every later build, which is no new failure. The loader
// and the scene thread both come here, so the count is kept under the lock.
// True when the hour's failures are too many to go on.
bool CountLoadFailure()
{
    if (Hour != FailHour) {
        FailHour = Hour;
        LoadFailCount = 0;
    }
    return ++LoadFailCount > kFailuresPerHour;
}

void UnloadRecord(int id, bool loadFailed)
{
    if (id < 1 || id > kLastUnloadable)
        return;
    FigurRecord &record = FigurTable[id];
    bool wasLoaded = false;
    bool tooManyFailures = false;
    int failures = 0;
    {
        std::lock_guard<std::mutex> hold(gTableLock);
        // A load still running for this record will not publish any more.
        ++gGeneration[id];
        ObjectSound sound = {0, 0, 0};
        if (Sound && (record.Sound.Channel1 || record.Sound.Channel2)) {
            sound.Channel1 = record.Sound.Channel1;
            sound.Channel2 = record.Sound.Channel2;
            FadeObjectSound(&record.Sound);
        }
        wasLoaded = IsRecordLoaded(record);
        int pause = record.Pause;
        uint32_t mayReturn = record.MayReturn;
        std::atomic_ref<uint32_t>(record.Loaded).store(0, std::memory_order_release);
        for (int k = 0; k < kMaxSheets; ++k) {
            HBITMAP mask = record.Masks[k];
            HBITMAP sheet = record.Sheets[k];
            StoreHandle(&record.Masks[k], nullptr);
            StoreHandle(&record.Sheets[k], nullptr);
            DeleteTrackedBitmap(&mask);
            DeleteTrackedBitmap(&sheet);
        }
        if (!loadFailed && wasLoaded)
            LowerCountersFor(id);
        memset(&record, 0, sizeof(record));
        record.Sound.Channel1 = sound.Channel1;
        record.Sound.Channel2 = sound.Channel2;
        record.Pause = pause;
        record.MayReturn = mayReturn;
        if (loadFailed)
            tooManyFailures = CountLoadFailure();
        failures = LoadFailCount;
    }
    if (tooManyFailures) {
        WriteLog("+++ AUS +++");
        SetRunStateError(kMemoryError);
    }
    SceneVehicles().objectUnloaded(id);
    if (wasLoaded)
        WriteLog("Figur %3d ENTLADEN  (F%03d <-%d ->%d) (%d)", id, PedestrianCount.load(), VehicleCountLeft.load(),
                 VehicleCountRight.load(), failures);
}

}  // namespace

void UnloadFigur(int id) { UnloadRecord(id, false); }

void AcceptNewDrawListEntries()
{
    std::lock_guard<std::mutex> hold(gTableLock);
    int kept = 0;
    for (int n = 0; n < gNewPairCount; ++n) {
        int id = gNewPairs[n];
        if (!IsOnStage(id))
            continue;
        int freePair = -1;
        bool listed = false;
        for (int i = 0; i < kDrawListSize; ++i) {
            if (DrawList[i].Figur == id) {
                DrawList[i].Key = kNewPairKey;
                listed = true;
                break;
            }
            if (freePair < 0 && DrawList[i].Figur < 1)
                freePair = i;
        }
        if (listed)
            continue;
        if (freePair < 0) {
            // A full list: the object waits for a pair to free.
            gNewPairs[kept++] = id;
            continue;
        }
        DrawList[freePair].Figur = id;
        DrawList[freePair].Key = kNewPairKey;
    }
    gNewPairCount = kept;
}

bool JoinLoaderThreads(DWORD timeoutMs)
{
    bool ok = true;
    if (gLoaderThread) {
        if (JoinThread(gLoaderThread, timeoutMs)) {
            CloseHandle(gLoaderThread);
            gLoaderThread = nullptr;
        } else {
            WriteLog("+++ DoLoadFigur() endet nicht");
            ok = false;
        }
    }
    if (PlusLoaderThread) {
        if (JoinThread(PlusLoaderThread, timeoutMs)) {
            CloseHandle(PlusLoaderThread);
            PlusLoaderThread = nullptr;
        } else {
            WriteLog("+++ DoLoadFigurPlus() endet nicht");
            ok = false;
        }
    }
    return ok;
}

// ---------------------------------------------------------------- set-up

void InitFigurTable()
{
    SYSTEMTIME now;
    NowLocal(&now);
    SeedRand(static_cast<uint32_t>((now.wDayOfWeek + 2) * now.wMilliseconds));

    PedestrianCount = 0;
    VehicleCountLeft = 0;
    VehicleCountRight = 0;
    AircraftCount = 0;
    LoaderBusy = 0;
    PlusLoaderBusy = 0;
    FailedFigur = 0;
    BirthdaysToday = 0;
    Year = Month = Day = DayOfWeek = Hour = Minute = Second = 0;
    BuiltTimeOfDay = 0;
    NoTramOverlay = -1;
    {
        std::lock_guard<std::mutex> hold(gTableLock);
        gNewPairCount = 0;
        LoadFailCount = 0;
        FailHour = 0;
    }
    for (DrawListEntry &pair : DrawList) {
        pair.Figur = 0;
        pair.Key = kFreePairKey;
    }

    for (int id = 0; id < kObjectIdCount; ++id) {
        FigurSheetCount[id] = DefaultSheetCount(id);
        FigurPointers[id] = &FigurTable[id];
        memset(&FigurTable[id], 0, sizeof(FigurRecord));
        if (id <= kLastVehicle) {
            FigurTable[id].MayReturn = 0;
            FigurTable[id].Pause = Rand() % 25;
            WriteLog("F_PAUSE: %3d, %d", id, FigurTable[id].Pause / 8);
        } else {
            FigurTable[id].MayReturn = 1;
        }
    }
    bool weekend = now.wDayOfWeek == 0 || now.wDayOfWeek == 6;
    FigurTable[33].Pause = weekend ? 8 : 40;
    FigurTable[33].MayReturn = 0;
    FigurTable[73].Pause = 24 + Rand() % 377;
    FigurTable[73].MayReturn = 0;
    FigurTable[69].Pause = 0;
    FigurTable[69].MayReturn = WeatherShow ? 1 : 0;

    WaitingGroupTurn = 0;
    WaitingGroupCounters[0] = 2;
    WaitingGroupCounters[1] = 2;
    Figur025HouseDoor = 0;
    Figur033HouseDoor1 = 0;
    Figur033HouseDoor2 = (Rand() % 2 == 0) ? 0 : 2;
    for (int &door : ResidentDoor)
        door = 0;
    ResidentDoor[52] = (Rand() % 2 == 0) ? 0 : 3;
    ResidentDoor[62] = 0;
    // 66 is at home like its neighbours: the casting takes a resident only
    // while it is behind door 2.
    ResidentDoor[63] = ResidentDoor[64] = ResidentDoor[65] = ResidentDoor[66] = ResidentDoor[67] = 2;
    // The person of figures 28 to 32 starts at home.
    Figur028Home = 2;
}

void ApplySettingsToFigurTable()
{
    for (int id = 1; id <= kSwitchableObjects; ++id) {
        if (ObjectSwitchedOff[id])
            FigurSheetCount[id] = 0;
    }
    FigurTable[69].MayReturn = WeatherShow ? 1 : 0;
}

namespace {

// Runs the script of a figure that StartFigur has just put on stage, once,
// so that it stands in place before the first frame.
void RunScriptIfLoaded(int id)
{
    if (IsOnStage(id))
        RunScript(id);
}

bool SwitchedOn(int id) { return FigurSheetCount[id] != 0; }

// A figure whose script is not in this build would stand still for good or,
// without its pictures, count as a failed load: it is refused quietly. The
// random draws around it stay as they are.
void LoadStartFigure(int id, int startState)
{
    if (!HasScript(id)) {
        WriteLog("Figur %3d: kein Skript", id);
        return;
    }
    LoadFigurWait(id, startState);
}

}  // namespace

void StartFigur()
{
    WriteLog("StartFigur() - Start");
    BirthdaysToday = HeuteGeburtstag();
    if (TimeOfDay == kDay) {
        if (SwitchedOn(8) && Rand() % 14 == 0) {
            LoadStartFigure(8, 100);
            RunScriptIfLoaded(8);
        }
        if (SwitchedOn(35) && BirthdaysToday != 0 && (Rand() & 3) != 0) {
            LoadStartFigure(35, 0);
        } else if (SwitchedOn(39) && IsCarnivalTime() && (Rand() & 3) == 0) {
            LoadStartFigure(39, 0);
        } else if (SwitchedOn(22) && Rand() % 7 == 0 && Season == kSummer) {
            LoadStartFigure(22, 0);
        } else {
            static const int kWaitingGroup[] = {62, 63, 64, 65};
            for (int id : kWaitingGroup) {
                if (Rand() % 5 == 0) {
                    LoadStartFigure(id, 0);
                    break;
                }
            }
        }
        if (Rand() % 5 == 0)
            LoadStartFigure(71, 0);
    }
    if (TimeOfDay != kDusk && Hour >= 11) {
        bool groupOnStage = IsOnStage(62) || IsOnStage(63) || IsOnStage(64) || IsOnStage(65);
        if (!groupOnStage && Rand() % 5 == 0) {
            LoadStartFigure(20, 1);
            RunScriptIfLoaded(20);
        }
    }
    WriteLog("StartFigur() - Ende");
}

void LogFiguresOnStage(bool allObjects)
{
    if (!DebugOn)
        return;
    char line[kLogTextMax + 64];
    FormatLogTimestamp(line, sizeof(line));
    StrAppend(line, ": ");
    int last = allObjects ? 131 : 69;
    for (int id = 1; id <= last; ++id) {
        if (FigurSheetCount[id] != 0 && IsObjectLoaded(id)) {
            char number[8];
            StrPrintfN(number, sizeof(number), "%3d ", id);
            StrAppend(line, number);
        }
    }
    StrAppend(line, "\r\n");
    WriteLogRaw(line);
}
