// A random figure as a recipe drawn from its seed alone: the object file of
// every part, picked as "Random Creature" picks it, and for deformed runs a
// build factor per part and axis. The same seed gives the same recipe on
// every machine, so runs can be split by seed ranges.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/part_types.h"

namespace model {
class Creature;
}

namespace cli {

// The object files of every part folder in list order, by panel index.
using ObjectLists = std::array<std::vector<std::string>, model::kPartTypeCount>;

ObjectLists ReadObjectLists(const std::string& objectDir);

struct RandomRecipe {
    // Index into the part's files; -1 for a part whose folder has none.
    std::array<int, model::kPartTypeCount> files{};
    // Factors of lock mode None, axes X, Y, Z; all 0 when not deforming.
    std::array<std::array<float, 3>, model::kPartTypeCount> factors{};
};

// Seeds the generator with `seed` and draws one number per part list
// (" (none) " plus the files, or plus "No Files" for an empty folder), in
// panel order; with `deform`, then one factor in -deformAmount ...
// deformAmount per part and axis, also for parts left out, so that the
// sequence never depends on what the folders hold. Factors are kept as a
// project file stores them (six decimals).
RandomRecipe DrawRecipe(std::uint32_t seed, const ObjectLists& lists, bool deform, double deformAmount);

// Loads the recipe's parts in panel order into an empty creature, each
// part's factors applied right after it was connected, as "Load Project"
// does (zero factors too: applying re-welds the part's seams), so that the
// figure's project file loads back to this very figure. Failures go to the
// creature's messages. Returns the parts loaded.
int BuildFigure(const RandomRecipe& recipe, const ObjectLists& lists, const std::string& objectDir,
                model::Creature& creature);

}  // namespace cli
