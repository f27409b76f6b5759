#include "model/part_list.h"

namespace model {

bool PartList::Append(std::unique_ptr<MeshObject> part) {
    if (part == nullptr) return false;
    parts_.push_back(std::move(part));
    return true;
}

bool PartList::RemoveAt(std::int32_t position) {
    if (position < 0 || position >= Count()) return false;
    parts_.erase(parts_.begin() + position);
    return true;
}

MeshObject* PartList::At(std::int32_t position) const {
    if (position < 0 || position >= Count()) return nullptr;
    return parts_[static_cast<std::size_t>(position)].get();
}

}  // namespace model
