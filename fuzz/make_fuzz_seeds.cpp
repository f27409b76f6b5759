// Writes a few sound object files into the folder given as the first
// argument, as a starting corpus for the object reader's fuzz target, and,
// with a second folder, a few sound project files for the project reader's.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "formats/object_reader.h"
#include "formats/object_writer.h"
#include "formats/project_file.h"
#include "fuzz_library.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "ui/message_sink.h"

namespace {

// A small quad strip of 2 × `columns` points with seams at both ends.
formats::ObjectFileData Strip(int columns, bool container, bool normals) {
    formats::ObjectFileData data;
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < 2; ++r) {
            data.points.insert(data.points.end(), {static_cast<float>(c), static_cast<float>(r), 0.5f * c});
            if (normals) data.normals.insert(data.normals.end(), {0, 0, 1});
        }
    }
    for (int c = 0; c + 1 < columns; ++c) {
        const auto p = static_cast<std::uint16_t>(2 * c);
        data.polygons.push_back({p, static_cast<std::uint16_t>(p + 2), static_cast<std::uint16_t>(p + 3),
                                 static_cast<std::uint16_t>(p + 1), static_cast<std::uint16_t>(c % 2)});
    }
    data.surfaces = {{"Skin", true, {230, 180, 150}}, {"Shirt", false, {}}};
    data.surfacesInContainer = container;
    data.boundaryLists[0] = {0, 1};
    const auto last = static_cast<std::uint16_t>(2 * columns - 2);
    data.boundaryLists[1] = {last, static_cast<std::uint16_t>(last + 1)};
    data.fourthHeaderValue = columns;
    return data;
}

struct ProjectSeed {
    const char* name;
    std::vector<const char*> files;  // "type/file" in the order they are loaded
    bool deform;
    bool lfOnly;
};

// Figures built from the fuzz target's library, saved as the program saves.
bool WriteProjectSeeds(const std::string& folder) {
    const std::filesystem::path library =
        std::filesystem::temp_directory_path() / ("mw_seed_library_" + std::to_string(::getpid()));
    if (!fuzzlib::WriteLibrary(library)) return false;
    const ProjectSeed seeds[] = {
        {"empty.mwp", {}, false, false},
        {"arm.mwp", {"Left arm/arm1.mwo", "Left forearm/fore.mwo"}, true, false},
        {"upper.mwp", {"Upper body/body.mwo", "Neck/neck.mwo", "Head/head.mwo", "Nose/nose.mwo", "Mouth/mouth.mwo",
                       "Left arm/arm2.mwo", "Left forearm/fore.mwo", "Left hand/hand.mwo"}, true, false},
        {"head_lf.mwp", {"Head/head.mwo", "Neck/neck.mwo"}, false, true},
    };
    bool ok = true;
    for (const ProjectSeed& seed : seeds) {
        ui::SilentSink silent;
        model::Creature creature(silent);
        int n = 0;
        for (const char* file : seed.files) {
            const std::string path = library.string() + "/" + file;
            const std::string type = std::string(file).substr(0, std::string(file).find('/'));
            if (!formats::SetPartFromFile(creature, type, path, model::PanelIndexOfTypeId(model::TypeIdOfName(type)))) {
                return false;
            }
            ++n;
            model::MeshObject* part = creature.PartNamed(type);
            part->settings.lockModes[n % 3] = n % 3;
            part->settings.sliderPositions[n % 3][(n + 1) % 3] = 10 * n - 25;
            part->settings.sliderSteps[n % 3] = 0.05f;
            if (seed.deform) {
                part->settings.deformFactors[n % 3][n % 2] = 0.125f * static_cast<float>(n) - 0.5f;
                creature.ApplyParameters(part);
            }
        }
        std::string text = formats::FormatProject(creature, library.string());
        if (seed.lfOnly) std::erase(text, '\r');
        std::ofstream out(folder + "/" + seed.name, std::ios::binary);
        out << text;
        ok = ok && static_cast<bool>(out);
    }
    std::filesystem::remove_all(library);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <object folder> [<project folder>]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const struct {
        const char* name;
        formats::ObjectFileData data;
    } seeds[] = {
        {"strip.mwo", Strip(4, false, true)},
        {"strip_container.mwo", Strip(6, true, true)},
        {"strip_no_normals.mwo", Strip(3, false, false)},
        {"single_quad.mwo", Strip(2, true, true)},
    };
    for (const auto& seed : seeds) {
        if (!formats::WriteObjectFile(folder + "/" + seed.name, seed.data)) {
            std::fprintf(stderr, "make_fuzz_seeds: cannot write %s/%s\n", folder.c_str(), seed.name);
            return 1;
        }
    }
    if (argc == 3 && !WriteProjectSeeds(argv[2])) {
        std::fprintf(stderr, "make_fuzz_seeds: cannot write the project seeds into %s\n", argv[2]);
        return 1;
    }
    return 0;
}
