#include "formats/object_library.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "formats/object_reader.h"
#include "model/mesh_object.h"
#include "text/list_order.h"

namespace formats {

std::string PartFolder(const std::string& objectDir, std::string_view partName) {
    if (objectDir.empty()) return std::string(partName);
    if (objectDir.back() == '/' || objectDir.back() == '\\') return objectDir + std::string(partName);
    return objectDir + "/" + std::string(partName);
}

bool IsObjectFileName(std::string_view name) {
    return name.size() >= 4 && text::CompareIgnoringCase(name.substr(name.size() - 4), ".mwo") == 0;
}

std::vector<std::string> ObjectFilesOf(const std::string& objectDir, std::string_view partName) {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(PartFolder(objectDir, partName), ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        std::string name = it->path().filename().string();
        if (IsObjectFileName(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = text::CompareIgnoringCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

struct ParsedParts::Entry {
    std::once_flag read;
    std::unique_ptr<model::MeshObject> part;  // null when refused
};

ParsedParts::ParsedParts() = default;
ParsedParts::~ParsedParts() = default;

const model::MeshObject* ParsedParts::Find(const std::string& path) {
    Entry* entry = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::unique_ptr<Entry>& slot = entries_[path];
        if (!slot) slot = std::make_unique<Entry>();
        entry = slot.get();
    }
    // Read outside the lock, so that other files are read meanwhile; others
    // asking for this file wait until it has been read.
    std::call_once(entry->read, [&] {
        ObjectRefusal why;
        entry->part = ReadObjectFile(path, why);
    });
    return entry->part.get();
}

std::size_t ParsedParts::FilesRead() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

}  // namespace formats
