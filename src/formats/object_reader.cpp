// Reading object files (*.mwo): a flat walk over tagged chunks. Object files
// come from anywhere, so every length and index is checked against the bytes
// that are really there; a file that does not hold together is refused whole
// rather than half used.
#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <new>
#include <utility>

#include "formats/object_chunks.h"
#include "formats/object_reader.h"
#include "formats/regular_file.h"
#include "model/creature.h"
#include "model/mesh_object.h"
#include "ui/message_sink.h"

namespace formats {
namespace {

using model::kBoundaryListCount;
using model::kMaxPoints;
using model::kSpareSurfaces;
using model::MeshObject;
using model::Polygon;
using model::SurfaceRecord;

constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kHeaderDataBytes = 16;
constexpr std::size_t kPolygonBytes = 10;
constexpr std::size_t kMaxNameBytes = 255;
// Far beyond any part (65 536 points with normals take 1.5 MiB); a larger
// file is not an object file and is not read into memory.
constexpr std::uint64_t kMaxFileBytes = 256ull << 20;
// Polygons name their surface with 16 bits, so no file needs more surfaces.
constexpr std::uint32_t kMaxSurfaces = 65536;

std::uint32_t U32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t U16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

float F32(const unsigned char* p) { return std::bit_cast<float>(U32(p)); }

void DecodeFloats(const unsigned char* p, std::size_t count, std::vector<float>& out) {
    out.resize(count);
    for (std::size_t i = 0; i < count; ++i) out[i] = F32(p + 4 * i);
}

}  // namespace

const char* ReadErrorText(ReadError error) {
    switch (error) {
        case ReadError::kNone: return "accepted";
        case ReadError::kCannotOpen: return "cannot be opened";
        case ReadError::kCannotRead: return "cannot be read";
        case ReadError::kBadMagic: return "bad magic (not an object file)";
        case ReadError::kTooLarge: return "larger than any object file (256 MiB)";
        case ReadError::kOutOfMemory: return "out of memory";
        case ReadError::kCutChunkHeader: return "a chunk header is cut off by the end of the file";
        case ReadError::kChunkPastEnd: return "a chunk runs past the end of the file";
        case ReadError::kSecondHeader: return "a second header chunk";
        case ReadError::kShortHeader: return "the header chunk is shorter than 16 bytes";
        case ReadError::kTooManyPoints: return "more than 65536 points in the header";
        case ReadError::kTooManyPolygons: return "more than 2147483647 polygons in the header";
        case ReadError::kTooManySurfaces: return "more than 65536 surfaces in the header";
        case ReadError::kShortPoints: return "fewer points in PNTS than the header counts";
        case ReadError::kShortNormals: return "fewer normals in NRMS than the header counts";
        case ReadError::kShortPolygons: return "fewer polygons in SRFS than the header counts";
        case ReadError::kPolygonPointOutOfRange: return "a polygon names a point out of range";
        case ReadError::kPolygonSurfaceOutOfRange: return "a polygon names a surface out of range";
        case ReadError::kBoundaryPointOutOfRange: return "a boundary list names a point out of range";
        case ReadError::kNotRegularFile: return "not a regular file";
    }
    return "refused";
}

namespace {

bool Refuse(ObjectRefusal& why, ReadError error, std::size_t at = 0) {
    why.error = error;
    why.at = at;
    why.reason = ReadErrorText(error);
    return false;
}

// The same for a reader that returns a part: no part.
std::unique_ptr<MeshObject> Refused(ObjectRefusal& why, ReadError error) {
    Refuse(why, error);
    return nullptr;
}

// The walk over one file's chunks, filling a part and saying why it stopped.
class ImageReader {
public:
    ImageReader(MeshObject& part, ObjectRefusal& why) : part_(part), why_(why) {}
    bool WalkChunks();

private:
    // Fills surface record `surfaceIndex` from a SURF chunk's data at
    // `dataOffset` in the file's bytes; false when the record has no usable name.
    bool ReadSurfaceChunk(std::size_t surfaceIndex, std::size_t dataOffset, std::uint32_t length);
    // Records why the read is refused; always false.
    bool Refuse(ReadError error, std::size_t at = 0) { return formats::Refuse(why_, error, at); }

    MeshObject& part_;
    ObjectRefusal& why_;
};

}  // namespace

std::unique_ptr<MeshObject> ReadObjectFile(const std::string& path, ObjectRefusal& why) {
    why = ObjectRefusal{};
    std::string problem;
    std::string readable = path;
    if (!CheckRegularFile(readable, problem) && path.find('\\') != std::string::npos) {
        // Project files keep object paths with backslashes: read them as separators.
        std::replace(readable.begin(), readable.end(), '\\', '/');
    }
    // A FIFO or a device would block or never end: only regular files are read.
    if (!CheckRegularFile(readable, problem)) {
        Refuse(why, problem == "not a regular file" ? ReadError::kNotRegularFile : ReadError::kCannotOpen);
        why.reason = problem;  // the system's own words ("No such file or directory")
        return nullptr;
    }
    std::ifstream in(readable, std::ios::binary);
    if (!in) return Refused(why, ReadError::kCannotOpen);
    unsigned char head[4];
    // A file too short for the header id is no object file either.
    if (!in.read(reinterpret_cast<char*>(head), sizeof head))
        return Refused(why, in.eof() ? ReadError::kBadMagic : ReadError::kCannotRead);
    // Refused before anything is allocated.
    if (U32(head) != kHeaderId) return Refused(why, ReadError::kBadMagic);

    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) return Refused(why, ReadError::kCannotRead);
    if (static_cast<std::uint64_t>(size) > kMaxFileBytes) return Refused(why, ReadError::kTooLarge);
    in.seekg(0, std::ios::beg);

