#include "sample_library.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "face_parts.h"
#include "formats/library_settings.h"
#include "formats/object_writer.h"
#include "hand_foot_parts.h"
#include "head_part.h"
#include "limb_parts.h"
#include "torso_parts.h"

namespace library {

namespace {

Mesh MirroredMesh(Mesh mesh) {
    mesh.MirrorX();
    return mesh;
}

template <typename Params, typename Builder>
void AddSingle(std::vector<LibraryEntry>& out, const std::string& part,
               const std::vector<std::pair<std::string, Params>>& variants, Builder build) {
    for (const auto& [file, params] : variants) out.push_back({part, file, [=] { return build(params); }});
}

HeadParams RoundHead() {
    HeadParams h;
    h.width = 0.0166;
    h.heightUp = 0.0214;
    h.heightDown = 0.0228;
    h.front = 0.0176;
    h.back = 0.0196;
    h.jaw = 0.22;
    h.exponent = 2.15;
    h.hair = {32, 26, 22};
    return h;
}

HeadParams LongHead() {
    HeadParams h;
    h.width = 0.0146;
    h.heightUp = 0.0236;
    h.heightDown = 0.0252;
    h.back = 0.0206;
    h.jaw = 0.36;
    h.chin = 0.10;
    h.hair = {196, 160, 100};
    return h;
}

HeadParams SquareHead() {
    HeadParams h;
    h.width = 0.0160;
    h.exponent = 2.8;
    h.jaw = 0.16;
    h.hairFront = 0.55;
    h.hairSide = 0.35;
    h.hairBack = -0.15;
    h.hair = {120, 62, 32};
    return h;
}

LimbParams Limb(double girth, double seamScale, double muscle, Vec3 stretch = {}) {
    LimbParams l;
    l.girth = girth;
    l.seamScale = seamScale;
    l.muscle = muscle;
    l.stretch = stretch;
    return l;
}

}  // namespace

std::vector<LibraryEntry> SampleCatalogue() {
    std::vector<LibraryEntry> out;

    AddSingle<HeadParams>(out, "Head",
                          {{"Oval head.mwo", HeadParams{}},
                           {"Round head.mwo", RoundHead()},
                           {"Long head.mwo", LongHead()},
                           {"Square head.mwo", SquareHead()}},
                          BuildHead);

    const std::vector<std::pair<std::string, EarParams>> ears = {
        {"Small ear.mwo", {0.85, 0.8, 0, 0}}, {"Large ear.mwo", {1.15, 1.2, 0.4, 0}}, {"Pointed ear.mwo", {1, 1, 0, 1}}};
    AddSingle(out, "Left ear", ears, BuildEar);
    AddSingle(out, "Right ear", ears, [](const EarParams& p) { return MirroredMesh(BuildEar(p)); });

    const std::vector<std::pair<std::string, EyeParams>> eyes = {{"Blue eye.mwo", {{70, 110, 165}, 1, 1, 1}},
                                                                 {"Brown eye.mwo", {{96, 60, 32}, 1.08, 0.9, 1.2}},
                                                                 {"Green eye.mwo", {{72, 126, 82}, 0.92, 1.25, 0.8}}};
    AddSingle(out, "Left eye", eyes, BuildEye);
    AddSingle(out, "Right eye", eyes, [](const EyeParams& p) { return MirroredMesh(BuildEye(p)); });

    AddSingle<NoseParams>(out, "Nose",
                          {{"Straight nose.mwo", NoseParams{}},
                           {"Broad nose.mwo", {0.0034, 0.40, 0.0018, 1.12}},
                           {"Pointed nose.mwo", {0.0048, 0.20, 0.0012, 0.95}},
                           {"Snub nose.mwo", {0.0032, 0.30, 0.0026, 1}}},
                          BuildNose);
    AddSingle<MouthParams>(out, "Mouth",
                           {{"Thin lips.mwo", {0.4, 1, 0}},
                            {"Full lips.mwo", {1.5, 1, 0}},
                            {"Smiling mouth.mwo", {1, 1.05, 1}},
                            {"Wide mouth.mwo", {1, 1.14, 0.2}}},
                           BuildMouth);
    AddSingle<LimbParams>(out, "Neck",
                          {{"Slim neck.mwo", Limb(0.92, 0.96, 0)},
                           {"Strong neck.mwo", Limb(1.08, 1.02, 0.4)},
                           {"Long neck.mwo", Limb(0.97, 1, 0.3, {0, 0.003, 0.0003})}},
                          BuildNeck);
    AddSingle<TorsoParams>(out, "Upper body",
                           {{"Average upper body.mwo", TorsoParams{}},
                            {"Slim upper body.mwo", {0.92, 0.92, 0.95, 0, 0, 0, 0.97}},
                            {"Broad upper body.mwo", {1.07, 1.06, 1.08, 0.5, 0, 0, 1.03}},
                            {"Athletic upper body.mwo", {1.0, 1.02, 1.06, 1.0, 0, 0, 1.0}}},
                           BuildUpperBody);

    // Arms: panel order is left arm, forearm, hand, then the right ones.
    const std::vector<std::pair<std::string, LimbParams>> arms = {
        {"Slim arm.mwo", Limb(0.9, 0.96, 0)},
        {"Muscular arm.mwo", Limb(1.08, 1.04, 1)},
        {"Long arm.mwo", Limb(0.98, 1, 0.2, {0.0008, -0.0065, 0})}};
    const std::vector<std::pair<std::string, LimbParams>> forearms = {
        {"Slim forearm.mwo", Limb(0.9, 0.96, 0)},
        {"Muscular forearm.mwo", Limb(1.08, 1.04, 1)},
        {"Long forearm.mwo", Limb(0.97, 1, 0.2, {0.0005, -0.006, 0})}};
    const std::vector<std::pair<std::string, HandParams>> hands = {{"Slim hand.mwo", {0.9, 1, 1.02, 0.88, 0.96}},
                                                                   {"Broad hand.mwo", {1.12, 1, 0.92, 1.1, 1.04}},
                                                                   {"Long hand.mwo", {1, 1.1, 1.12, 0.95, 1}}};
    auto mirror = [](auto build) { return [build](const auto& p) { return MirroredMesh(build(p)); }; };
    AddSingle(out, "Left arm", arms, BuildArm);
    AddSingle(out, "Left forearm", forearms, BuildForearm);
    AddSingle(out, "Left hand", hands, BuildHand);
    AddSingle(out, "Right arm", arms, mirror(BuildArm));
    AddSingle(out, "Right forearm", forearms, mirror(BuildForearm));
    AddSingle(out, "Right hand", hands, mirror(BuildHand));

    AddSingle<TorsoParams>(out, "Stomach",
                           {{"Flat stomach.mwo", TorsoParams{}},
                            {"Round stomach.mwo", {1.05, 1.06, 1, 0, 1, 0.3, 1.0}},
                            {"Broad hips.mwo", {1.09, 1.02, 1, 0, 0.2, 1, 1.03}}},
                           BuildStomach);

    const std::vector<std::pair<std::string, LimbParams>> thighs = {
        {"Slim thigh.mwo", Limb(0.9, 0.96, 0)},
        {"Muscular thigh.mwo", Limb(1.07, 1.04, 1)},
        {"Long thigh.mwo", Limb(0.98, 1, 0.2, {-0.0003, -0.004, 0})}};
    const std::vector<std::pair<std::string, LimbParams>> legs = {
        {"Slim leg.mwo", Limb(0.9, 0.96, 0)},
        {"Muscular leg.mwo", Limb(1.08, 1.04, 1)},
        {"Long leg.mwo", Limb(0.98, 1, 0.2, {0, -0.004, 0})}};
    const std::vector<std::pair<std::string, FootParams>> feet = {{"Slim foot.mwo", {0.97, 0.88, 0.95, 0.9, 0.96}},
                                                                  {"Broad foot.mwo", {1, 1.14, 1.05, 1.15, 1.04}},
                                                                  {"Long foot.mwo", {1.1, 1, 1, 1, 1}}};
    AddSingle(out, "Left thigh", thighs, BuildThigh);
    AddSingle(out, "Left leg", legs, BuildLeg);
    AddSingle(out, "Left foot", feet, BuildFoot);
    AddSingle(out, "Right thigh", thighs, mirror(BuildThigh));
    AddSingle(out, "Right leg", legs, mirror(BuildLeg));
    AddSingle(out, "Right foot", feet, mirror(BuildFoot));
    return out;
}

bool WriteSampleLibrary(const std::string& folder, std::string* error) {
    namespace fs = std::filesystem;
    const std::vector<LibraryEntry> catalogue = SampleCatalogue();
    // Object files of an earlier generator that this one no longer makes
    // would linger in the lists; the library folder is the build's own.
    std::map<std::string, std::vector<std::string>> files;
    for (const LibraryEntry& entry : catalogue) files[entry.part].push_back(entry.file);
    for (const auto& [part, names] : files) {
        std::error_code ec;
        for (const auto& item : fs::directory_iterator(fs::path(folder) / part, ec)) {
            const std::string name = item.path().filename().string();
            const bool known = std::find(names.begin(), names.end(), name) != names.end();
            if (!known && item.path().extension() == ".mwo") fs::remove(item.path(), ec);
        }
    }
    std::map<std::string, int> variantIndex;
    for (const LibraryEntry& entry : catalogue) {
        const fs::path dir = fs::path(folder) / entry.part;
        std::error_code ec;
        fs::create_directories(dir, ec);
        if (ec) {
            *error = "cannot create " + dir.string();
            return false;
        }
        const Mesh mesh = entry.build();
        // Every other variant keeps its surfaces in a container chunk, as
        // some object files do.
        const bool container = (variantIndex[entry.part]++ % 2) == 1;
        const std::string path = (dir / entry.file).string();
        formats::ObjectFileData data = mesh.ToFileData(container);
        // The parts are built 0.36 tall; written smaller and a little higher,
        // the whole figure, toes included, fits the view at its start-up zoom.
        for (std::size_t i = 0; i < data.points.size(); ++i) {
            const double raise = i % 3 == 1 ? kWrittenRaise : 0.0;
            data.points[i] = static_cast<float>(data.points[i] * kWrittenScale + raise);
        }
        if (!formats::WriteObjectFile(path, data)) {
            *error = "cannot write " + path;
            return false;
        }
    }
    if (!formats::WriteLibrarySettings(folder, {kMetresPerUnit})) {
        *error = "cannot write " + (fs::path(folder) / formats::kLibrarySettingsFile).string();
        return false;
    }
    return true;
}

}  // namespace library
