#include "model/mesh_object.h"

namespace model {

bool MeshObject::SetObjectName(const std::string& path) {
    objectName = path;
    return true;
}

bool MeshObject::SetObjectType(const std::string& typeName) {
    objectType = typeName;
    return true;
}

bool MeshObject::CheckPoints() const { return !points.empty(); }

const std::uint16_t* MeshObject::BoundaryList(int k) const {
    if (static_cast<unsigned>(k) >= static_cast<unsigned>(kBoundaryListCount)) return nullptr;
    const auto& list = boundaryLists[static_cast<std::size_t>(k)];
    return list.empty() ? nullptr : list.data();
}

std::uint16_t MeshObject::BoundaryCount(int k) const {
    if (static_cast<unsigned>(k) >= static_cast<unsigned>(kBoundaryListCount)) return 0;
    return static_cast<std::uint16_t>(boundaryLists[static_cast<std::size_t>(k)].size());
}

bool MeshObject::Translate(float dx, float dy, float dz) {
    if (points.empty()) return false;
    // Points and rest points move together, so that a later deformation,
    // which starts again from the rest points, keeps the part where it was put.
    for (std::vector<float>* array : {&points, &restPoints}) {
        std::vector<float>& v = *array;
        for (std::size_t i = 0; i + 2 < v.size(); i += 3) {
            v[i] += dx;
            v[i + 1] += dy;
            v[i + 2] += dz;
        }
    }
    return true;
}

}  // namespace model
