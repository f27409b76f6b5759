// The second half of `mwbatch check`: figures assembled from the library as
// the program assembles them, so that every variant of every part is used at
// least once, each merged as the exports merge it and looked over for holes
// (edges that only one triangle uses) and triangles without area. These are
// warnings: the program loads such a library, but a figure made of it is no
// closed shell for a printer or a game engine.
#pragma once

#include <string>
#include <vector>

#include "cli/check_library.h"

namespace cli {

struct FigureWarning {
    int figure = 0;            // 1-based, of FigureChecks::figureCount
    std::string where;         // "seam Head / Nose (Oval head.mwo, Straight nose.mwo)" or "Nose (Straight nose.mwo)"
    int openEdges = 0;         // edges of one triangle only
    int crowdedEdges = 0;      // edges of more than two triangles
    int flatTriangles = 0;     // triangles without area

    std::string Text() const;  // "figure 2 of 4: seam ...: 3 open edges"
};

struct FigureChecks {
    int figureCount = 0;
    std::vector<FigureWarning> warnings;
};

// Assembles max(loadable files of a folder) figures: figure i takes the
// i-th loadable file of every folder (round again for folders with fewer),
// the parts set in the selection panel's order.
FigureChecks CheckFigures(const std::string& objectDir, const LibraryCheck& files);

}  // namespace cli
