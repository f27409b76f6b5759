#include "cli/batch_setup.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <ostream>

#include "formats/library_settings.h"
#include "formats/object_library.h"
#include "formats/project_file.h"
#include "formats/user_paths.h"
#include "model/part_types.h"
#include "ui/message_sink.h"

namespace cli {

formats::ConfigValues ConfiguredValues() {
    formats::ConfigValues values;
    formats::LoadUserConfig(formats::CurrentUserEnvironment(), values);
    return values;
}

bool ResolveObjectDir(const ParsedOptions& options, const char* command, std::ostream& err,
                      std::string& objectDir) {
    objectDir = options.Value("--objects", ConfiguredValues().objectDir);
    if (objectDir.empty()) {
        err << "mwbatch " << command << ": no object directory: give --objects DIR or set ObjectDir in mw.cfg\n";
        return false;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(objectDir, ec)) {
        err << "mwbatch " << command << ": " << objectDir << ": no such object directory\n";
        return false;
    }
    for (auto name : model::panelOrder) {
        if (std::filesystem::is_directory(formats::PartFolder(objectDir, name), ec)) return true;
    }
    err << "mwbatch " << command << ": " << objectDir << ": no part folders (\"Head\", \"Neck\", ...) in it\n";
    return false;
}

bool ParseScale(const ParsedOptions& options, double& metresPerUnit) {
    metresPerUnit = 0;
    if (options.values.count("--scale") == 0) return true;
    const std::string text = options.Value("--scale");
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, metresPerUnit);
    return !text.empty() && ec == std::errc() && stop == end && std::isfinite(metresPerUnit) && metresPerUnit > 0;
}

bool ResolveUnit(double scale, const std::string& objectDir, const char* command, std::ostream& err,
                 formats::ExportSettings& settings) {
    if (scale > 0) {
        settings.metresPerUnit = scale;
        return true;
    }
    formats::LibrarySettings library;
    std::string problem;
    if (!formats::ReadLibrarySettings(objectDir, library, problem)) {
        err << "mwbatch " << command << ": " << objectDir << "/" << problem << " (give --scale to override it)\n";
        return false;
    }
    settings.metresPerUnit = library.metresPerUnit;
    return true;
}

bool LoadProjectFigure(const std::string& path, const std::string& objectDir, model::Creature& creature,
                       ui::MessageSink& failures, int* missing) {
    formats::ProjectFile project;
    std::string why;
    if (!formats::ReadProjectFile(path, project, &why)) {
        failures.Report({ui::Severity::kError, formats::kProjectErrorCaption, formats::kProjectOpenFailed,
                         path + ": " + why});
        return false;
    }
    const int loaded = formats::LoadProjectRecords(project, creature, objectDir, nullptr);
    if (missing != nullptr) *missing = static_cast<int>(project.records.size()) - loaded;
    return true;
}

}  // namespace cli
