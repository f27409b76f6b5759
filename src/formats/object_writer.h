// Writes object files (*.mwo): the header chunk, points, normals, polygons,
// surfaces with name and colour, boundary lists, optionally the surfaces
// inside a container chunk. Little-endian, byte by byte. The sample library
// generator and the tests use it; what the reader reads back is the same
// object.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/mesh_object.h"

namespace formats {

struct ObjectSurface {
    std::string name;
    bool hasColour = true;
    std::array<std::uint8_t, 3> colour{128, 128, 128};  // written as a COLR sub-chunk
};

struct ObjectFileData {
    std::vector<float> points;   // x, y, z per point
    std::vector<float> normals;  // one per point; empty: no normals chunk
    std::vector<model::Polygon> polygons;
    std::vector<ObjectSurface> surfaces;
    std::array<std::vector<std::uint16_t>, model::kBoundaryListCount> boundaryLists;
    std::int32_t fourthHeaderValue = 0;
    bool surfacesInContainer = false;  // SURF chunks inside a SUFS chunk
};

// False for data no reader could take back whole: point coordinates not in
// threes, more than 65536 points, normals not one per point, a point index
// outside the points, a surface index past the ten spare records, more than
// 65536 surfaces, a surface name over 255 bytes or with a zero byte, a
// boundary list whose byte length does not fit 16 bits.
bool ObjectDataIsWritable(const ObjectFileData& data);
// The file's bytes; empty when the data is not writable.
std::vector<unsigned char> WriteObjectImage(const ObjectFileData& data);
// False when the file cannot be written; never leaves a half-written file.
bool WriteObjectFile(const std::string& path, const ObjectFileData& data);

}  // namespace formats
