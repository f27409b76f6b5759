// The .3ds writer: one triangle object "NECK" with all merged vertices, two
// triangles per quad, one material per surface in material order and a face
// group per material. Every length is known from the merged figure before
// the first byte, so the file is written front to back in one pass.
#include "formats/export_3ds.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string_view>
#include <unordered_map>

#include "formats/atomic_file.h"
#include "formats/export_report.h"
#include "formats/merged_figure.h"

namespace formats {

namespace {

constexpr std::uint16_t kMagic = 0x4D4D;
constexpr std::uint16_t kVersion = 0x0002;
constexpr std::uint16_t kMeshData = 0x3D3D;
constexpr std::uint16_t kMeshVersion = 0x3D3E;
constexpr std::uint16_t kMaterialEntry = 0xAFFF;
constexpr std::uint16_t kMaterialName = 0xA000;
constexpr std::uint16_t kAmbient = 0xA010;
constexpr std::uint16_t kDiffuse = 0xA020;
constexpr std::uint16_t kSpecular = 0xA030;
constexpr std::uint16_t kShininess = 0xA040;
constexpr std::uint16_t kShininessStrength = 0xA050;
constexpr std::uint16_t kShading = 0xA100;
constexpr std::uint16_t kColour24 = 0x0011;
constexpr std::uint16_t kPercentage = 0x0030;
constexpr std::uint16_t kMasterScale = 0x0100;
constexpr std::uint16_t kNamedObject = 0x4000;
constexpr std::uint16_t kTriangleObject = 0x4100;
constexpr std::uint16_t kPointArray = 0x4110;
constexpr std::uint16_t kFaceArray = 0x4120;
constexpr std::uint16_t kMaterialGroup = 0x4130;

constexpr std::uint32_t kHeaderBytes = 6;
constexpr std::string_view kObjectName{"NECK      \0", 11};  // with its zero byte
constexpr std::size_t kMaxNameBytes = 15;
// Edges a-b and b-c visible, the diagonal c-a hidden.
constexpr std::uint16_t kFaceFlags = 6;
constexpr std::uint64_t kMax16 = 0xFFFF;

// The name as 3D Studio holds it (the group still matches on the full name).
std::string_view StoredName(const std::string& name) {
    return std::string_view(name).substr(0, kMaxNameBytes);
}

std::uint8_t ColourByte(float component) {
    // Times 255, truncated toward zero; 0.5 gives 127.
    const float scaled = component * 255.0f;
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 255.0f) return 255;
    return static_cast<std::uint8_t>(scaled);
}

struct Material {
    const MergedSurface* surface;
    std::uint32_t name;  // entry of Plan::polygonsByName
};

// Everything the file holds beyond the merged figure, with the lengths.
struct Plan {
    std::vector<Material> materials;  // material order
    std::vector<std::vector<std::uint32_t>> polygonsByName;
    std::uint64_t pointArray = 0;
    std::uint64_t faceArray = 0;
    std::uint64_t triangleObject = 0;
    std::uint64_t namedObject = 0;
    std::uint64_t meshData = 0;
    std::uint64_t magic = 0;
};

Plan MakePlan(const MergedFigure& figure) {
    Plan plan;
    // Groups match by the full name, byte for byte: one polygon list per name.
    std::unordered_map<std::string_view, std::uint32_t> nameIds;
    std::vector<std::uint32_t> nameOfSurface(figure.surfaces.size());
    for (std::size_t s = 0; s < figure.surfaces.size(); ++s) {
        const auto [at, added] = nameIds.try_emplace(figure.surfaces[s].name,
                                                     static_cast<std::uint32_t>(nameIds.size()));
        nameOfSurface[s] = at->second;
    }
    plan.polygonsByName.resize(nameIds.size());
    for (std::uint32_t i = 0; i < figure.faces.size(); ++i) {
        plan.polygonsByName[nameOfSurface[figure.faces[i].surface]].push_back(i);
    }

    const std::uint64_t vertexCount = figure.vertices.size();
    const std::uint64_t polygonCount = figure.faces.size();
    std::uint64_t materialBytes = 0;
    std::uint64_t groupBytes = 0;
    for (std::uint32_t s : figure.materialOrder) {
        const Material material{&figure.surfaces[s], nameOfSurface[s]};
        plan.materials.push_back(material);
        const std::uint64_t nameBytes = StoredName(material.surface->name).size();
        const std::size_t polygons = plan.polygonsByName[material.name].size();
        materialBytes += 94 + nameBytes;
        if (polygons > 0) groupBytes += 9 + nameBytes + 4 * polygons;
    }
    plan.pointArray = 8 + 12 * vertexCount;
    plan.faceArray = 8 + 16 * polygonCount + groupBytes;
    plan.triangleObject = kHeaderBytes + plan.pointArray + plan.faceArray;
    plan.namedObject = kHeaderBytes + kObjectName.size() + plan.triangleObject;
    plan.meshData = kHeaderBytes + 10 + materialBytes + 10 + plan.namedObject;
    plan.magic = kHeaderBytes + 10 + plan.meshData;
    return plan;
}

// The limit of the format the figure passes, or an empty text.
std::string LimitPassed(const MergedFigure& figure, const Plan& plan) {
    const std::uint64_t vertexCount = figure.vertices.size();
    const std::uint64_t triangleCount = 2 * static_cast<std::uint64_t>(figure.faces.size());
    const std::string nothing = " Nothing was exported.";
    if (vertexCount > kMax16) {
        return "The figure has " + std::to_string(vertexCount) +
               " vertices; a 3D Studio file holds at most 65535." + nothing;
    }
    // A material's triangles are some of these, so its count fits as well.
    if (triangleCount > kMax16) {
        return "The figure has " + std::to_string(triangleCount) +
               " triangles (two for each quad); a 3D Studio file holds at most 65535." + nothing;
    }
    if (plan.magic > 0xFFFFFFFFu) {
        return "The figure would make a 3D Studio file of 4 GB or more, more than the format holds." + nothing;
    }
    return {};
}

// Little-endian values, byte by byte, into the file.
class ChunkWriter {
public:
    explicit ChunkWriter(AtomicFile& file) : file_(file) {}