    std::vector<unsigned char> image;
    try {
        image.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return Refused(why, ReadError::kOutOfMemory);
    }
    if (!in.read(reinterpret_cast<char*>(image.data()), size)) return Refused(why, ReadError::kCannotRead);
    in.close();

    std::unique_ptr<MeshObject> part = ReadObjectImage(std::move(image), why);
    if (part != nullptr) part->SetObjectName(path);
    return part;
}

std::unique_ptr<MeshObject> ReadObjectImage(std::vector<unsigned char> image, ObjectRefusal& why) {
    why = ObjectRefusal{};
    try {
        auto part = std::make_unique<MeshObject>();
        part->fileImage = std::move(image);
        if (!ImageReader(*part, why).WalkChunks()) return nullptr;
        return part;
    } catch (const std::bad_alloc&) {
        Refuse(why, ReadError::kOutOfMemory);
        return nullptr;
    }
}

bool SetPartFromFile(model::Creature& creature, const std::string& typeName, const std::string& path,
                     std::int32_t panelIndex) {
    // The old part of this type stays until the new one has been read whole.
    ObjectRefusal why;
    std::unique_ptr<MeshObject> part = ReadObjectFile(path, why);
    if (part == nullptr) {
        creature.Messages().Report({ui::Severity::kError, "Unable to add object", path, why.reason});
        return false;
    }
    return creature.SetPart(typeName, std::move(part), panelIndex);
}

bool ImageReader::WalkChunks() {
    const unsigned char* bytes = part_.fileImage.data();
    const std::size_t size = part_.fileImage.size();
    // The first chunk must be the header; everything after relies on its counts.
    if (size < 4 || U32(bytes) != kHeaderId) return Refuse(ReadError::kBadMagic);
    if (size < kChunkHeaderBytes) return Refuse(ReadError::kCutChunkHeader);

    bool headerSeen = false;
    std::size_t surfaceCounter = 0;
    std::size_t at = 0;
    // Every step moves on by at least the 8 header bytes and never past the
    // end, so the walk always finishes.
    while (at < size) {
        // A chunk header cut off by the end of the file: truncated file, refused.
        if (size - at < kChunkHeaderBytes) return Refuse(ReadError::kCutChunkHeader, at);
        const std::uint32_t id = U32(bytes + at);
        const std::uint32_t length = U32(bytes + at + 4);
        const std::size_t data = at + kChunkHeaderBytes;

        if (id == kContainerId) {
            // Its chunks are walked as if they stood at the top level; its
            // own length is never used, so it is not held against the file.
            at = data;
            continue;
        }
        // A chunk running past the end of the file: truncated or damaged, refused.
        if (length > size - data) return Refuse(ReadError::kChunkPastEnd, at);
        const unsigned char* p = bytes + data;

        if (id == kHeaderId) {
            // A second header would change the counts under the arrays already read: refused.
            if (headerSeen) return Refuse(ReadError::kSecondHeader, at);
            // A header too short to hold its four values: refused.
            if (length < kHeaderDataBytes) return Refuse(ReadError::kShortHeader, at);
            const std::uint32_t points32 = U32(p);
            const std::uint32_t polygons32 = U32(p + 4);
            const std::uint32_t surfaces32 = U32(p + 8);
            // Point indices are 16-bit: more points could never be named. Refused.
            if (points32 > static_cast<std::uint32_t>(kMaxPoints)) return Refuse(ReadError::kTooManyPoints, at);
            // A polygon count that does not fit the signed count: refused.
            if (polygons32 > 0x7FFFFFFFu) return Refuse(ReadError::kTooManyPolygons, at);
            // More surfaces than a 16-bit surface index can name: refused.
            if (surfaces32 > kMaxSurfaces) return Refuse(ReadError::kTooManySurfaces, at);
            part_.pointCount = static_cast<std::int32_t>(points32);
            part_.polygonCount = static_cast<std::int32_t>(polygons32);
            part_.surfaceCount = static_cast<std::int32_t>(surfaces32);
            part_.fourthHeaderValue = static_cast<std::int32_t>(U32(p + 12));
            part_.surfaces.assign(static_cast<std::size_t>(part_.surfaceCount) + kSpareSurfaces, SurfaceRecord{});
            headerSeen = true;
        } else if (id == kPointsId || id == kNormalsId) {
            const std::size_t floats = 3 * static_cast<std::size_t>(part_.pointCount);
            // Fewer coordinates than the header's point count: refused.
            if (length < 4 * floats)
                return Refuse(id == kPointsId ? ReadError::kShortPoints : ReadError::kShortNormals, at);
            if (id == kPointsId) {
                DecodeFloats(p, floats, part_.points);
                part_.restPoints = part_.points;
            } else {
                DecodeFloats(p, floats, part_.normals);
            }
        } else if (id == kPolygonsId) {
            const auto count = static_cast<std::size_t>(part_.polygonCount);
            // Fewer polygon records than the header's count: refused.
            if (length / kPolygonBytes < count) return Refuse(ReadError::kShortPolygons, at);
            std::vector<Polygon>& read = part_.polygons.Edit();
            read.resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned char* r = p + kPolygonBytes * i;
                Polygon& polygon = read[i];
                polygon.a = U16(r);
                polygon.b = U16(r + 2);
                polygon.c = U16(r + 4);
                polygon.d = U16(r + 6);
                polygon.surface = U16(r + 8);
                const auto n = static_cast<std::uint32_t>(part_.pointCount);
                // A corner naming a point the file does not have: refused.
                if (polygon.a >= n || polygon.b >= n || polygon.c >= n || polygon.d >= n)
                    return Refuse(ReadError::kPolygonPointOutOfRange, at);
                // A surface outside the table (header count + 10 spare): refused.
                if (polygon.surface >= part_.surfaces.size()) return Refuse(ReadError::kPolygonSurfaceOutOfRange, at);
            }
        } else if (id >= kFirstListId && id < kFirstListId + kBoundaryListCount) {
            std::vector<std::uint16_t>& list = part_.boundaryLists[id - kFirstListId];
            // The entry count is the low 16 bits of the length, halved; an odd
            // last byte is dropped.
            const std::size_t count = (length & 0xFFFFu) / 2;
            list.resize(count);
            for (std::size_t e = 0; e < count; ++e) {
                list[e] = U16(p + 2 * e);
                // A seam entry naming a point the file does not have: refused.
                if (list[e] >= static_cast<std::uint32_t>(part_.pointCount))
                    return Refuse(ReadError::kBoundaryPointOutOfRange, at);
            }
        } else if (id == kSurfaceId) {
            // SURF chunks beyond the table are ignored; the count goes on.
            ReadSurfaceChunk(surfaceCounter, data, length);
            ++surfaceCounter;
        }
        // Any other id is passed over by its length.
        at = data + length;
    }
    return true;
}

