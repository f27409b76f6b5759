#include "cli/random_recipe.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "formats/c_number.h"
#include "formats/object_library.h"
#include "formats/text_scanner.h"
#include "model/creature.h"
#include "panels/random_figure.h"
#include "ui/list_order.h"

namespace cli {
namespace {

using Factors = std::array<float, 3>;

// A factor as it reads back from a project file's "%f" text, read the way
// the project reader reads it; never -0, so that a zero factor is written as
// "0.000000".
float AsStored(double factor) {
    float stored = 0.0f;
    formats::TextScanner(formats::FormatFixed(factor)).ReadFloat(stored);
    return stored + 0.0f;
}

// The panel index of the left part a right part mirrors ("Right ear" gives
// "Left ear"), or -1.
int LeftPartOf(std::size_t panelIndex) {
    constexpr std::string_view right = "Right ";
    const std::string_view name = model::panelOrder[panelIndex];
    if (name.substr(0, right.size()) != right) return -1;
    const std::string left = "Left " + std::string(name.substr(right.size()));
    for (std::size_t p = 0; p < model::panelOrder.size(); ++p) {
        if (model::panelOrder[p] == left) return static_cast<int>(p);
    }
    return -1;
}

// The position of `name` in `files`, the same bytes first, else the same
// name as the lists sort it (letter case aside); -1 when it is not there.
int PositionOf(const std::vector<std::string>& files, const std::string& name) {
    int sameLetters = -1;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i] == name) return static_cast<int>(i);
        if (sameLetters < 0 && ui::CompareIgnoringCase(files[i], name) == 0) sameLetters = static_cast<int>(i);
    }
    return sameLetters;
}

// Factors scale a part about the model's origin, so a factor f moves the
// part's centre by centre × f as well as resizing it by f. Per axis the
// draw's share of the amount is cut to size / |centre| where the centre lies
// further out than the part is large, so that the move stays within
// `amount` of the part's own size. Measured on the rest points as the part
// was placed, the points its factors act on.
Factors ProportionalFactors(const model::MeshObject& part, const std::array<double, 3>& draws, double amount) {
    Factors factors{};
    const std::size_t n = std::min(part.points.size(), part.restPoints.size()) / 3;
    if (n == 0) return factors;
    const float* rest = part.restPoints.data();
    for (std::size_t a = 0; a < 3; ++a) {
        if (draws[a] == 0.0) continue;  // no factor, whatever the part holds
        double low = rest[a];
        double high = rest[a];
        double sum = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double v = rest[3 * i + a];
            low = std::min(low, v);
            high = std::max(high, v);
            sum += v;
        }
        const double size = high - low;
        const double distance = std::abs(sum / static_cast<double>(n));
        // Written so that a non-finite size or centre leaves the share at 1.
        const double share = distance > size ? size / distance : 1.0;
        factors[a] = AsStored(amount * draws[a] * share);
    }
    return factors;
}

}  // namespace

ObjectLists ReadObjectLists(const std::string& objectDir) {
    ObjectLists lists;
    for (std::size_t p = 0; p < lists.size(); ++p) lists[p] = formats::ObjectFilesOf(objectDir, model::panelOrder[p]);
    return lists;
}

RandomRecipe DrawRecipe(std::uint32_t seed, const ObjectLists& lists, bool deform, double deformAmount,
                        bool symmetric) {
    panels::RandomGenerator random;
    random.Seed(seed);
    std::vector<int> entryCounts;
    for (const auto& files : lists) {
        // " (none) " and the files, or " (none) " and "No Files".
        entryCounts.push_back(1 + (files.empty() ? 1 : static_cast<int>(files.size())));
    }
    const std::vector<int> picks = panels::RandomPicks(random, entryCounts);

    RandomRecipe recipe;
    recipe.factorsFrom.fill(-1);
    for (std::size_t p = 0; p < lists.size(); ++p) recipe.files[p] = lists[p].empty() ? -1 : picks[p] - 1;
    // Pairs are matched after every pick was drawn, so the draws stay put.
    for (std::size_t p = 0; symmetric && p < lists.size(); ++p) {
        const int left = LeftPartOf(p);
        if (left < 0 || recipe.files[static_cast<std::size_t>(left)] < 0) continue;
        const auto l = static_cast<std::size_t>(left);
        const int same = PositionOf(lists[p], lists[l][static_cast<std::size_t>(recipe.files[l])]);
        if (same < 0) continue;  // keeps its own pick and factors
        recipe.files[p] = same;
        recipe.factorsFrom[p] = left;
    }
    if (!deform) return recipe;
    recipe.deformAmount = deformAmount;
    for (auto& axes : recipe.draws) {
        for (double& draw : axes) {
            const double r = random.Next();  // 0 ... 32767
            draw = 2.0 * r / 32767.0 - 1.0;
        }
    }
    return recipe;
}

int BuildFigure(const RandomRecipe& recipe, const ObjectLists& lists, const std::string& objectDir,
                model::Creature& creature) {
    int loaded = 0;
    std::array<Factors, model::kPartTypeCount> applied{};
    std::array<bool, model::kPartTypeCount> present{};
    for (std::size_t p = 0; p < lists.size(); ++p) {
        if (recipe.files[p] < 0) continue;
        const std::string name(model::panelOrder[p]);
        const std::string path = formats::PartFolder(objectDir, name) + "/" +
                                 lists[p][static_cast<std::size_t>(recipe.files[p])];
        if (!creature.SetPart(name, path.c_str(), static_cast<std::int32_t>(p))) continue;
        ++loaded;
        model::MeshObject* part = creature.PartNamed(name);
        // Left parts come before right ones in panel order. Identical factors
        // scale a mirrored part into the mirror image, as both scale about
        // the origin, which lies on the figure's mirror plane.
        const int from = recipe.factorsFrom[p];
        const bool mirrored = from >= 0 && present[static_cast<std::size_t>(from)];
        applied[p] = mirrored ? applied[static_cast<std::size_t>(from)]
                              : ProportionalFactors(*part, recipe.draws[p], recipe.deformAmount);
        present[p] = true;
        for (int axis = 0; axis < 3; ++axis) {
            part->deformFactors[model::kLockNone][axis] = applied[p][static_cast<std::size_t>(axis)];
        }
        creature.ApplyParameters(part);
    }
    return loaded;
}

}  // namespace cli
