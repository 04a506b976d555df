// The rows in the table of scripts for the scene's props: the message sign,
// the tram's props, the clock pillar, the bollards, the ticker and the vanish
// effect. They keep their state in their object records, so they need no
// reset. Beside them the features' hooks: what the scene asks of the lights,
// the shutters, the posts and the weather sign.
#include "features/lights.h"
#include "features/props.h"
#include "features/ticker.h"
#include "features/vanish.h"
#include "features/weathersign.h"
#include "scene/clocks.h"
#include "scene/hooks.h"
#include "scene/scripts.h"

namespace {

const ObjectScript kPropScripts[] = {
    {kMessageSignObject, Figur112Script, nullptr, ""},
    {kMastObject, Figur113Script, nullptr, ""},
    {kTramSignObject, Figur114Script, nullptr, ""},
    {kClockPillar, Figur115Script, nullptr, ""},
    {kBollardObject, Figur116Script, nullptr, ""},
    {kTickerObject, Figur118Script, nullptr, ""},
    {kVanishEffect, Figur131Script, nullptr, ""},
};

}  // namespace

std::span<const ObjectScript> PropScripts() { return kPropScripts; }

const FeatureHooks &SceneFeatures()
{
    static constexpr FeatureHooks kHooks = {
        LichtSteuerung,
        LoadLichter,
        UnloadLichter,
        [] { return ShutterState; },
        [] { return RightShutterState; },
        RollShutter,
        SetupPfloecke,
        UpdateWeatherSign,
        ShowWeatherBubble,
    };
    return kHooks;
}
