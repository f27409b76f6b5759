#include "cli/random_recipe.h"

#include "formats/c_number.h"
#include "formats/object_library.h"
#include "formats/text_scanner.h"
#include "model/creature.h"
#include "panels/random_figure.h"

namespace cli {
namespace {

// A factor as it reads back from a project file's "%f" text, read the way
// the project reader reads it; never -0, so that a zero factor is written as
// "0.000000".
float AsStored(double factor) {
    float stored = 0.0f;
    formats::TextScanner(formats::FormatFixed(factor)).ReadFloat(stored);
    return stored + 0.0f;
}

}  // namespace

ObjectLists ReadObjectLists(const std::string& objectDir) {
    ObjectLists lists;
    for (std::size_t p = 0; p < lists.size(); ++p) lists[p] = formats::ObjectFilesOf(objectDir, model::panelOrder[p]);
    return lists;
}

RandomRecipe DrawRecipe(std::uint32_t seed, const ObjectLists& lists, bool deform, double deformAmount) {
    panels::RandomGenerator random;
    random.Seed(seed);
    std::vector<int> entryCounts;
    for (const auto& files : lists) {
        // " (none) " and the files, or " (none) " and "No Files".
        entryCounts.push_back(1 + (files.empty() ? 1 : static_cast<int>(files.size())));
    }
    const std::vector<int> picks = panels::RandomPicks(random, entryCounts);

    RandomRecipe recipe;
    for (std::size_t p = 0; p < lists.size(); ++p) recipe.files[p] = lists[p].empty() ? -1 : picks[p] - 1;
    if (!deform) return recipe;
    for (auto& axes : recipe.factors) {
        for (float& factor : axes) {
            const double r = random.Next();  // 0 ... 32767
            factor = AsStored(deformAmount * (2.0 * r / 32767.0 - 1.0));
        }
    }
    return recipe;
}

int BuildFigure(const RandomRecipe& recipe, const ObjectLists& lists, const std::string& objectDir,
                model::Creature& creature) {
    int loaded = 0;
    for (std::size_t p = 0; p < lists.size(); ++p) {
        if (recipe.files[p] < 0) continue;
        const std::string name(model::panelOrder[p]);
        const std::string path = formats::PartFolder(objectDir, name) + "/" +
                                 lists[p][static_cast<std::size_t>(recipe.files[p])];
        if (!creature.SetPart(name, path.c_str(), static_cast<std::int32_t>(p))) continue;
        ++loaded;
        model::MeshObject* part = creature.PartNamed(name);
        for (int axis = 0; axis < 3; ++axis) part->deformFactors[model::kLockNone][axis] = recipe.factors[p][axis];
        creature.ApplyParameters(part);
    }
    return loaded;
}

}  // namespace cli
