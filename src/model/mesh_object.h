// MeshObject: one body part of the figure, a quad mesh read from an object
// file, with its boundary (seam) lists and deformation settings. Geometry is
// decoded from the file (aligned, host byte order); the file's bytes are
// kept for the surfaces' attribute bytes. The polygons and the file's bytes
// never change once read, and copies of a part share them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/shared_array.h"

namespace model {

constexpr int kBoundaryListCount = 8;
constexpr int kMaxPoints = 65536;  // point indices are 16-bit
constexpr int kSpareSurfaces = 10;
constexpr std::size_t kMaxSurfaceNameBytes = 255;

enum Axis { kAxisX = 0, kAxisY = 1, kAxisZ = 2 };
enum LockMode { kLockNone = 0, kLockPositive = 1, kLockNegative = 2 };

// A part's deformation settings, as "Edit BodyParts" shows them and a
// project file keeps them.
struct PartSettings {
    std::int32_t sliderPositions[3][3] = {};  // [lock mode][axis]
    float sliderSteps[3] = {0.01f, 0.01f, 0.01f};
    float deformFactors[3][3] = {};  // [lock mode][axis]
    std::int32_t lockModes[3] = {};
    std::int32_t spareMode = 0;
};

// One quad a-b-c-d and the index of its surface.
struct Polygon {
    std::uint16_t a = 0;
    std::uint16_t b = 0;
    std::uint16_t c = 0;
    std::uint16_t d = 0;
    std::uint16_t surface = 0;
};

// One surface of a part: name (at most 255 bytes), colour, attribute bytes.
struct SurfaceRecord {
    std::string name;
    std::uint32_t attributeByteCount = 0;
    std::array<float, 3> colour{0.5f, 0.5f, 0.5f};
    std::size_t attributeOffset = 0;  // offset of the attribute bytes in fileImage
};

class MeshObject {
public:
    MeshObject() = default;
    ~MeshObject() = default;

    // A part of its own with everything this one holds, its polygons and
    // file bytes shared with this one.
    std::unique_ptr<MeshObject> Copy() const { return std::unique_ptr<MeshObject>(new MeshObject(*this)); }
    // Takes everything `kept` holds, as a copy does; the part stays where
    // it is, so whoever points at it still does.
    void AssignFrom(const MeshObject& kept) { *this = kept; }

    bool SetObjectName(const std::string& path);
    bool SetObjectType(const std::string& typeName);
    bool CheckPoints() const;
    void SetTypeId(std::int32_t id) { typeId = id; }

    // Boundary list k (0 … 7); null and 0 for any other k or an absent list.
    const std::uint16_t* BoundaryList(int k) const;
    std::uint16_t BoundaryCount(int k) const;

    // Moves points and restPoints (not normals); false without points.
    bool Translate(float dx, float dy, float dz);

    float* Point(int i) { return &points[3 * static_cast<std::size_t>(i)]; }
    const float* Point(int i) const { return &points[3 * static_cast<std::size_t>(i)]; }

    std::int32_t fourthHeaderValue = 0;
    std::int32_t typeId = -1;
    std::int32_t panelIndex = 0;
    std::string objectName;
    std::string objectType;

    // pointCount × 3 floats each; empty when the file had no such chunk.
    // A file without normals is accepted: normals stay empty, the part is
    // drawn with zero normals and welding moves the points only.
    // The counts are the header's; walk the vectors, which may be empty
    // where the file lacked a chunk.
    std::vector<float> restPoints;
    std::vector<float> points;
    std::vector<float> normals;
    SharedArray<unsigned char> fileImage;
    SharedArray<Polygon> polygons;
    std::array<std::vector<std::uint16_t>, kBoundaryListCount> boundaryLists;

    std::int32_t pointCount = 0;
    std::int32_t polygonCount = 0;
    std::int32_t surfaceCount = 0;
    std::vector<SurfaceRecord> surfaces;  // surfaceCount + 10 records

    PartSettings settings;

private:
    MeshObject(const MeshObject&) = default;
    MeshObject& operator=(const MeshObject&) = default;
};

}  // namespace model
