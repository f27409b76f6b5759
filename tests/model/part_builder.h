// Parts for the model tests, made through the object file writer and reader
// so that they are exactly what SetPart would produce.
#pragma once

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "formats/object_reader.h"
#include "formats/object_writer.h"
#include "model/mesh_object.h"

namespace testdata {

struct PartShape {
    std::vector<float> points;  // x, y, z per point
    std::array<std::vector<std::uint16_t>, model::kBoundaryListCount> lists;
    std::array<float, 3> normal{0, 0, 1};  // the same normal on every point
    bool withNormals = true;
};

// Appends points and returns the indices they got.
inline std::vector<std::uint16_t> AddPoints(PartShape& shape, const std::vector<std::array<float, 3>>& points) {
    std::vector<std::uint16_t> indices;
    for (const auto& p : points) {
        indices.push_back(static_cast<std::uint16_t>(shape.points.size() / 3));
        shape.points.insert(shape.points.end(), p.begin(), p.end());
    }
    return indices;
}

// Adds a seam of `count` points as list k: a row along x centred exactly on
// `centre` (offsets are halves, so every sum is exact).
inline void AddSeam(PartShape& shape, int k, std::array<float, 3> centre, int count) {
    std::vector<std::array<float, 3>> row;
    for (int e = 0; e < count; ++e) {
        row.push_back({centre[0] + static_cast<float>(e) - static_cast<float>(count - 1) / 2, centre[1], centre[2]});
    }
    shape.lists[static_cast<std::size_t>(k)] = AddPoints(shape, row);
}

inline formats::ObjectFileData FileData(const PartShape& shape) {
    formats::ObjectFileData data;
    data.points = shape.points;
    if (shape.withNormals) {
        for (std::size_t i = 0; i < shape.points.size() / 3; ++i) {
            data.normals.insert(data.normals.end(), shape.normal.begin(), shape.normal.end());
        }
    }
    data.boundaryLists = shape.lists;
    return data;
}

// A part read from the shape's bytes, typed but not yet in a figure.
inline std::unique_ptr<model::MeshObject> MakePart(const std::string& type, const PartShape& shape) {
    formats::ObjectRefusal why;
    std::unique_ptr<model::MeshObject> part = formats::ReadObjectImage(formats::WriteObjectImage(FileData(shape)), why);
    if (part == nullptr) return nullptr;
    part->SetObjectType(type);
    return part;
}

inline std::array<float, 3> PointOf(const model::MeshObject& part, std::size_t i) {
    return {part.points[3 * i], part.points[3 * i + 1], part.points[3 * i + 2]};
}

inline std::array<double, 3> SeamCentre(const model::MeshObject& part, int k) {
    std::array<double, 3> sum{0, 0, 0};
    const auto& list = part.boundaryLists[static_cast<std::size_t>(k)];
    for (std::uint16_t i : list) {
        for (std::size_t a = 0; a < 3; ++a) sum[a] += part.points[3 * i + a];
    }
    for (double& v : sum) v /= static_cast<double>(list.size());
    return sum;
}

// Entry e of one list sits on entry e of the other.
inline ::testing::AssertionResult SeamClosed(const model::MeshObject& a, int ka, const model::MeshObject& b,
                                             int kb) {
    const auto& la = a.boundaryLists[static_cast<std::size_t>(ka)];
    const auto& lb = b.boundaryLists[static_cast<std::size_t>(kb)];
    if (la.size() != lb.size() || la.empty()) return ::testing::AssertionFailure() << "lists differ or are empty";
    for (std::size_t e = 0; e < la.size(); ++e) {
        const auto p = PointOf(a, la[e]);
        const auto q = PointOf(b, lb[e]);
        for (std::size_t c = 0; c < 3; ++c) {
            if (std::abs(p[c] - q[c]) > 1e-5f) {
                return ::testing::AssertionFailure() << "entry " << e << " axis " << c << ": " << p[c] << " vs " << q[c];
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// Writes the shape as an object file; returns its path.
inline std::string WritePart(const std::filesystem::path& path, const PartShape& shape) {
    formats::WriteObjectFile(path.string(), FileData(shape));
    return path.string();
}

inline std::string WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

}  // namespace testdata
