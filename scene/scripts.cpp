#include "scene/scripts.h"

namespace {

using ScriptRows = std::span<const ObjectScript> (*)();
constexpr ScriptRows kLibraries[] = {FigureScripts, VehicleScripts, PropScripts};

std::span<const ObjectScript> gTestRows;

}  // namespace

void SetTestScripts(std::span<const ObjectScript> rows) { gTestRows = rows; }

const ObjectScript *FindScript(int id)
{
    for (const ObjectScript &script : gTestRows)
        if (script.id == id)
            return &script;
    for (ScriptRows rows : kLibraries)
        for (const ObjectScript &script : rows())
            if (script.id == id)
                return &script;
    return nullptr;
}

const char *FigurDisplayName(int id)
{
    const ObjectScript *script = FindScript(id);
    return script ? script->name : "";
}

void ResetScripts()
{
    for (ScriptRows rows : kLibraries)
        for (const ObjectScript &script : rows())
            if (script.reset)
                script.reset();
}
