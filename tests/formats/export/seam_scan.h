// Seam merging done the plain way, to hold the program's own against: for
// every seam entry, every face of the neighbour is scanned and each corner
// equal to the dropped point is replaced by the kept one. Quadratic.
#pragma once

#include <algorithm>

#include "formats/merged_figure.h"
#include "model/connection_tables.h"

namespace exporttest {

// On a figure that went through Collect only.
inline void MergeSeamsByScan(formats::MergedFigure& figure) {
    for (std::size_t at = 0; at < figure.parts.size(); ++at) {
        const model::MeshObject* a = figure.parts[at];
        if (a->typeId < 0 || a->typeId >= model::kPartTypeCount) continue;
        const model::ConnectionRow& row = model::ConnectionTable[static_cast<std::size_t>(a->typeId)];
        for (int k = 0; k < row.seamCount; ++k) {
            const model::SeamEntry& seam = row.seams[static_cast<std::size_t>(k)];
            const int position = figure.typeTable[static_cast<std::size_t>(seam.neighbourType)];
            if (position < 0) continue;
            const auto bt = static_cast<std::size_t>(position);
            const model::MeshObject* b = figure.parts[bt];
            const int j = seam.neighbourList;
            if (figure.marks[bt].IsBoundaryListMarked(j) == 1) continue;
            figure.marks[at].MarkBoundaryList(k);
            figure.marks[bt].MarkBoundaryList(j);
            const auto& keepList = a->boundaryLists[static_cast<std::size_t>(k)];
            const auto& dropList = b->boundaryLists[static_cast<std::size_t>(j)];
            const std::size_t length = std::min(keepList.size(), dropList.size());
            for (std::size_t m = 0; m < length; ++m) {
                const std::uint32_t keep = figure.pointBase[at] + keepList[m];
                const std::uint32_t drop = figure.pointBase[bt] + dropList[m];
                const std::size_t first = figure.polygonBase[bt];
                for (std::size_t f = first; f < first + b->polygons.size(); ++f) {
                    for (std::uint32_t& corner : figure.faces[f].corners) {
                        if (corner == drop) corner = keep;
                    }
                }
            }
        }
    }
}

}  // namespace exporttest
