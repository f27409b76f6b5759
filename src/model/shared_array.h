// SharedArray: an array of values that copies of it share until one of them
// is changed. A part's polygons and file bytes never change once read, so
// every figure made from the same file holds the same array, however large
// the file.
#pragma once

#include <atomic>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace model {

template <typename T>
class SharedArray {
public:
    SharedArray() = default;
    // Not explicit: an array is filled like a vector (`part.polygons = {...}`).
    SharedArray(std::vector<T> items)
        : items_(items.empty() ? nullptr : std::make_shared<std::vector<T>>(std::move(items))) {}
    SharedArray(std::initializer_list<T> items) : SharedArray(std::vector<T>(items)) {}

    std::size_t size() const { return items_ ? items_->size() : 0; }
    bool empty() const { return size() == 0; }
    const T* data() const { return items_ ? items_->data() : nullptr; }
    const T& operator[](std::size_t i) const { return (*items_)[i]; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size(); }

    // The items to change: this array's own, copied first while another
    // array shares them. The arrays sharing them see no change.
    std::vector<T>& Edit() {
        if (!items_) {
            items_ = std::make_shared<std::vector<T>>();
        } else if (items_.use_count() != 1) {
            items_ = std::make_shared<std::vector<T>>(*items_);
        } else {
            // The last other holder let go on another thread: its reads
            // come before the writes that follow.
            std::atomic_thread_fence(std::memory_order_acquire);
        }
        return *items_;
    }
    void push_back(const T& item) { Edit().push_back(item); }
    void resize(std::size_t count) { Edit().resize(count); }
    void clear() { items_.reset(); }

    // Whether another array holds these very items too.
    bool Shared() const { return items_ != nullptr && items_.use_count() > 1; }
    // Whether both arrays hold the very same items (not only equal ones).
    bool SharesWith(const SharedArray& other) const { return items_ != nullptr && items_ == other.items_; }

private:
    std::shared_ptr<std::vector<T>> items_;  // may be null while empty
};

}  // namespace model
