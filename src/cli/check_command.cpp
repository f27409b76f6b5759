// mwbatch check: an object library looked over for its authors, one row per
// object file with what the program would stumble over.
#include <algorithm>
#include <ostream>

#include "cli/batch_setup.h"
#include "cli/check_library.h"
#include "cli/command.h"
#include "cli/options.h"

namespace cli {

const char* const kCheckUsage =
    "Usage: mwbatch check [--objects DIR] [--quiet]\n"
    "\n"
    "Looks over an object library for its authors. Every *.mwo file (any case) of\n"
    "the 22 part folders is read as the program reads it; a file it refuses is\n"
    "listed with the reason, and so is a file without points. A missing part\n"
    "folder and a folder without object files are listed too.\n"
    "For every seam between neighbouring parts, every file of the one part is\n"
    "tried against every file of the other: the two boundary lists of a seam\n"
    "must have the same number of entries, or the program shows\n"
    "\"Cant connect object!\" when it puts the two together.\n"
    "\n"
    "Prints one row per file (folder, file, OK or the problems, naming the\n"
    "neighbour files of a seam that does not match) and a summary line.\n"
    "\n"
    "Options:\n"
    "  --objects DIR   the object library (default: ObjectDir of mw.cfg in the\n"
    "                  current directory)\n"
    "  --quiet         print only the rows with problems\n"
    "  -h, --help      this text\n"
    "\n"
    "Exit status: 0 when everything is sound, 1 when anything is wrong (or the\n"
    "library is not there), 2 for a wrong command line.\n"
    "\n"
    "Example:\n"
    "  mwbatch check --objects ~/objects --quiet\n";

namespace {

constexpr std::size_t kFolderWidth = 15;  // "Right forearm" and two spaces
constexpr std::size_t kMaxFileWidth = 32;  // longer names push their row's text right

std::string Padded(const std::string& text, std::size_t width) {
    return text.size() + 2 <= width ? text + std::string(width - text.size(), ' ') : text + "  ";
}

void PrintRow(std::ostream& out, const std::string& folder, const std::string& file,
              const std::vector<std::string>& problems, std::size_t fileWidth) {
    out << Padded(folder, kFolderWidth) << Padded(file, fileWidth) << (problems.empty() ? "OK" : problems[0]) << "\n";
    for (std::size_t i = 1; i < problems.size(); ++i) {
        out << std::string(kFolderWidth + fileWidth, ' ') << problems[i] << "\n";
    }
}

std::string Count(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void PrintSummary(std::ostream& out, const LibraryCheck& check) {
    out << Count(check.fileCount, "object file", "object files") << " in "
        << Count(static_cast<int>(check.folders.size()) - check.missingFolders, "part folder", "part folders") << ": "
        << check.fileCount - check.wrongFiles << " OK, " << check.wrongFiles << " wrong";
    if (check.unloadable != 0) out << "; " << Count(check.unloadable, "file", "files") << " the program cannot add";
    if (check.seamMismatches != 0) out << "; " << Count(check.seamMismatches, "seam mismatch", "seam mismatches");
    if (check.missingFolders != 0) out << "; " << Count(check.missingFolders, "folder", "folders") << " missing";
    if (check.emptyFolders != 0) {
        out << "; " << Count(check.emptyFolders, "folder", "folders") << " without object files";
    }
    out << (check.Sound() ? ". The library is sound.\n" : ".\n");
}

}  // namespace

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedOptions options = ParseOptions(args, {"--objects"}, {"--quiet"});
    if (options.help) {
        out << kCheckUsage;
        return kExitDone;
    }
    if (!options.error.empty() || !options.positionals.empty()) {
        err << "mwbatch check: "
            << (options.error.empty() ? "unexpected argument " + options.positionals[0] : options.error) << "\n"
            << "Usage: mwbatch check [--objects DIR] [--quiet] (--help for more)\n";
        return kExitUsage;
    }
    std::string objectDir;
    if (!ResolveObjectDir(options, "check", err, objectDir)) return kExitFailed;

    const LibraryCheck check = CheckLibrary(objectDir);
    const bool quiet = options.Has("--quiet");
    std::size_t fileWidth = 6;
    for (const FolderCheck& folder : check.folders) {
        for (const FileCheck& file : folder.files) fileWidth = std::max(fileWidth, file.name.size() + 2);
    }
    fileWidth = std::min(fileWidth, kMaxFileWidth);

    if (!quiet) out << Padded("Folder", kFolderWidth) << Padded("File", fileWidth) << "Result\n";
    for (const FolderCheck& folder : check.folders) {
        if (folder.missing) {
            PrintRow(out, folder.part, "-", {"folder missing"}, fileWidth);
        } else if (folder.files.empty()) {
            PrintRow(out, folder.part, "-", {"no object files (*.mwo)"}, fileWidth);
        }
        for (const FileCheck& file : folder.files) {
            if (!quiet || !file.problems.empty()) PrintRow(out, folder.part, file.name, file.problems, fileWidth);
        }
    }
    if (!quiet) PrintSummary(out, check);
    return check.Sound() ? kExitDone : kExitFailed;
}

}  // namespace cli
