// mwbatch check: an object library looked over for its authors, one row per
// object file with what the program would stumble over.
#include <algorithm>
#include <ostream>

#include "cli/batch_setup.h"
#include "cli/check_figures.h"
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
    "Then figures are assembled as the program assembles them, as many as the\n"
    "largest folder has files, so that every file is used at least once (figure i\n"
    "takes the i-th file of every folder, from the first again in smaller ones),\n"
    "and each is merged into one mesh as the exports merge it. Where that mesh has\n"
    "open edges (a hole: an edge of one triangle only), edges of more than two\n"
    "triangles or triangles without area, a warning names the seam and the two\n"
    "parts with their files, or the part where it is not on a seam. Such a figure\n"
    "loads and shows, but is no closed shell for a 3D printer.\n"
    "\n"
    "Prints one row per file (folder, file, OK or the problems, naming the\n"
    "neighbour files of a seam that does not match), the warnings of the\n"
    "assembled figures and a summary line.\n"
    "\n"
    "Options:\n"
    "  --objects DIR   the object library (default: ObjectDir of mw.cfg, as\n"
    "                  \"mwbatch --help\" says)\n"
    "  --quiet         print only the rows with problems\n"
    "  -h, --help      this text\n"
    "\n"
    "Exit status: 0 when every file is sound (warnings about the assembled figures\n"
    "included), 1 when any file is wrong (or the library is not there), 2 for a\n"
    "wrong command line.\n"
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

void PrintSummary(std::ostream& out, const LibraryCheck& check, const FigureChecks& figures) {
    out << Count(check.fileCount, "object file", "object files") << " in "
        << Count(static_cast<int>(check.folders.size()) - check.missingFolders, "part folder", "part folders") << ": "
        << check.fileCount - check.wrongFiles << " OK, " << check.wrongFiles << " wrong";
    if (check.unloadable != 0) out << "; " << Count(check.unloadable, "file", "files") << " the program cannot add";
    if (check.seamMismatches != 0) out << "; " << Count(check.seamMismatches, "seam mismatch", "seam mismatches");
    if (check.missingFolders != 0) out << "; " << Count(check.missingFolders, "folder", "folders") << " missing";
    if (check.unreadableFolders != 0) {
        out << "; " << Count(check.unreadableFolders, "folder", "folders") << " that cannot be read";
    }
    if (check.emptyFolders != 0) {
        out << "; " << Count(check.emptyFolders, "folder", "folders") << " without object files";
    }
    out << "; " << Count(figures.figureCount, "figure", "figures") << " assembled, "
        << Count(static_cast<int>(figures.warnings.size()), "warning", "warnings");
    if (!check.Sound()) {
        out << ".\n";
    } else if (figures.warnings.empty()) {
        out << ". The library is sound.\n";
    } else {
        out << ". The files are sound, but figures made of them are not closed (see the warnings).\n";
    }
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
        } else if (!folder.unreadable.empty()) {
            PrintRow(out, folder.part, "-", {folder.unreadable}, fileWidth);
        } else if (folder.files.empty()) {
            PrintRow(out, folder.part, "-", {"no object files (*.mwo)"}, fileWidth);
        }
        for (const FileCheck& file : folder.files) {
            if (!quiet || !file.problems.empty()) PrintRow(out, folder.part, file.name, file.problems, fileWidth);
        }
    }
    const FigureChecks figures = CheckFigures(objectDir, check);
    for (const FigureWarning& warning : figures.warnings) {
        out << "warning: figure " << warning.figure << " of " << figures.figureCount << ": " << warning.Text() << "\n";
    }
    if (!quiet) PrintSummary(out, check, figures);
    return check.Sound() ? kExitDone : kExitFailed;
}

}  // namespace cli
