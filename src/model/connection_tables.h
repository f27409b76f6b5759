// The seams of the figure: for every part type its hierarchy level and the
// neighbour on each boundary list (ConnectionTable), and the parts that hang
// off each seam (AttachmentTable). Both are indexed by type id.
#pragma once

#include <array>
#include <cstdint>

#include "model/part_types.h"

namespace model {

struct SeamEntry {
    std::int32_t neighbourType = -1;
    std::int32_t neighbourList = -1;
};

struct ConnectionRow {
    std::int32_t typeId;
    std::int32_t level;
    std::int32_t seamCount;
    std::array<SeamEntry, 7> seams;  // seam k: boundary list k of this type
};

struct AttachmentSeam {
    std::int32_t dependantCount = 0;  // 0: the seam has no dependants
    std::int32_t childList = 0;       // boundary list of the child (first dependant)
    std::array<std::int32_t, 8> dependants{};  // child first, then what hangs off it
};

struct AttachmentRow {
    std::int32_t seamGroupCount = 0;
    std::array<AttachmentSeam, 7> seams{};
};

extern const std::array<ConnectionRow, kPartTypeCount> ConnectionTable;
extern const std::array<AttachmentRow, kPartTypeCount> AttachmentTable;

}  // namespace model
