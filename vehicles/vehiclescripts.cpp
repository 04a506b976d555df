// The vehicles' rows in the table of scripts: the bus, the tram, the cars and
// the aircraft. A new vehicle is a file of its own in this folder and a row
// here.
#include "scene/scripts.h"
#include "vehicles/bus.h"
#include "vehicles/busstop.h"
#include "vehicles/groupvan.h"
#include "vehicles/tram.h"

namespace {

const ObjectScript kVehicleScripts[] = {
    {70, Figur070Script, ResetFigur070, ""},
    {71, Figur071Script, ResetFigur071, ""},
    {72, Figur072Script, ResetFigur072, ""},
    {111, Figur111Script, ResetFigur111, ""},
};

}  // namespace

std::span<const ObjectScript> VehicleScripts() { return kVehicleScripts; }
