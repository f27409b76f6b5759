// Figures for the export tests: parts read from object file bytes (as
// SetPart would read them) or put together in code, a folder that goes away
// with the test, and the bytes of a file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "formats/object_reader.h"
#include "formats/object_writer.h"
#include "model/creature.h"
#include "model/mesh_object.h"
#include "model/part_types.h"
#include "../../support/recording_sink.h"
#include "../../support/temp_folder.h"

namespace exporttest {

using testsupport::RecordingSink;

// A part read back from the object file the data makes, typed but not in a figure.
inline std::unique_ptr<model::MeshObject> ReadPart(const std::string& type, const formats::ObjectFileData& data) {
    formats::ObjectRefusal why;
    std::unique_ptr<model::MeshObject> part = formats::ReadObjectImage(formats::WriteObjectImage(data), why);
    if (part == nullptr) {
        ADD_FAILURE() << type << ": " << why.reason;
        part = std::make_unique<model::MeshObject>();
    }
    part->SetObjectType(type);
    return part;
}

// A part made in code with the given type (not welded, not moved).
inline std::unique_ptr<model::MeshObject> CodePart(const std::string& type, std::vector<float> points,
                                                    std::vector<model::Polygon> polygons,
                                                    std::vector<std::string> surfaceNames = {"Skin"}) {
    auto part = std::make_unique<model::MeshObject>();
    part->SetObjectType(type);
    part->SetTypeId(model::TypeIdOfName(type));
    part->pointCount = static_cast<std::int32_t>(points.size() / 3);
    part->points = std::move(points);
    part->restPoints = part->points;
    part->polygonCount = static_cast<std::int32_t>(polygons.size());
    part->polygons = std::move(polygons);
    part->surfaceCount = static_cast<std::int32_t>(surfaceNames.size());
    for (std::string& name : surfaceNames) {
        model::SurfaceRecord surface;
        surface.name = std::move(name);
        part->surfaces.push_back(surface);
    }
    part->surfaces.resize(part->surfaces.size() + model::kSpareSurfaces);
    return part;
}

// Appends a part to the figure as it is: no placing, no welding.
inline model::MeshObject* Append(model::Creature& creature, std::unique_ptr<model::MeshObject> part) {
    model::MeshObject* raw = part.get();
    creature.parts.Append(std::move(part));
    return raw;
}

inline std::vector<unsigned char> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using testsupport::TempFolder;

}  // namespace exporttest
