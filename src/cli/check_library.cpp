#include "cli/check_library.h"

#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "model/connection_tables.h"
#include "model/part_types.h"

namespace cli {
namespace {

// More neighbour files than this are counted rather than named.
constexpr std::size_t kNamedNeighbours = 3;

FileCheck CheckFile(const std::string& folder, const std::string& name) {
    FileCheck file;
    file.name = name;
    formats::ObjectRefusal why;
    const std::unique_ptr<model::MeshObject> read = formats::ReadObjectFile(folder + "/" + name, why);
    if (read == nullptr) {
        std::string problem = std::string("refused: ") + formats::ReadErrorText(why.error);
        if (why.at != 0) problem += " (chunk at byte " + std::to_string(why.at) + ")";
        file.problems.push_back(std::move(problem));
        return file;
    }
    const model::MeshObject& object = *read;
    if (!object.CheckPoints()) {
        file.problems.push_back("no points: the program cannot add it");
        return file;
    }
    file.loads = true;
    for (int k = 0; k < model::kBoundaryListCount; ++k) {
        file.listCounts[static_cast<std::size_t>(k)] = object.BoundaryCount(k);
    }
    return file;
}

// Neighbour files whose list does not match one list of one file, by the
// length of theirs: (own list, their count) -> their names.
using Mismatches = std::map<std::pair<int, int>, std::vector<std::string>>;

const model::SeamEntry& Seam(int typeId, int list) {
    return model::ConnectionTable[static_cast<std::size_t>(typeId)].seams[static_cast<std::size_t>(list)];
}

// "list 1 has 12 entries but Head list 0 has 10 in Long head.mwo, Oval head.mwo"
std::string MismatchText(int typeId, int ownList, int ownCount, int otherCount,
                         const std::vector<std::string>& names) {
    const model::SeamEntry& seam = Seam(typeId, ownList);
    std::string text = "list " + std::to_string(ownList) + " has " + std::to_string(ownCount) + " entries but " +
                       std::string(model::partTypeNames[static_cast<std::size_t>(seam.neighbourType)]) +
                       " list " + std::to_string(seam.neighbourList) + " has " + std::to_string(otherCount) + " in ";
    for (std::size_t i = 0; i < names.size() && i < kNamedNeighbours; ++i) {
        text += (i == 0 ? "" : ", ") + names[i];
    }
    if (names.size() > kNamedNeighbours) text += " and " + std::to_string(names.size() - kNamedNeighbours) + " more";
    return text;
}

}  // namespace

LibraryCheck CheckLibrary(const std::string& objectDir) {
    LibraryCheck check;
    for (auto part : model::panelOrder) {
        FolderCheck folder;
        folder.part = std::string(part);
        const std::string path = formats::PartFolder(objectDir, part);
        std::error_code ec;
        const bool exists = std::filesystem::exists(path, ec);
        folder.missing = !exists;
        if (exists && !std::filesystem::is_directory(path, ec)) {
            folder.unreadable = "not a folder";
        } else if (exists) {
            // Listing it is what the program does: say why when that fails.
            std::filesystem::directory_iterator listing(path, ec);
            if (ec) folder.unreadable = "cannot be read (" + ec.message() + ")";
        }
        for (const std::string& name : formats::ObjectFilesOf(objectDir, part)) {
            folder.files.push_back(CheckFile(path, name));
        }
        check.missingFolders += folder.missing ? 1 : 0;
        check.unreadableFolders += folder.unreadable.empty() ? 0 : 1;
        check.emptyFolders += !folder.missing && folder.unreadable.empty() && folder.files.empty() ? 1 : 0;
        check.folders.push_back(std::move(folder));
    }

    // Every seam once: from the part of the lower type id to its neighbour.
    std::vector<std::vector<Mismatches>> mismatches(check.folders.size());
    for (std::size_t f = 0; f < check.folders.size(); ++f) mismatches[f].resize(check.folders[f].files.size());
    for (int a = 0; a < model::kPartTypeCount; ++a) {
        for (int k = 0; k < model::ConnectionTable[static_cast<std::size_t>(a)].seamCount; ++k) {
            const int b = Seam(a, k).neighbourType;
            const int j = Seam(a, k).neighbourList;
            if (b <= a) continue;
            const auto fa = static_cast<std::size_t>(model::PanelIndexOfTypeId(a));
            const auto fb = static_cast<std::size_t>(model::PanelIndexOfTypeId(b));
            const auto& filesA = check.folders[fa].files;
            const auto& filesB = check.folders[fb].files;
            for (std::size_t x = 0; x < filesA.size(); ++x) {
                for (std::size_t y = 0; y < filesB.size(); ++y) {
                    if (!filesA[x].loads || !filesB[y].loads) continue;
                    const int countA = filesA[x].listCounts[static_cast<std::size_t>(k)];
                    const int countB = filesB[y].listCounts[static_cast<std::size_t>(j)];
                    if (countA == countB) continue;
                    ++check.seamMismatches;
                    mismatches[fa][x][{k, countB}].push_back(filesB[y].name);
                    mismatches[fb][y][{j, countA}].push_back(filesA[x].name);
                }
            }
        }
    }

    for (std::size_t f = 0; f < check.folders.size(); ++f) {
        FolderCheck& folder = check.folders[f];
        const int typeId = model::TypeIdOfName(folder.part);
        for (std::size_t x = 0; x < folder.files.size(); ++x) {
            FileCheck& file = folder.files[x];
            for (const auto& [key, names] : mismatches[f][x]) {
                const int ownCount = file.listCounts[static_cast<std::size_t>(key.first)];
                file.problems.push_back(MismatchText(typeId, key.first, ownCount, key.second, names));
            }
            check.unloadable += file.loads ? 0 : 1;
            check.wrongFiles += file.problems.empty() ? 0 : 1;
            ++check.fileCount;
        }
    }
    return check;
}

}  // namespace cli
