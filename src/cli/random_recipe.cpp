#include "cli/random_recipe.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "formats/c_number.h"
#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "formats/text_scanner.h"
#include "model/connection_tables.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "model/random_figure.h"
#include "text/list_order.h"

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
        if (sameLetters < 0 && text::CompareIgnoringCase(files[i], name) == 0) sameLetters = static_cast<int>(i);
    }
    return sameLetters;
}

// The head and the parts that sit on its face.
bool IsHeadOrFace(std::size_t panelIndex) {
    const std::string_view name = model::panelOrder[panelIndex];
    for (std::string_view feature : {"Head", "Left ear", "Right ear", "Left eye", "Right eye", "Nose", "Mouth"}) {
        if (name == feature) return true;
    }
    return false;
}

// The panel indices in the order a deformed figure is put together: every
// part before the part it hangs from (the hands before the forearms, the
// face before the head, the upper body last), in panel order within a
// level. Factors scale a part about the model's origin, so they move a part
// as well as resize it; the part it hangs from, coming later, pulls it back
// onto its seam, and only the resizing stays.
std::vector<std::size_t> DeformedBuildOrder() {
    std::vector<std::size_t> order(model::kPartTypeCount);
    for (std::size_t p = 0; p < order.size(); ++p) order[p] = p;
    const auto level = [](std::size_t p) {
        const int typeId = model::panelToTypeId[p];
        return model::ConnectionTable[static_cast<std::size_t>(typeId)].level;
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return level(a) < level(b); });
    return order;
}

}  // namespace

ObjectLists ReadObjectLists(const std::string& objectDir) {
    ObjectLists lists;
    for (std::size_t p = 0; p < lists.size(); ++p) lists[p] = formats::ObjectFilesOf(objectDir, model::panelOrder[p]);
    return lists;
}

RandomRecipe DrawRecipe(std::uint32_t seed, const ObjectLists& lists, bool deform, double deformAmount,
                        bool symmetric, std::optional<double> jitterDegrees, std::optional<double> cameraDegrees,
                        bool background) {
    model::RandomGenerator random;
    random.Seed(seed);
    std::vector<int> entryCounts;
    for (const auto& files : lists) {
        // " (none) " and the files, or " (none) " and "No Files".
        entryCounts.push_back(1 + (files.empty() ? 1 : static_cast<int>(files.size())));
    }
    const std::vector<int> picks = model::RandomPicks(random, entryCounts);

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
    if (deform) {
        recipe.deformAmount = deformAmount;
        for (auto& axes : recipe.draws) {
            for (double& draw : axes) {
                const double r = random.Next();  // 0 ... 32767
                draw = 2.0 * r / 32767.0 - 1.0;
            }
        }
    }
    // Last, so that a seed's parts and factors stay what they were before
    // figures were posed.
    if (jitterDegrees) recipe.jitter = model::JitteredPose(random, *jitterDegrees);
    // After the figure and its pose, so that a seed keeps both with any
    // camera and background.
    const auto share = [&] { return static_cast<double>(random.Next()) / 32767.0; };
    if (cameraDegrees) {
        RandomRecipe::Camera camera;
        camera.yawDegrees = *cameraDegrees * (2 * share() - 1);
        camera.pitchDegrees = *cameraDegrees * (2 * share() - 1);
        camera.zoomShare = kCameraZoomLow + (kCameraZoomHigh - kCameraZoomLow) * share();
        recipe.camera = camera;
    }
    if (background) {
        std::array<float, 3> colour{};
        for (float& c : colour) c = static_cast<float>(share());
        recipe.background = colour;
    }
    return recipe;
}

int BuildFigure(const RandomRecipe& recipe, const ObjectLists& lists, const std::string& objectDir,
                model::Creature& creature, formats::ParsedParts* parsed) {
    // Every part's factors from the draws alone: the amount of its draw, a
    // mirrored right part its left part's. The head and its face keep the
    // shapes of their files: where the head, nose and mouth meet, three
    // seams share a point, and seams welded pair by pair close there only
    // when the three parts fit as their files made them.
    std::array<Factors, model::kPartTypeCount> factors{};
    for (std::size_t p = 0; p < factors.size(); ++p) {
        if (IsHeadOrFace(p)) continue;
        const std::size_t from = recipe.factorsFrom[p] >= 0 ? static_cast<std::size_t>(recipe.factorsFrom[p]) : p;
        for (std::size_t a = 0; a < 3; ++a) {
            factors[p][a] = recipe.draws[from][a] == 0.0 ? 0.0f : AsStored(recipe.deformAmount * recipe.draws[from][a]);
        }
    }
    std::vector<std::size_t> order(lists.size());
    for (std::size_t p = 0; p < order.size(); ++p) order[p] = p;
    if (recipe.deformAmount > 0) order = DeformedBuildOrder();

    int loaded = 0;
    for (std::size_t p : order) {
        if (recipe.files[p] < 0) continue;
        const std::string name(model::panelOrder[p]);
        const std::string path = formats::PartFolder(objectDir, name) + "/" +
                                 lists[p][static_cast<std::size_t>(recipe.files[p])];
        const model::MeshObject* read = parsed != nullptr ? parsed->Find(path) : nullptr;
        const auto panelIndex = static_cast<std::int32_t>(p);
        // A file refused is read again here, so that the messages say why.
        if (!(read != nullptr ? creature.SetPart(name, *read, panelIndex)
                              : formats::SetPartFromFile(creature, name, path, panelIndex))) {
            continue;
        }
        ++loaded;
        model::MeshObject* part = creature.PartNamed(name);
        for (int axis = 0; axis < 3; ++axis) {
            part->settings.deformFactors[model::kLockNone][axis] = factors[p][static_cast<std::size_t>(axis)];
        }
        creature.ApplyParameters(part);
    }
    return loaded;
}

}  // namespace cli
