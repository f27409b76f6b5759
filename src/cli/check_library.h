// What `mwbatch check` finds in an object library: every object file of the
// 22 part folders read as the program reads it, and every seam between
// neighbouring parts tried for every pair of variants, since the program
// refuses to connect two seam lists of different lengths.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/mesh_object.h"

namespace cli {

// One object file and what is wrong with it; no problems: the file is sound.
struct FileCheck {
    std::string name;
    std::vector<std::string> problems;
    bool loads = false;  // read and has points: the program can add it
    std::array<std::uint16_t, model::kBoundaryListCount> listCounts{};
};

// One part folder, in panel order.
struct FolderCheck {
    std::string part;
    bool missing = false;  // no such folder; with no files and not missing: no *.mwo in it
    std::string unreadable;  // why the folder could not be listed (or it is no folder); empty: it could
    std::vector<FileCheck> files;  // in list order
};

struct LibraryCheck {
    std::vector<FolderCheck> folders;
    int fileCount = 0;
    int wrongFiles = 0;       // files with any problem
    int unloadable = 0;       // refused by the reader or without points
    int seamMismatches = 0;   // pairs of files whose seam lists differ in length, each seam once
    int missingFolders = 0;
    int emptyFolders = 0;
    int unreadableFolders = 0;

    bool Sound() const {
        return wrongFiles == 0 && missingFolders == 0 && emptyFolders == 0 && unreadableFolders == 0;
    }
};

// Reads and compares everything in `objectDir`; the folder itself is taken
// to exist (cli::ResolveObjectDir says so first).
LibraryCheck CheckLibrary(const std::string& objectDir);

}  // namespace cli
