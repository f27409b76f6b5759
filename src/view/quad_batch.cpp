#include "view/quad_batch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace view {

PartGeometry InspectPart(const model::MeshObject& part, const PlacedPoints& placed) {
    PartGeometry geometry;
    // Point indices are 16-bit, so more than kMaxPoints points can never be addressed.
    std::size_t usable = std::min<std::size_t>(placed.points.size() / 3, model::kMaxPoints);
    usable = std::min<std::size_t>(usable, static_cast<std::size_t>(std::max(part.pointCount, 0)));
    geometry.usablePoints = static_cast<int>(usable);
    geometry.points = usable > 0 ? placed.points.data() : nullptr;
    // A part read without normals is drawn with zero normals; it is lit by
    // the flat rule instead.
    if (usable > 0 && part.normals.size() / 3 >= usable && placed.normals.size() / 3 >= usable) {
        geometry.normals = placed.normals.data();
    }
    std::size_t polygons = std::min<std::size_t>(part.polygons.size(),
                                                 static_cast<std::size_t>(std::max(part.polygonCount, 0)));
    geometry.polygonCount = static_cast<int>(polygons);
    geometry.polygons = polygons > 0 ? part.polygons.data() : nullptr;
    return geometry;
}

bool FaceNormal(const float* points, const model::Polygon& polygon, float normal[3]) {
    const float* p0 = points + 3 * static_cast<std::size_t>(polygon.a);
    const float* p1 = points + 3 * static_cast<std::size_t>(polygon.b);
    const float* p2 = points + 3 * static_cast<std::size_t>(polygon.c);
    float e1x = p1[0] - p0[0];
    float e1y = p1[1] - p0[1];
    float e1z = p1[2] - p0[2];
    float e2x = p2[0] - p0[0];
    float e2y = p2[1] - p0[1];
    float e2z = p2[2] - p0[2];
    float nx = e1y * e2z - e1z * e2y;
    float ny = e1z * e2x - e1x * e2z;
    float nz = e1x * e2y - e1y * e2x;
    if (nx == 0.0f && ny == 0.0f && nz == 0.0f) {
        return false;
    }
    float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    // The cut-off is relative to the edges (the sine of their angle), so a
    // small but sound quad of a figure a third of a unit tall gets its own
    // normal, and only equal or collinear corners keep the current one.
    // Also refuses a NaN length, which no quad can be lit with.
    const float edges = std::sqrt(e1x * e1x + e1y * e1y + e1z * e1z) * std::sqrt(e2x * e2x + e2y * e2y + e2z * e2z);
    if (!(length > 0.00001f * edges)) {
        return false;
    }
    normal[0] = nx / length;
    normal[1] = ny / length;
    normal[2] = nz / length;
    return true;
}

void SurfaceColour(const model::MeshObject& part, std::uint16_t surface, float colour[3]) {
    if (surface < part.surfaces.size()) {
        const auto& c = part.surfaces[surface].colour;
        colour[0] = c[0];
        colour[1] = c[1];
        colour[2] = c[2];
    } else {
        colour[0] = colour[1] = colour[2] = 0.5f;
    }
}

void QuadBatch::StartRuns() {
    runs_.clear();
    quadCount_ = 0;
    leadingInherited_ = 0;
    hasLastNormal_ = false;
    inheritedNormals_ = nullptr;
    inheritedVertices_ = 0;
}

void QuadBatch::AddToRuns(std::uint16_t surface) {
    if (runs_.empty() || runs_.back().surface != surface) {
        SurfaceRun run;
        run.surface = surface;
        run.firstQuad = quadCount_;
        runs_.push_back(run);
    }
    ++runs_.back().quadCount;
    ++quadCount_;
}

void QuadBatch::BuildIndexed(const PartGeometry& geometry) {
    StartRuns();
    std::size_t need = 4 * static_cast<std::size_t>(geometry.polygonCount);
    if (indices_.size() < need) {
        indices_.resize(need);
    }
    std::uint16_t* out = indices_.data();
    for (int i = 0; i < geometry.polygonCount; ++i) {
        const model::Polygon& polygon = geometry.polygons[i];
        if (!PolygonInRange(polygon, geometry.usablePoints)) {
            continue;
        }
        std::uint16_t* quad = out + 4 * static_cast<std::size_t>(quadCount_);
        quad[0] = polygon.a;
        quad[1] = polygon.b;
        quad[2] = polygon.c;
        quad[3] = polygon.d;
        AddToRuns(polygon.surface);
    }
}

