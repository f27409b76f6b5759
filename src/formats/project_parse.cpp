// Reading a project file's text the way the format's own reader always has:
// whitespace-skipping number scans that leave a value alone when they do not
// match, and rest-of-line scans for the type name and the path. Only the
// line ends differ: CR LF and LF are both taken, and no CR stays in a value.
#include <cmath>
#include <cstdint>

#include "formats/project_file.h"
#include "formats/text_scanner.h"

namespace formats {
namespace {

// "%f" for a project: a number no finite float holds (inf, nan, beyond the
// float range) is taken from the text but reads as 0, so that a file cannot
// put one into the geometry.
bool ReadFiniteFloat(TextScanner& in, float& value) {
    bool inRange = true;
    if (!in.ReadFloat(value, &inRange)) return false;
    if (!inRange || !std::isfinite(value)) value = 0.0f;
    return true;
}

// The 25 numbers of a record's last line, in the order they are written.
// Like one scan of the whole line, reading stops at the first number that
// does not match; the ones after it keep their values.
void ReadNumbers(TextScanner& in, ProjectRecord& r) {
    for (auto& mode : r.settings.sliderPositions) {
        for (std::int32_t& v : mode) {
            if (!in.ReadInt(v)) return;
        }
    }
    for (float& v : r.settings.sliderSteps) {
        if (!ReadFiniteFloat(in, v)) return;
    }
    for (auto& mode : r.settings.deformFactors) {
        for (float& v : mode) {
            if (!ReadFiniteFloat(in, v)) return;
        }
    }
    for (std::int32_t& v : r.settings.lockModes) {
        if (!in.ReadInt(v)) return;
    }
    if (!in.ReadInt(r.settings.spareMode)) return;
    in.SkipSpace();
}

}  // namespace

ProjectFile ParseProject(std::string_view text) {
    ProjectFile project;
    TextScanner in(text);
    in.ReadWord(project.header);  // any word is taken
    in.SkipSpace();
    std::int32_t count = 0;
    in.ReadInt(count);
    in.SkipSpace();
    project.count = count;

    // One record's numbers stand in for the next one's where that one fails
    // to supply them; the names are cleared for every record.
    ProjectRecord current;
    // Every record read takes at least one character (or meets the end), so
    // a count far beyond the text stops with the text.
    for (std::int64_t i = 0; i < project.count && !in.AtEnd(); ++i) {
        current.typeName.clear();
        current.relativePath.clear();
        in.ReadInt(current.typeId);
        in.SkipSpace();
        in.ReadInt(current.panelIndex);
        in.SkipSpace();
        in.ReadLine(current.typeName);
        in.ReadLine(current.relativePath);
        ReadNumbers(in, current);
        project.records.push_back(current);
    }
    return project;
}

}  // namespace formats
