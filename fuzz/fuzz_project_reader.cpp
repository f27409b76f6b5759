// Feeds arbitrary text to the project reader and loads what it reads into a
// creature from a small object library written once at start. Besides the
// sanitizers' watch, the load must only ask for lists that exist, leave a
// figure of at most one part per type, and that figure must write a file
// that reads back as the same parts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <unistd.h>

#include "formats/project_file.h"
#include "fuzz_library.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "ui/message_sink.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::filesystem::path folder;
std::string library;

void RemoveLibrary() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string name = (std::filesystem::temp_directory_path() / "mw_fuzz_project_XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr) std::abort();
    folder = name;
    library = name + "/objects";
    std::atexit(RemoveLibrary);
    if (!fuzzlib::WriteLibrary(library)) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const formats::ProjectFile project = formats::ParseProject(text);
    Require(project.records.size() <= size + 1);
    Require(static_cast<std::int64_t>(project.records.size()) <= std::max<std::int64_t>(project.count, 0));

    ui::SilentSink messages;
    model::Creature creature(messages);
    formats::LoadProjectRecords(project, creature, library, [size](int list, const std::string& fileName) {
        Require(list >= 0 && list < model::kPartTypeCount);
        Require(fileName.size() <= size);
    });

    // One part per type, each one of the 22 with its own type id.
    bool seen[model::kPartTypeCount] = {};
    for (std::int32_t i = 0; i < creature.parts.Count(); ++i) {
        const model::MeshObject* part = creature.PartAt(i);
        Require(part != nullptr && part->typeId >= 0 && model::TypeIdOfName(part->objectType) == part->typeId);
        Require(!seen[part->typeId]);
        seen[part->typeId] = true;
    }

    // The figure's own file reads back as its parts.
    const formats::ProjectFile again = formats::ParseProject(formats::FormatProject(creature, library));
    Require(again.count == creature.parts.Count());
    Require(again.records.size() == static_cast<std::size_t>(creature.parts.Count()));
    for (std::int32_t i = 0; i < creature.parts.Count(); ++i) {
        const model::MeshObject& part = *creature.PartAt(i);
        const formats::ProjectRecord& r = again.records[static_cast<std::size_t>(i)];
        Require(r.typeName == part.objectType && r.typeId == part.typeId && r.panelIndex == part.panelIndex);
        std::string path = r.relativePath;
        std::replace(path.begin(), path.end(), '\\', '/');
        Require(library + path == part.objectName);
        for (int a = 0; a < 3; ++a) {
            Require(r.settings.lockModes[a] == part.settings.lockModes[a]);
            for (int m = 0; m < 3; ++m) Require(r.settings.sliderPositions[m][a] == part.settings.sliderPositions[m][a]);
        }
    }
    return 0;
}
