// What the glTF, OBJ and STL writers share: the merged figure with its
// vertex list and smooth normals, one material per surface name in material
// order with the faces that use it, and the steps every export ends with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/merged_figure.h"

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace formats {

// All surfaces of one name: the first of them in material order gives the
// colour (surfaces of one name from different parts can differ in it).
struct NamedMaterial {
    const model::SurfaceRecord* record = nullptr;
    std::vector<std::uint32_t> faces;  // merged faces of that name, ascending
};

class ModernFigure {
public:
    // The merged figure, its vertices, normals and materials. False for an
    // empty figure (nothing said) and for a damaged part (reported).
    bool Prepare(model::Creature& creature, ui::MessageSink& messages);

    MergedFigure merged;
    std::vector<NamedMaterial> materials;
};

// The file name without folder and extension: the figure's name in files
// that name it.
std::string FileStem(const std::string& path);

// A colour component as a file takes it: clamped to 0 … 1, NaN as 0.
float ColourComponent(float component);


}  // namespace formats
