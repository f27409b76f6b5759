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
    for (model::MeshObject* a : figure.parts) {
        if (a->typeId < 0 || a->typeId >= model::kPartTypeCount) continue;
        const model::ConnectionRow& row = model::ConnectionTable[static_cast<std::size_t>(a->typeId)];
        for (int k = 0; k < row.seamCount; ++k) {
            const model::SeamEntry& seam = row.seams[static_cast<std::size_t>(k)];
            const int position = figure.typeTable[static_cast<std::size_t>(seam.neighbourType)];
            if (position < 0) continue;
            model::MeshObject* b = figure.parts[static_cast<std::size_t>(position)];
            const int j = seam.neighbourList;
            if (b->IsBoundaryListMarked(j) == 1) continue;
            a->MarkBoundaryList(k);
            b->MarkBoundaryList(j);
            const auto& keepList = a->boundaryLists[static_cast<std::size_t>(k)];
            const auto& dropList = b->boundaryLists[static_cast<std::size_t>(j)];
            const std::size_t length = std::min(keepList.size(), dropList.size());
            for (std::size_t m = 0; m < length; ++m) {
                const std::uint32_t keep = static_cast<std::uint32_t>(a->exportPointBase) + keepList[m];
                const std::uint32_t drop = static_cast<std::uint32_t>(b->exportPointBase) + dropList[m];
                const std::size_t first = static_cast<std::size_t>(b->exportPolygonBase);
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