void QuadBatch::BuildCorners(const PartGeometry& geometry, bool pointNormals) {
    StartRuns();
    std::size_t need = 12 * static_cast<std::size_t>(geometry.polygonCount);
    if (corners_.size() < need) {
        corners_.resize(need);
        cornerNormals_.resize(need);
    }
    pointNormals = pointNormals && geometry.normals != nullptr;
    float* corners = corners_.data();
    float* normals = cornerNormals_.data();
    const float* points = geometry.points;
    float normal[3] = {0, 0, 1};
    for (int i = 0; i < geometry.polygonCount; ++i) {
        const model::Polygon& polygon = geometry.polygons[i];
        if (!PolygonInRange(polygon, geometry.usablePoints)) {
            continue;
        }
        if (pointNormals) {
            hasLastNormal_ = true;
        } else if (FaceNormal(points, polygon, normal)) {
            hasLastNormal_ = true;
        } else if (!hasLastNormal_) {
            ++leadingInherited_;
        }
        std::size_t base = 12 * static_cast<std::size_t>(quadCount_);
        const std::uint16_t corner[4] = {polygon.a, polygon.b, polygon.c, polygon.d};
        for (int k = 0; k < 4; ++k) {
            std::size_t source = 3 * static_cast<std::size_t>(corner[k]);
            if (pointNormals) {
                std::copy(geometry.normals + source, geometry.normals + source + 3, normal);
            }
            float* c = corners + base + 3 * k;
            float* n = normals + base + 3 * k;
            c[0] = points[source];
            c[1] = points[source + 1];
            c[2] = points[source + 2];
            n[0] = normal[0];
            n[1] = normal[1];
            n[2] = normal[2];
        }
        AddToRuns(polygon.surface);
    }
    if (hasLastNormal_) {
        std::copy(normal, normal + 3, lastNormal_);
    }
    inheritedNormals_ = normals;
    inheritedVertices_ = 4 * leadingInherited_;
}

void QuadBatch::BuildFlatIndexed(const PartGeometry& geometry) {
    StartRuns();
    const std::size_t usable = static_cast<std::size_t>(geometry.usablePoints);
    const std::size_t polygons = static_cast<std::size_t>(geometry.polygonCount);
    // Each quad adds at most one copy, so the bound is known before the build.
    wideIndices_ = usable + polygons > 65536;
    if (pointNormals_.size() < 3 * (usable + polygons)) {
        pointNormals_.resize(3 * (usable + polygons));
    }
    if (normalSet_.size() < usable) {
        normalSet_.resize(usable);
    }
    std::fill(normalSet_.begin(), normalSet_.begin() + static_cast<std::ptrdiff_t>(usable), 0);
    copiedFrom_.clear();
    if (wideIndices_) {
        if (indices32_.size() < 4 * polygons) {
            indices32_.resize(4 * polygons);
        }
        BuildFlat(geometry, indices32_.data());
    } else {
        if (indices_.size() < 4 * polygons) {
            indices_.resize(4 * polygons);
        }
        BuildFlat(geometry, indices_.data());
    }
    flatPoints_ = geometry.points;
    if (!copiedFrom_.empty()) {
        pointCopies_.resize(3 * (usable + copiedFrom_.size()));
        std::copy(geometry.points, geometry.points + 3 * usable, pointCopies_.begin());
        float* copy = pointCopies_.data() + 3 * usable;
        for (std::uint16_t from : copiedFrom_) {
            std::copy(geometry.points + 3 * static_cast<std::size_t>(from),
                      geometry.points + 3 * static_cast<std::size_t>(from) + 3, copy);
            copy += 3;
        }
        flatPoints_ = pointCopies_.data();
    }
    // The leading quads are the first ones built, so their copies come first.
    inheritedNormals_ = pointNormals_.data() + 3 * usable;
    inheritedVertices_ = leadingInherited_;
}

template <typename Index>
void QuadBatch::BuildFlat(const PartGeometry& geometry, Index* indices) {
    const std::size_t usable = static_cast<std::size_t>(geometry.usablePoints);
    float* pointNormals = pointNormals_.data();
    std::uint8_t* normalSet = normalSet_.data();
    float normal[3] = {0, 0, 1};
    for (int i = 0; i < geometry.polygonCount; ++i) {
        const model::Polygon& polygon = geometry.polygons[i];
        if (!PolygonInRange(polygon, geometry.usablePoints)) {
            continue;
        }
        bool inherited = false;
        if (FaceNormal(geometry.points, polygon, normal)) {
            hasLastNormal_ = true;
        } else if (!hasLastNormal_) {
            ++leadingInherited_;
            inherited = true;
        }
        std::size_t last = polygon.d;
        float* slot = pointNormals + 3 * last;
        if (inherited || (normalSet[last] != 0 && std::memcmp(slot, normal, sizeof normal) != 0)) {
            last = usable + copiedFrom_.size();
            slot = pointNormals + 3 * last;
            copiedFrom_.push_back(polygon.d);
        } else {
            normalSet[last] = 1;
        }
        slot[0] = normal[0];
        slot[1] = normal[1];
        slot[2] = normal[2];
        Index* quad = indices + 4 * static_cast<std::size_t>(quadCount_);
        quad[0] = polygon.a;
        quad[1] = polygon.b;
        quad[2] = polygon.c;
        quad[3] = static_cast<Index>(last);
        AddToRuns(polygon.surface);
    }
    if (hasLastNormal_) {
        std::copy(normal, normal + 3, lastNormal_);
    }
}

const void* QuadBatch::FlatIndices() const {
    if (wideIndices_) {
        return indices32_.data();
    }
    return indices_.data();
}

void QuadBatch::FillInherited(const float currentNormal[3]) {
    for (int i = 0; i < inheritedVertices_; ++i) {
        inheritedNormals_[3 * i] = currentNormal[0];
        inheritedNormals_[3 * i + 1] = currentNormal[1];
        inheritedNormals_[3 * i + 2] = currentNormal[2];
    }
}

QuadBatch& SharedQuadBatch() {
    // One per thread: headless renderers draw on several threads at once.
    static thread_local QuadBatch batch;
    return batch;
}

}  // namespace view
