// PartList: the figure's parts in the order they were added, owned by the
// list. Positions count from 0 in that order; a part's position moves up
// when one before it is removed.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/mesh_object.h"

namespace model {

class PartList {
public:
    using Parts = std::vector<std::unique_ptr<MeshObject>>;

    // Walks the parts in list order as MeshObject&.
    template <typename Part, typename Base>
    class Iterator {
    public:
        explicit Iterator(Base at) : at_(at) {}
        Part& operator*() const { return **at_; }
        Part* operator->() const { return at_->get(); }
        Iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator==(const Iterator& other) const { return at_ == other.at_; }
        bool operator!=(const Iterator& other) const { return at_ != other.at_; }

    private:
        Base at_;
    };
    using iterator = Iterator<MeshObject, Parts::iterator>;
    using const_iterator = Iterator<const MeshObject, Parts::const_iterator>;

    PartList() = default;
    PartList(const PartList&) = delete;
    PartList& operator=(const PartList&) = delete;

    std::int32_t Count() const { return static_cast<std::int32_t>(parts_.size()); }
    // Takes the part and adds it at the end (false for null).
    bool Append(std::unique_ptr<MeshObject> part);
    // Destroys the part at the position; false when out of range.
    bool RemoveAt(std::int32_t position);
    // The part at the position; null when out of range.
    MeshObject* At(std::int32_t position) const;

    iterator begin() { return iterator(parts_.begin()); }
    iterator end() { return iterator(parts_.end()); }
    const_iterator begin() const { return const_iterator(parts_.cbegin()); }
    const_iterator end() const { return const_iterator(parts_.cend()); }

private:
    Parts parts_;
};

}  // namespace model