    void U16(std::uint16_t v) {
        const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
        file_.Write(b, sizeof b);
    }
    void U32(std::uint32_t v) {
        unsigned char b[4];
        Encode32(v, b);
        file_.Write(b, sizeof b);
    }
    void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
    void Header(std::uint16_t id, std::uint64_t length) {
        U16(id);
        U32(static_cast<std::uint32_t>(length));
    }
    void Bytes(std::string_view bytes) { file_.Write(bytes.data(), bytes.size()); }
    // A name cut to 15 bytes and its zero byte.
    void Name(const std::string& name) {
        Bytes(StoredName(name));
        file_.Put('\0');
    }
    void Raw(const unsigned char* bytes, std::size_t size) { file_.Write(bytes, size); }

    static void Encode16(std::uint32_t v, unsigned char* b) {
        b[0] = static_cast<unsigned char>(v);
        b[1] = static_cast<unsigned char>(v >> 8);
    }
    static void Encode32(std::uint32_t v, unsigned char* b) {
        b[0] = static_cast<unsigned char>(v);
        b[1] = static_cast<unsigned char>(v >> 8);
        b[2] = static_cast<unsigned char>(v >> 16);
        b[3] = static_cast<unsigned char>(v >> 24);
    }

private:
    AtomicFile& file_;
};

void WriteMaterial(ChunkWriter& out, const MergedSurface& surface) {
    const std::uint32_t nameBytes = static_cast<std::uint32_t>(StoredName(surface.name).size());
    out.Header(kMaterialEntry, 94 + nameBytes);
    out.Header(kMaterialName, 7 + nameBytes);
    out.Name(surface.name);
    const std::array<float, 3>& colour = surface.record->colour;
    const unsigned char rgb[3] = {ColourByte(colour[0]), ColourByte(colour[1]), ColourByte(colour[2])};
    for (std::uint16_t id : {kAmbient, kDiffuse, kSpecular}) {
        out.Header(id, 15);
        out.Header(kColour24, 9);
        out.Raw(rgb, sizeof rgb);
    }
    for (std::uint16_t id : {kShininess, kShininessStrength}) {
        out.Header(id, 14);
        out.Header(kPercentage, 8);
        out.U16(0);
    }
    out.Header(kShading, 8);
    out.U16(1);
}

void WritePoints(ChunkWriter& out, const MergedFigure& figure, const Plan& plan) {
    out.Header(kPointArray, plan.pointArray);
    out.U16(static_cast<std::uint16_t>(figure.vertices.size()));
    for (std::uint32_t p : figure.vertices) {
        const float* xyz = figure.Point(p);
        unsigned char b[12];
        for (int axis = 0; axis < 3; ++axis) ChunkWriter::Encode32(std::bit_cast<std::uint32_t>(xyz[axis]), b + 4 * axis);
        out.Raw(b, sizeof b);
    }
}

void WriteFaces(ChunkWriter& out, const MergedFigure& figure, const Plan& plan) {
    out.Header(kFaceArray, plan.faceArray);
    out.U16(static_cast<std::uint16_t>(2 * figure.faces.size()));
    for (const MergedFace& face : figure.faces) {
        const std::uint32_t a = figure.vertexNumber[face.corners[0]];
        const std::uint32_t b = figure.vertexNumber[face.corners[1]];
        const std::uint32_t c = figure.vertexNumber[face.corners[2]];
        const std::uint32_t d = figure.vertexNumber[face.corners[3]];
        const std::uint32_t values[8] = {a, b, c, kFaceFlags, c, d, a, kFaceFlags};
        unsigned char bytes[16];
        for (int v = 0; v < 8; ++v) ChunkWriter::Encode16(values[v], bytes + 2 * v);
        out.Raw(bytes, sizeof bytes);
    }
    for (const Material& material : plan.materials) {
        const std::vector<std::uint32_t>& polygons = plan.polygonsByName[material.name];
        if (polygons.empty()) continue;
        const std::uint64_t nameBytes = StoredName(material.surface->name).size();
        out.Header(kMaterialGroup, 9 + nameBytes + 4 * polygons.size());
        out.Name(material.surface->name);
        out.U16(static_cast<std::uint16_t>(2 * polygons.size()));
        for (std::uint32_t i : polygons) {
            unsigned char bytes[4];
            ChunkWriter::Encode16(2 * i, bytes);
            ChunkWriter::Encode16(2 * i + 1, bytes + 2);
            out.Raw(bytes, sizeof bytes);
        }
    }
}

void WriteFile(AtomicFile& file, const MergedFigure& figure, const Plan& plan) {
    ChunkWriter out(file);
    out.Header(kMagic, plan.magic);
    out.Header(kVersion, 10);
    out.U32(3);
    out.Header(kMeshData, plan.meshData);
    out.Header(kMeshVersion, 10);
    out.U32(3);
    for (const Material& material : plan.materials) WriteMaterial(out, *material.surface);
    out.Header(kMasterScale, 10);
    out.F32(1.0f);
    out.Header(kNamedObject, plan.namedObject);
    out.Bytes(kObjectName);
    out.Header(kTriangleObject, plan.triangleObject);
    WritePoints(out, figure, plan);
    WriteFaces(out, figure, plan);
}

}  // namespace

bool Export3ds(const model::Creature& creature, const std::string& path, ui::MessageSink& messages,
               bool typeNames) {
    MergedFigure figure;
    if (!PrepareFigure(figure, creature, messages, typeNames)) return false;
    figure.OrderMaterials();
    figure.ListVertices();
    const Plan plan = MakePlan(figure);
    // Past a limit of the format the file could not be read back right:
    // refused before anything is written.
    if (const std::string limit = LimitPassed(figure, plan); !limit.empty()) {
        ReportExportError(messages, limit);
        return false;
    }

    return WriteExportFile(path, messages, [&](AtomicFile& file) {
        WriteFile(file, figure, plan);
        return std::string();
    });
}

}  // namespace formats
