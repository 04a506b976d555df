#include "vehicles/letteringworker.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "base/saverstate.h"
#include "core/random.h"
#include "imagelib.h"
#include "scene/objects.h"
#include "services/lettering.h"

namespace {

constexpr DWORD kMaskPause = 5;

void EndLettering()
{
    WriteLog("DoBeschriftung() - EXIT");
    ReleaseThreadState();
    PlusLoaderBusy = 0;
}

}  // namespace

DWORD WINAPI DoBeschriftung(LPVOID param)
{
    auto *request = static_cast<PlusLoadRequestBlock *>(param);
    WriteLog("DoBeschriftung() - START");
    // The abort answer is kept per thread: a large picture stops here too once
    // the saver ends, so the shutdown's bounded join is enough.
    SetProgressCallback(ImageAbortCallback, 0);
    SYSTEMTIME now;
    NowLocal(&now);
    SeedRand(static_cast<uint32_t>((now.wDayOfWeek + 1) * now.wMilliseconds));
    FigurRecord *record = request ? request->Record : nullptr;
    HBITMAP sheet = nullptr;
    switch (record ? record->Id : 0) {
    case kBus:
        sheet = MakeBusBeschriftung(-1);
        break;
    case kTram:
        sheet = MakeSBahnBeschriftung(-1, 0, 0);
        break;
    case kTruckA:
    case kTruckB:
        sheet = MakeLKWBeschriftung(-1);
        break;
    default:
        WriteLog("+++ Falsches Fahrzeug!");
        EndLettering();
        return 0;
    }
    if (!sheet) {
        WriteLog("+++ Keine Bitmap!!");
        EndLettering();
        return 0;
    }
    Sleep(kMaskPause);
    HBITMAP mask = CreateMask(sheet);
    bool ok = false;
    if (!mask) {
        WriteLog("+++ CreateMask() - Zu wenig Speicher!");
        LogMemoryStatus();
    } else if (!MakeTransparentBitmap(sheet, mask, kKeyColour)) {
        WriteLog("+++ MakeTransparentBitmap() - Zu wenig Speicher!");
        LogMemoryStatus();
    } else {
        ok = true;
    }
    if (ok) {
        // Dropped (and deleted) when the vehicle left while it was made.
        PublishExtraSheet(record, kLetteredSlot, request->Generation, sheet, mask);
    } else {
        DeleteTrackedBitmap(&mask);
        DeleteTrackedBitmap(&sheet);
    }
    EndLettering();
    return 0;
}

namespace {

int (*gLetteringStandIn)(int) = nullptr;

}  // namespace

void SetLetteringStandIn(int (*start)(int id)) { gLetteringStandIn = start; }

int StartBeschriftung(int id)
{
    if (gLetteringStandIn)
        return gLetteringStandIn(id);
    switch (StartExtraSheetWorker(id, kLetteredSlot, nullptr, DoBeschriftung)) {
    case ExtraSheetStart::kRefused:
        return 0;
    case ExtraSheetStart::kNoThread:
        WriteLog("+++ Keine Beschriftung!");
        return 0;
    case ExtraSheetStart::kStarted:
        break;
    }
    WriteLog("Beschriftung für FIG%3d ...", id);
    return 1;
}
