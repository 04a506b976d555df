// The rows in the table of scripts for the scene's props: the clock pillar
// and the vanish effect. They keep their state in their object records, so
// they need no reset.
#include "features/clocks.h"
#include "features/vanish.h"
#include "scene/scripts.h"

namespace {

const ObjectScript kPropScripts[] = {
    {kClockPillar, Figur115Script, nullptr, ""},
    {kVanishEffect, Figur131Script, nullptr, ""},
};

}  // namespace

std::span<const ObjectScript> PropScripts() { return kPropScripts; }
