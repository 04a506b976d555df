#include "figures/figures.h"

namespace {

struct NamedFigure {
    int id;
    const char *name;
};

// The same names in both languages: they are the sections of the speech
// texts, which the user edits under these names.
constexpr NamedFigure kNames[] = {
    {2, "Jogger Jannik"},
    {4, "Marlene"},
    {6, "Konrad"},
    {11, "Skaterin Lilly"},
    {17, "Tourist Bernd"},
};

}  // namespace

const char *FigurDisplayName(int id)
{
    for (const NamedFigure &f : kNames)
        if (f.id == id)
            return f.name;
    return "";
}
