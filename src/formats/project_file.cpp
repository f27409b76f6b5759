// Writing a project file, reading one from disk, and loading its records
// into the creature through the same SetPart path a user's choice takes.
#include "formats/project_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "formats/atomic_file.h"
#include "formats/c_number.h"
#include "formats/object_reader.h"
#include "formats/regular_file.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "ui/message_sink.h"

namespace formats {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The object directory as the part paths begin with it: the part folder is
// joined with one separator, so a separator the directory ends with belongs
// to the relative path.
std::string_view DirectoryStem(std::string_view objectDir) {
    while (!objectDir.empty() && IsSeparator(objectDir.back())) objectDir.remove_suffix(1);
    return objectDir;
}

std::string StoredPath(const std::string& objectName, const std::string& objectDir) {
    // The dropped characters are not compared with the directory: a part
    // loaded from elsewhere keeps whatever its name holds past them.
    const std::size_t cut = std::min(DirectoryStem(objectDir).size(), objectName.size());
    std::string path = objectName.substr(cut);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string FullPath(const std::string& objectDir, const std::string& relativePath) {
    std::string path(DirectoryStem(objectDir));
    const std::size_t stem = path.size();
    path += relativePath;
    std::replace(path.begin() + static_cast<std::ptrdiff_t>(stem), path.end(), '\\', '/');
    return path;
}

// The name the part's list holds: the path past its leading separator, type
// folder and separator.
std::string ListedFileName(const ProjectRecord& record) {
    const std::size_t skip = record.typeName.size() + 2;
    return record.relativePath.size() > skip ? record.relativePath.substr(skip) : std::string();
}

void AppendNumbersLine(std::string& out, const model::MeshObject& part) {
    for (const auto& mode : part.settings.sliderPositions) {
        for (std::int32_t v : mode) out += std::to_string(v) + ' ';
    }
    for (float v : part.settings.sliderSteps) out += FormatFixed(v) + ' ';
    for (const auto& mode : part.settings.deformFactors) {
        for (float v : mode) out += FormatFixed(v) + ' ';
    }
    for (std::int32_t v : part.settings.lockModes) out += std::to_string(v) + ' ';
    out += std::to_string(part.settings.spareMode);
    out += "\r\n";
}

}  // namespace

std::string FormatProject(const model::Creature& creature, const std::string& objectDir) {
    std::string out = "MW1\r\n";
    const std::int32_t count = creature.parts.Count();
    out += std::to_string(count) + "\r\n";
    for (const model::MeshObject& part : creature.parts) {
        out += std::to_string(part.typeId) + "\r\n";
        out += std::to_string(part.panelIndex) + "\r\n";
        out += part.objectType + "\r\n";
        out += StoredPath(part.objectName, objectDir) + "\r\n";
        AppendNumbersLine(out, part);
    }
    return out;
}

bool SaveProject(const model::Creature& creature, const std::string& fileName, const std::string& objectDir,
                 ui::MessageSink& messages) {
    // A path is one line of the file and its separator is "\\": a name that
    // holds either would come back as another file, or not at all.
    for (const model::MeshObject& part : creature.parts) {
        const std::size_t cut = std::min(DirectoryStem(objectDir).size(), part.objectName.size());
        if (part.objectName.find_first_of("\\\r\n", cut) == std::string::npos) continue;
        messages.Report({ui::Severity::kError, kProjectErrorCaption,
                         "The object file \"" + part.objectName +
                             "\" cannot be kept in a project: its name holds a backslash or a line break. "
                             "Nothing was saved.",
                         ""});
        return false;
    }
    AtomicFile file(fileName);
    bool saved = file.Open();
    if (saved) {
        file.Write(FormatProject(creature, objectDir));
        saved = file.Commit();
    }
    if (!saved) messages.Report({ui::Severity::kError, kProjectErrorCaption, kProjectSaveFailed, file.Failure()});
    return saved;
}

bool ReadProjectFile(const std::string& path, ProjectFile& project, std::string* why) {
    std::string reason;
    const auto refuse = [&](std::string text) {
        if (why != nullptr) *why = std::move(text);
        return false;
    };
    std::uint64_t size = 0;
    if (!CheckRegularFile(path, reason, &size)) return refuse(reason);
    // Checked before reading, so that no file can make the reader take
    // more memory than a project needs.
    if (size > kMaxProjectBytes) return refuse("larger than 64 MiB, not a project file");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return refuse(std::strerror(errno));
    std::string text;
    char buffer[1 << 14];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0 && text.size() <= kMaxProjectBytes) {
        text.append(buffer, n);
    }
    if (std::ferror(file.get())) return refuse(std::strerror(errno));
    if (text.size() > kMaxProjectBytes) return refuse("larger than 64 MiB, not a project file");
    // The header word on a line of its own.
    if (text.rfind("MW1\r\n", 0) != 0 && text.rfind("MW1\n", 0) != 0) return refuse("not a project file");
    project = ParseProject(text);
    return true;
}

int LoadProjectRecords(const ProjectFile& project, model::Creature& creature, const std::string& objectDir,
                       const SelectInList& selectInList) {
    for (std::string_view name : model::panelOrder) creature.SetPart(std::string(name), nullptr, 0);

    int loaded = 0;
    const auto load = [&](const ProjectRecord& record) {
        // The list is picked by the type id; the stored panel index only
        // goes into the part. An id of no type has no list.
        const int list = model::PanelIndexOfTypeId(record.typeId);
        if (list >= 0 && selectInList) selectInList(list, ListedFileName(record));

        // SetPart refuses a type name that is none of the 22 by itself.
        const std::string path = FullPath(objectDir, record.relativePath);
        if (!formats::SetPartFromFile(creature, record.typeName, path, record.panelIndex)) return;
        // The part just added, found by its name: a name given twice has
        // replaced the earlier part, so positions no longer count records.
        model::MeshObject* part = creature.PartNamed(record.typeName);
        if (part == nullptr) return;
        // The spare mode is not taken: it is always 0 in a part.
        part->settings = record.settings;
        part->settings.spareMode = 0;
        creature.ApplyParameters(part);
        ++loaded;
    };

    for (const ProjectRecord& record : project.records) load(record);

    // A file cut short: the records it lacks would all read empty and fail
    // alike, so one stands for them all, with the numbers read last.
    if (project.count > static_cast<std::int64_t>(project.records.size())) {
        ProjectRecord missing = project.records.empty() ? ProjectRecord{} : project.records.back();
        missing.typeName.clear();
        missing.relativePath.clear();
        load(missing);
    }
    return loaded;
}

}  // namespace formats