bool ImageReader::ReadSurfaceChunk(std::size_t surfaceIndex, std::size_t dataOffset, std::uint32_t length) {
    if (surfaceIndex >= part_.surfaces.size()) return false;
    SurfaceRecord& surface = part_.surfaces[surfaceIndex];
    surface.name.clear();
    surface.colour = {0.5f, 0.5f, 0.5f};
    surface.attributeByteCount = 0;
    surface.attributeOffset = 0;

    const unsigned char* p = part_.fileImage.data() + dataOffset;
    // Without the NAME record the surface keeps an empty name and grey.
    if (length < 8 || U32(p) != kNameId) return false;
    const std::uint32_t nameBytes = U32(p + 4);
    // A name running past its chunk: the surface is taken as unnamed and grey.
    if (nameBytes > length - 8) return false;

    // The name is zero-terminated text of at most 255 bytes; longer names are cut.
    const char* name = reinterpret_cast<const char*>(p + 8);
    const std::size_t kept = std::min<std::size_t>(nameBytes, kMaxNameBytes);
    surface.name.assign(name, static_cast<std::size_t>(std::find(name, name + kept, '\0') - name));

    const std::uint32_t attributeBytes = length - 8 - nameBytes;
    if (attributeBytes == 0) return true;
    surface.attributeByteCount = attributeBytes;
    surface.attributeOffset = dataOffset + 8 + nameBytes;

    // Attribute sub-chunks are big-endian: a 4-character id in reading
    // order, a 16-bit length, the data.
    const unsigned char* attributes = p + 8 + nameBytes;
    std::size_t pos = 0;
    while (pos < attributeBytes) {
        // A sub-chunk header cut off by the end of the attributes ends the walk.
        if (attributeBytes - pos < 6) break;
        const unsigned char* sub = attributes + pos;
        const std::size_t subLength = (static_cast<std::size_t>(sub[4]) << 8) | sub[5];
        if (std::memcmp(sub, "COLR", 4) == 0) {
            // A colour too short to hold red, green and blue leaves the surface grey.
            if (subLength >= 3 && attributeBytes - pos - 6 >= 3) {
                surface.colour = {sub[6] / 255.0f, sub[7] / 255.0f, sub[8] / 255.0f};
            }
            break;
        }
        pos += 6 + subLength;
    }
    return true;
}

}  // namespace formats
