// Project files (*.mwp): a figure stored as a recipe, one record per part
// with the object file it came from (relative to the object directory) and
// its deformation settings. Text, CR LF line ends, numbers in the C locale.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/mesh_object.h"

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace formats {

// The message of a project that could not be saved or opened.
constexpr const char* kProjectErrorCaption = "Error!";
constexpr const char* kProjectSaveFailed = "Couldn't save project!";
constexpr const char* kProjectOpenFailed = "Couldn't open project file!";

struct ProjectRecord {
    std::int32_t typeId = 0;
    std::int32_t panelIndex = 0;
    std::string typeName;
    std::string relativePath;  // as stored, "\" separators
    model::PartSettings settings;  // as stored (lock modes not checked against 0 … 2)
};

struct ProjectFile {
    std::string header;
    std::int64_t count = 0;              // the number of records the file announces
    std::vector<ProjectRecord> records;  // the records it holds (never more than count)
};

// The file's bytes for the creature's parts in list order. The stored path
// is the part's objectName without the object directory's characters (a
// trailing separator of the directory is not counted, so that the path
// always starts with one), "/" written as "\".
std::string FormatProject(const model::Creature& creature, const std::string& objectDir);
// Writes the project atomically; on failure reports it in a box ("Error!")
// and returns false, leaving any old file as it was.
bool SaveProject(const model::Creature& creature, const std::string& fileName, const std::string& objectDir,
                 ui::MessageSink& messages);

// Reads records as the loader does: CR LF or LF, numbers the file fails to
// supply keep the value they had in the record before (0, and 0.01 for the
// steps, before the first). Reading stops where the text ends, whatever
// count says.
ProjectFile ParseProject(std::string_view text);
// The largest project file read: 22 records are a few kilobytes.
constexpr std::uint64_t kMaxProjectBytes = 64u << 20;

// False, with the reason in `why` when given, when the file cannot be
// opened or read, is no regular file, is larger than kMaxProjectBytes, or
// does not start with the line "MW1" ("not a project file"). Nothing is
// reported.
bool ReadProjectFile(const std::string& path, ProjectFile& project, std::string* why = nullptr);

// Called for each record with the panel index of the record's type and the
// file name to select in that part's list. Not called for a type id outside
// 0 … 21. Putting the lists back on their first entry before a load is the
// caller's business.
using SelectInList = std::function<void(int panelIndex, const std::string& fileName)>;

// Empties the creature, then loads every record through SetPartFromFile
// (objectDir + the stored path, "\" read as "/"), restores its settings and
// applies its deformation. When the file announces more records than it
// holds, one more, empty record is tried (and fails with "Unable to add
// object"), as a file cut short reads. Returns the number of records whose part was loaded.
int LoadProjectRecords(const ProjectFile& project, model::Creature& creature, const std::string& objectDir,
                       const SelectInList& selectInList);

}  // namespace formats
