// The vehicles' rows in the table of scripts: the bus, the tram, the cars and
// the aircraft. A new vehicle is a file of its own in this folder and a row
// here. Beside them the vehicles' hooks: what the scene asks of the bus, the
// tram, the aircraft, the bus stop and the headlights.
#include "scene/hooks.h"
#include "scene/objects.h"
#include "scene/scripts.h"
#include "vehicles/aircraft.h"
#include "vehicles/bus.h"
#include "vehicles/busstop.h"
#include "vehicles/headlights.h"
#include "vehicles/groupvan.h"
#include "vehicles/passing.h"
#include "vehicles/tram.h"

namespace {

const ObjectScript kVehicleScripts[] = {
    {70, Figur070Script, ResetFigur070, ""},
    {71, Figur071Script, ResetFigur071, ""},
    {72, Figur072Script, ResetFigur072, ""},
    {73, Figur073Script, ResetPassingVehicles, ""},
    {74, Figur074Script, nullptr, ""},
    {75, Figur075Script, nullptr, ""},
    {76, Figur076Script, nullptr, ""},
    {77, Figur077Script, nullptr, ""},
    {78, Figur078Script, nullptr, ""},
    {79, Figur079Script, nullptr, ""},
    {80, Figur080Script, nullptr, ""},
    {81, Figur081Script, nullptr, ""},
    {82, Figur082Script, nullptr, ""},
    {83, Figur083Script, nullptr, ""},
    {84, Figur084Script, nullptr, ""},
    {85, Figur085Script, nullptr, ""},
    {86, Figur086Script, nullptr, ""},
    {87, Figur087Script, nullptr, ""},
    {88, Figur088Script, nullptr, ""},
    {89, Figur089Script, nullptr, ""},
    {90, Figur090Script, nullptr, ""},
    {91, Figur091Script, nullptr, ""},
    {92, Figur092Script, nullptr, ""},
    {93, Figur093Script, nullptr, ""},
    {94, Figur094Script, nullptr, ""},
    {95, Figur095Script, nullptr, ""},
    {96, Figur096Script, nullptr, ""},
    {97, Figur097Script, nullptr, ""},
    {98, Figur098Script, nullptr, ""},
    {99, Figur099Script, nullptr, ""},
    {100, Figur100Script, nullptr, ""},
    {101, Figur101Script, nullptr, ""},
    {102, Figur102Script, nullptr, ""},
    {103, Figur103Script, nullptr, ""},
    {104, Figur104Script, nullptr, ""},
    {105, Figur105Script, nullptr, ""},
    {111, Figur111Script, ResetFigur111, ""},
};

}  // namespace

std::span<const ObjectScript> VehicleScripts() { return kVehicleScripts; }

namespace {

void ObjectUnloaded(int id)
{
    if (id == kBus)
        BusUnloaded();
    if (id == kTram)
        TramUnloaded();
}

}  // namespace

const VehicleHooks &SceneVehicles()
{
    static constexpr VehicleHooks kHooks = {
        RequestBus,
        ObjectUnloaded,
        StartFlieger,
        DrawFlieger,
        PlaceStopPost,
        LoadScheinwerfer,
        UnloadScheinwerfer,
        DrawAllScheinwerfer,
    };
    return kHooks;
}
