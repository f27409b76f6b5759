#include "formats/object_writer.h"

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "formats/object_chunks.h"

namespace formats {
namespace {

// Polygons name their surface with 16 bits; the reader takes no more.
constexpr std::size_t kMaxSurfaces = 65536;

class ByteWriter {
public:
    explicit ByteWriter(std::vector<unsigned char>& out) : out_(out) {}

    void U16(std::uint16_t v) {
        out_.push_back(static_cast<unsigned char>(v & 0xFF));
        out_.push_back(static_cast<unsigned char>(v >> 8));
    }
    void U32(std::uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) out_.push_back(static_cast<unsigned char>(v >> shift));
    }
    void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
    void Bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        out_.insert(out_.end(), p, p + size);
    }
    void Byte(unsigned char b) { out_.push_back(b); }

    // Starts a chunk and returns where its length goes; EndChunk fills it in.
    std::size_t BeginChunk(std::uint32_t id) {
        U32(id);
        const std::size_t at = out_.size();
        U32(0);
        return at;
    }
    void EndChunk(std::size_t lengthAt) {
        const auto length = static_cast<std::uint32_t>(out_.size() - lengthAt - 4);
        for (int i = 0; i < 4; ++i) out_[lengthAt + i] = static_cast<unsigned char>(length >> (8 * i));
    }

private:
    std::vector<unsigned char>& out_;
};

void WriteSurface(ByteWriter& w, const ObjectSurface& surface) {
    const std::size_t at = w.BeginChunk(kSurfaceId);
    w.U32(kNameId);
    w.U32(static_cast<std::uint32_t>(surface.name.size()));
    w.Bytes(surface.name.data(), surface.name.size());
    if (surface.hasColour) {
        // Attribute sub-chunks are big-endian, their ids in reading order.
        w.Bytes("COLR", 4);
        w.Byte(0);
        w.Byte(4);
        w.Byte(surface.colour[0]);
        w.Byte(surface.colour[1]);
        w.Byte(surface.colour[2]);
        w.Byte(0);
    }
    w.EndChunk(at);
}

}  // namespace

bool ObjectDataIsWritable(const ObjectFileData& data) {
    if (data.points.size() % 3 != 0) return false;
    const std::size_t pointCount = data.points.size() / 3;
    if (pointCount > static_cast<std::size_t>(model::kMaxPoints)) return false;
    if (!data.normals.empty() && data.normals.size() != data.points.size()) return false;
    // The reader gives every file ten spare surface records beyond the ones
    // written, and refuses a polygon naming a surface past them.
    if (data.surfaces.size() > kMaxSurfaces) return false;
    const std::size_t surfaceRecords = data.surfaces.size() + model::kSpareSurfaces;
    for (const model::Polygon& p : data.polygons) {
        if (p.a >= pointCount || p.b >= pointCount || p.c >= pointCount || p.d >= pointCount) return false;
        if (p.surface >= surfaceRecords) return false;
    }
    for (const ObjectSurface& s : data.surfaces) {
        // A surface name is text: the reader keeps at most 255 bytes and
        // ends it at the first zero byte.
        if (s.name.size() > 255 || s.name.find('\0') != std::string::npos) return false;
    }
    for (const auto& list : data.boundaryLists) {
        // The reader takes the low 16 bits of the chunk length as the size.
        if (list.size() * 2 > 0xFFFF) return false;
        for (std::uint16_t index : list) {
            if (index >= pointCount) return false;
        }
    }
    return true;
}

std::vector<unsigned char> WriteObjectImage(const ObjectFileData& data) {
    std::vector<unsigned char> image;
    if (!ObjectDataIsWritable(data)) return image;
    ByteWriter w(image);

    const auto pointCount = static_cast<std::uint32_t>(data.points.size() / 3);
    std::size_t at = w.BeginChunk(kHeaderId);
    w.U32(pointCount);
    w.U32(static_cast<std::uint32_t>(data.polygons.size()));
    w.U32(static_cast<std::uint32_t>(data.surfaces.size()));
    w.U32(static_cast<std::uint32_t>(data.fourthHeaderValue));
    w.EndChunk(at);

    at = w.BeginChunk(kPointsId);
    for (float v : data.points) w.F32(v);
    w.EndChunk(at);

    if (!data.normals.empty()) {
        at = w.BeginChunk(kNormalsId);
        for (float v : data.normals) w.F32(v);
        w.EndChunk(at);
    }

    at = w.BeginChunk(kPolygonsId);
    for (const model::Polygon& p : data.polygons) {
        w.U16(p.a);
        w.U16(p.b);
        w.U16(p.c);
        w.U16(p.d);
        w.U16(p.surface);
    }
    w.EndChunk(at);

    if (data.surfacesInContainer) {
        at = w.BeginChunk(kContainerId);
        for (const ObjectSurface& s : data.surfaces) WriteSurface(w, s);
        w.EndChunk(at);
    } else {
        for (const ObjectSurface& s : data.surfaces) WriteSurface(w, s);
    }

    static constexpr std::uint32_t kListIds[model::kBoundaryListCount] = {
        ChunkId("P001"), ChunkId("P002"), ChunkId("P003"), ChunkId("P004"),
        ChunkId("P005"), ChunkId("P006"), ChunkId("P007"), ChunkId("P008")};
    for (int k = 0; k < model::kBoundaryListCount; ++k) {
        const auto& list = data.boundaryLists[k];
        if (list.empty()) continue;
        at = w.BeginChunk(kListIds[k]);
        for (std::uint16_t index : list) w.U16(index);
        w.EndChunk(at);
    }
    return image;
}

bool WriteObjectFile(const std::string& path, const ObjectFileData& data) {
    const std::vector<unsigned char> image = WriteObjectImage(data);
    if (image.empty()) return false;

    // Write beside the target and rename, so a reader never meets half a file.
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace formats
