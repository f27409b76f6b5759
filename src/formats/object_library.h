// The object library on disk: one folder per body part, named as the part,
// holding that part's object files (*.mwo in any letter case).
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace model {
class MeshObject;
}

namespace formats {

// objectDir + "/" + part name; an empty directory gives a path relative to
// the current directory.
std::string PartFolder(const std::string& objectDir, std::string_view partName);

// Whether a file name ends in ".mwo", in any letter case.
bool IsObjectFileName(std::string_view name);

// The object file names of a part's folder in the order of its list: sorted
// without regard to letter case (names equal but for case by their bytes,
// so the order is the same on every machine). Empty when the folder is
// missing or unreadable.
std::vector<std::string> ObjectFilesOf(const std::string& objectDir, std::string_view partName);

// The object files of a run of many figures, each read the first time a
// figure asks for it and kept, read-only, until the run ends: figures copy
// their parts from here instead of reading the files again. Safe to use
// from several threads at once; a file is read once however many ask.
class ParsedParts {
public:
    ParsedParts();
    ~ParsedParts();
    ParsedParts(const ParsedParts&) = delete;
    ParsedParts& operator=(const ParsedParts&) = delete;

    // The part read from `path`; null when the reader refused the file (read
    // it through SetPartFromFile then, whose message says why). Valid while
    // this object lives.
    const model::MeshObject* Find(const std::string& path);
    // Files read so far, refused ones included.
    std::size_t FilesRead() const;

private:
    struct Entry;
    mutable std::mutex mutex_;
    std::map<std::string, std::unique_ptr<Entry>> entries_;
};

}  // namespace formats
