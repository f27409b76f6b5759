// The glTF writer. One buffer: the merged vertices' positions (metres, +Y
// up, facing +Z, feet on y = 0), their normals, then the triangle indices of
// every material (16-bit where the largest index fits below 65535, the
// 16-bit restart value, else 32-bit), then the skin: every vertex's four
// joints (bytes) and weights (floats) and every joint's inverse bind matrix.
// Every block is padded to a multiple of 4 bytes, so all stay aligned. The
// skeleton is one node per joint in the same frame, each placed relative to
// its parent; a pose turns the joints, never the mesh. The
// model is handed to tinygltf, which writes the JSON and the container into
// a stream that is the atomic file itself: a second copy of the file in
// memory would cost as much time again as the rest of the export. The file
// is committed only once it is complete and within the format's 4 GB.
#include "formats/export_glb.h"

#include <tiny_gltf.h>

#include <bit>
#include <cmath>
#include <exception>
#include <limits>
#include <optional>
#include <ostream>
#include <streambuf>

#include "formats/atomic_file.h"
#include "formats/export_modern_figure.h"
#include "formats/export_report.h"
#include "model/pose.h"
#include "model/skeleton.h"

namespace formats {

namespace {

constexpr const char* kGenerator = "Morphwright 1.6";
constexpr std::uint32_t kLargestShortIndex = 0xFFFE;  // 0xFFFF restarts strips
constexpr std::uint64_t kLargestFile = 0xFFFFFFFFu;   // the container counts in 32 bits
// Room for the container's headers and the JSON beside the buffer; the
// size of the whole is checked again once it is known.
constexpr std::uint64_t kJsonAllowance = 1 << 20;

void PutU16(unsigned char*& out, std::uint32_t v) {
    out[0] = static_cast<unsigned char>(v);
    out[1] = static_cast<unsigned char>(v >> 8);
    out += 2;
}

void PutU32(unsigned char*& out, std::uint32_t v) {
    out[0] = static_cast<unsigned char>(v);
    out[1] = static_cast<unsigned char>(v >> 8);
    out[2] = static_cast<unsigned char>(v >> 16);
    out[3] = static_cast<unsigned char>(v >> 24);
    out += 4;
}

// The glTF base colour is linear; the surface colour is what the program
// shows on screen, an sRGB value.
double LinearFromSrgb(float component) {
    const double c = ColourComponent(component);
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// JSON text must be UTF-8. A name that is not (an object file from a
// Windows-1252 or Latin-1 world) is read as Latin-1.
bool IsUtf8(const std::string& text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        std::size_t more = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            if (c == 0xE0) low = 0xA0;   // no overlong forms
            if (c == 0xED) high = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;  // nothing past U+10FFFF
        } else {
            return false;
        }
        if (i + more >= n) return false;  // cut short
        if (s[i + 1] < low || s[i + 1] > high) return false;
        for (std::size_t k = 2; k <= more; ++k) {
            if (s[i + k] < 0x80 || s[i + k] > 0xBF) return false;
        }
        i += more + 1;
    }
    return true;
}

std::string Utf8Name(const std::string& name) {
    if (IsUtf8(name)) return name;
    std::string text;
    for (unsigned char c : name) {
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

int AddView(tinygltf::Model& model, std::size_t offset, std::size_t length, int target) {
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = offset;
    view.byteLength = length;
    view.target = target;
    model.bufferViews.push_back(view);
    return static_cast<int>(model.bufferViews.size() - 1);
}

int AddAccessor(tinygltf::Model& model, int view, int componentType, std::size_t count, int type) {
    tinygltf::Accessor accessor;
    accessor.bufferView = view;
    accessor.byteOffset = 0;
    accessor.componentType = componentType;
    accessor.count = count;
    accessor.type = type;
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size() - 1);
}

struct IndexBlock {
    bool wide = false;  // 32-bit indices
    std::size_t offset = 0;
    std::size_t indices = 0;
    std::size_t bytes = 0;  // with the padding to 4 bytes
};

// The buffer's layout: positions, normals, then one index block a material.
std::vector<IndexBlock> PlanIndices(const ModernFigure& figure, std::uint64_t& total) {
    total = 24 * static_cast<std::uint64_t>(figure.VertexCount());
    std::vector<IndexBlock> blocks;
    std::array<std::array<std::uint32_t, 3>, 2> triangles;
    for (const NamedMaterial& material : figure.materials) {
        std::uint32_t largest = 0;
        std::size_t count = 0;
        for (std::uint32_t f : material.faces) {
            const int n = figure.Triangles(f, triangles);
            for (int t = 0; t < n; ++t) {
                for (std::uint32_t v : triangles[static_cast<std::size_t>(t)]) largest = std::max(largest, v);
            }
            count += static_cast<std::size_t>(n);
        }
        IndexBlock block;
        block.wide = largest > kLargestShortIndex;
        block.offset = static_cast<std::size_t>(total);
        block.indices = 3 * count;
        // Every block a multiple of 4 bytes, so the next stays aligned.
        block.bytes = block.wide ? 4 * block.indices : (2 * block.indices + 3) / 4 * 4;
        total += block.bytes;
        blocks.push_back(block);
    }
    return blocks;
}

// The skeleton as the file keeps it: the joints' rest places in the file's
// frame, rounded to floats once, so that the node translations (differences
// of these) add up to exactly what the inverse bind matrices take away; and
// every vertex's joints and weights.
struct Rig {
    model::Skeleton skeleton;
    std::vector<std::array<float, 3>> places;
    std::vector<model::PointWeights> vertexWeights;
    std::size_t offset = 0;  // of the joints block in the buffer

    bool Empty() const { return skeleton.joints.empty(); }
    std::uint64_t Bytes() const {
        return (4 + 16) * static_cast<std::uint64_t>(vertexWeights.size()) + 64 * static_cast<std::uint64_t>(places.size());
    }
};

// A point's weights as the file keeps them: the used slots first, unused
// ones joint 0 with weight 0. The shares are multiples of 2^-24, which
// floats hold exactly, so they add up to exactly 1 in any reader's
// arithmetic and the rest pose leaves every vertex exactly where it is. A
// point without any usable share stays with the first joint.
model::PointWeights FileWeights(const model::PointWeights& point, std::size_t jointCount) {
    constexpr std::uint32_t kWhole = 1u << 24;
    const auto usable = [&](std::size_t k) { return point.weights[k] > 0 && point.joints[k] < jointCount; };
    double sum = 0;
    std::size_t last = 0;
    for (std::size_t k = 0; k < point.weights.size(); ++k) {
        if (!usable(k)) continue;
        sum += point.weights[k];
        last = k;
    }
    model::PointWeights out{};
    if (!(sum > 0) || !std::isfinite(sum)) {
        out.weights[0] = 1.0f;
        return out;
    }
    std::uint32_t left = kWhole;
    std::size_t used = 0;
    for (std::size_t k = 0; k <= last; ++k) {
        if (!usable(k)) continue;
        const auto rounded = static_cast<std::uint32_t>(std::lround(point.weights[k] / sum * kWhole));
        const std::uint32_t share = k == last ? left : std::min(left, rounded);
        // A share too small to keep leaves its slot: a joint with weight 0 must read as joint 0.
        if (share == 0) continue;
        out.joints[used] = point.joints[k];
        out.weights[used] = static_cast<float>(share) / static_cast<float>(kWhole);
        left -= share;
        ++used;
    }
    return out;
}

// Skeleton and weights of the figure the writer merged.
Rig MakeRig(const model::Creature& creature, const ModernFigure& figure) {
    Rig rig;
    rig.skeleton = model::BuildSkeleton(creature);
    if (rig.Empty()) return rig;
    for (const model::Joint& joint : rig.skeleton.joints) {
        const std::array<double, 3> place = figure.FilePoint(joint.position);
        rig.places.push_back({static_cast<float>(place[0]) + 0.0f, static_cast<float>(place[1]) + 0.0f,
                              static_cast<float>(place[2]) + 0.0f});
    }
    const model::SkinWeights weights = model::ComputeSkinWeights(creature, rig.skeleton);
    const std::size_t jointCount = rig.skeleton.joints.size();
    rig.vertexWeights.resize(figure.VertexCount());
    for (std::size_t v = 0; v < rig.vertexWeights.size(); ++v) {
        const auto [part, point] = figure.PartPoint(static_cast<std::uint32_t>(v));
        if (part < weights.parts.size() && point < weights.parts[part].size()) {
            rig.vertexWeights[v] = FileWeights(weights.parts[part][point], jointCount);
        } else {
            rig.vertexWeights[v].weights[0] = 1.0f;
        }
    }
    return rig;
}

// Appends little-endian values to the buffer through a small block, so
// that the buffer is written once (not cleared first, then written).
class BufferWriter {
public:
    explicit BufferWriter(std::vector<unsigned char>& data) : data_(data) {}
    ~BufferWriter() { Flush(); }
    void U16(std::uint32_t v) {
        if (at_ + 2 > end_) Flush();
        PutU16(at_, v);
    }
    void U32(std::uint32_t v) {
        if (at_ + 4 > end_) Flush();
        PutU32(at_, v);
    }
    void Float(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
    void Bytes(const std::array<std::uint8_t, 4>& bytes) {
        if (at_ + 4 > end_) Flush();
        std::copy(bytes.begin(), bytes.end(), at_);
        at_ += 4;
    }
    void Flush() {
        data_.insert(data_.end(), block_, at_);
        at_ = block_;
    }

private:
    std::vector<unsigned char>& data_;
    unsigned char block_[8192];
    unsigned char* at_ = block_;
    unsigned char* const end_ = block_ + sizeof block_;
};

void FillBuffer(const ModernFigure& figure, const std::vector<IndexBlock>& blocks, const Rig& rig,
                std::vector<unsigned char>& data) {
    BufferWriter out(data);
    for (float c : figure.positions) out.U32(std::bit_cast<std::uint32_t>(c));
    for (float n : figure.normals) out.U32(std::bit_cast<std::uint32_t>(n));
    std::array<std::array<std::uint32_t, 3>, 2> triangles;
    for (std::size_t m = 0; m < blocks.size(); ++m) {
        const bool wide = blocks[m].wide;
        for (std::uint32_t f : figure.materials[m].faces) {
            const int n = figure.Triangles(f, triangles);
            for (int t = 0; t < n; ++t) {
                for (std::uint32_t v : triangles[static_cast<std::size_t>(t)]) {
                    if (wide) {
                        out.U32(v);
                    } else {
                        out.U16(v);
                    }
                }
            }
        }
        if (!wide && blocks[m].indices % 2 == 1) out.U16(0);  // padding
    }
    for (const model::PointWeights& point : rig.vertexWeights) out.Bytes(point.joints);
    for (const model::PointWeights& point : rig.vertexWeights) {
        for (float w : point.weights) out.Float(w);
    }
    // Column-major: the rest pose's global matrix is a translation to the
    // joint's place, its inverse the translation back.
    for (const std::array<float, 3>& place : rig.places) {
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 4; ++row) out.Float(row == column ? 1.0f : 0.0f);
        }
        for (float c : place) out.Float(-c + 0.0f);
        out.Float(1.0f);
    }
}

// A pose's rotation of a joint in the file's frame: mirroring z turns a
// rotation (x, y, z, w) of the model into (-x, -y, z, w).
std::vector<double> FileRotation(const model::Quaternion& rotation) {
    const model::Quaternion q = model::Normalised(rotation);
    return {-q.x + 0.0, -q.y + 0.0, q.z, q.w};
}

// One node per joint after the mesh's node, its children as in the
// skeleton, placed relative to its parent, turned by the pose; the skin
// over all of them. Returns the root joints (several in a figure without
// its hips), which the scene lists beside the mesh's node.
std::vector<int> AddSkeleton(tinygltf::Model& model, const Rig& rig, const model::Pose* pose, int inverseBinds) {
    const int firstJoint = static_cast<int>(model.nodes.size());
    tinygltf::Skin skin;
    std::vector<int> roots;
    for (std::size_t j = 0; j < rig.skeleton.joints.size(); ++j) {
        const model::Joint& joint = rig.skeleton.joints[j];
        tinygltf::Node node;
        node.name = Utf8Name(std::string(model::partTypeNames[static_cast<std::size_t>(joint.typeId)]));
        const std::array<float, 3>& place = rig.places[j];
        node.translation.assign(place.begin(), place.end());
        if (joint.parent >= 0) {
            const auto parent = static_cast<std::size_t>(joint.parent);
            for (std::size_t axis = 0; axis < 3; ++axis) node.translation[axis] -= rig.places[parent][axis];
            model.nodes[static_cast<std::size_t>(firstJoint + joint.parent)].children.push_back(firstJoint + static_cast<int>(j));
        } else {
            roots.push_back(firstJoint + static_cast<int>(j));
        }
        if (pose != nullptr) {
            const std::optional<model::Quaternion>& rotation = pose->rotations[static_cast<std::size_t>(joint.typeId)];
            if (rotation) node.rotation = FileRotation(*rotation);
        }
        model.nodes.push_back(node);
        skin.joints.push_back(firstJoint + static_cast<int>(j));
    }
    skin.inverseBindMatrices = inverseBinds;
    model.skins.push_back(skin);
    return roots;
}

tinygltf::Model MakeModel(const ModernFigure& figure, const std::vector<IndexBlock>& blocks, const Rig& rig,
                          const model::Pose* pose, std::uint64_t total, const std::string& name) {
    tinygltf::Model model;
    model.asset.generator = kGenerator;
    model.asset.version = "2.0";

    model.buffers.emplace_back();
    std::vector<unsigned char>& data = model.buffers[0].data;
    data.reserve(static_cast<std::size_t>(total));
    FillBuffer(figure, blocks, rig, data);

    const std::size_t vertexCount = figure.VertexCount();
    const int positions = AddAccessor(model, AddView(model, 0, 12 * vertexCount, TINYGLTF_TARGET_ARRAY_BUFFER),
                                      TINYGLTF_COMPONENT_TYPE_FLOAT, vertexCount, TINYGLTF_TYPE_VEC3);
    const int normals = AddAccessor(model, AddView(model, 12 * vertexCount, 12 * vertexCount, TINYGLTF_TARGET_ARRAY_BUFFER),
                                    TINYGLTF_COMPONENT_TYPE_FLOAT, vertexCount, TINYGLTF_TYPE_VEC3);
    // The bounds readers place the figure by; floats widen to doubles exactly.
    std::vector<double>& low = model.accessors[static_cast<std::size_t>(positions)].minValues;
    std::vector<double>& high = model.accessors[static_cast<std::size_t>(positions)].maxValues;
    low.assign(3, std::numeric_limits<double>::infinity());
    high.assign(3, -std::numeric_limits<double>::infinity());
    for (std::size_t v = 0; v < vertexCount; ++v) {
        const float* xyz = figure.Position(static_cast<std::uint32_t>(v));
        for (std::size_t axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], static_cast<double>(xyz[axis]));
            high[axis] = std::max(high[axis], static_cast<double>(xyz[axis]));
        }
    }

    tinygltf::Mesh mesh;
    mesh.name = name;
    for (std::size_t m = 0; m < blocks.size(); ++m) {
        const model::SurfaceRecord& surface = *figure.materials[m].record;
        tinygltf::Material material;
        material.name = Utf8Name(figure.materials[m].name);
        material.pbrMetallicRoughness.baseColorFactor = {LinearFromSrgb(surface.colour[0]),
                                                         LinearFromSrgb(surface.colour[1]),
                                                         LinearFromSrgb(surface.colour[2]), 1.0};
        // A plain painted surface, lit without highlights, as the view shows it.
        material.pbrMetallicRoughness.metallicFactor = 0.0;
        material.pbrMetallicRoughness.roughnessFactor = 1.0;
        // The view draws both sides of every quad, and parts are open shells.
        material.doubleSided = true;
        model.materials.push_back(material);

        tinygltf::Primitive primitive;
        primitive.attributes["POSITION"] = positions;
        primitive.attributes["NORMAL"] = normals;
        primitive.material = static_cast<int>(m);
        primitive.mode = TINYGLTF_MODE_TRIANGLES;
        const std::size_t indexBytes = blocks[m].indices * (blocks[m].wide ? 4 : 2);
        const int view = AddView(model, blocks[m].offset, indexBytes, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        primitive.indices = AddAccessor(
            model, view, blocks[m].wide ? TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT : TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT,
            blocks[m].indices, TINYGLTF_TYPE_SCALAR);
        mesh.primitives.push_back(primitive);
    }
    tinygltf::Node node;
    node.name = name;
    node.mesh = 0;
    model.nodes.push_back(node);
    tinygltf::Scene scene;
    scene.nodes.push_back(0);
    if (!rig.Empty()) {
        // Behind every block of the mesh, so that its bytes stay where they were.
        const int joints = AddAccessor(model, AddView(model, rig.offset, 4 * vertexCount, TINYGLTF_TARGET_ARRAY_BUFFER),
                                       TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE, vertexCount, TINYGLTF_TYPE_VEC4);
        const int weights =
            AddAccessor(model, AddView(model, rig.offset + 4 * vertexCount, 16 * vertexCount, TINYGLTF_TARGET_ARRAY_BUFFER),
                        TINYGLTF_COMPONENT_TYPE_FLOAT, vertexCount, TINYGLTF_TYPE_VEC4);
        const std::size_t jointCount = rig.places.size();
        const int inverseBinds = AddAccessor(model, AddView(model, rig.offset + 20 * vertexCount, 64 * jointCount, 0),
                                             TINYGLTF_COMPONENT_TYPE_FLOAT, jointCount, TINYGLTF_TYPE_MAT4);
        for (tinygltf::Primitive& primitive : mesh.primitives) {
            primitive.attributes["JOINTS_0"] = joints;
            primitive.attributes["WEIGHTS_0"] = weights;
        }
        // The skinned mesh's node stays a root without a transform of its own:
        // only the joints move it.
        model.nodes[0].skin = 0;
        for (int root : AddSkeleton(model, rig, pose, inverseBinds)) scene.nodes.push_back(root);
    }
    model.meshes.push_back(mesh);
    model.scenes.push_back(scene);
    model.defaultScene = 0;
    return model;
}

// tinygltf writes the container to a stream; this one is the atomic file,
// so the buffer's megabytes go to the file without another copy.
class FileStream : public std::streambuf {
public:
    explicit FileStream(AtomicFile& file) : file_(file) {}

protected:
    std::streamsize xsputn(const char* data, std::streamsize count) override {
        file_.Write(data, static_cast<std::size_t>(count));
        return count;
    }
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) file_.Put(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }

private:
    AtomicFile& file_;
};

constexpr const char* kTooLarge =
    "The figure would make a glTF binary file of 4 GB or more, more than the format holds. Nothing was exported.";

}  // namespace

bool ExportGlb(const model::Creature& creature, const std::string& path, ui::MessageSink& messages,
               const ExportSettings& settings) {
    ModernFigure figure;
    if (!figure.Prepare(creature, messages, settings, FileFrame::kMetresYUp)) return false;
    std::uint64_t bufferBytes = 0;
    const std::vector<IndexBlock> blocks = PlanIndices(figure, bufferBytes);
    Rig rig = MakeRig(creature, figure);
    rig.offset = static_cast<std::size_t>(bufferBytes);
    bufferBytes += rig.Bytes();
    if (bufferBytes > kLargestFile - kJsonAllowance) {
        ReportExportError(messages, kTooLarge);
        return false;
    }
    return WriteExportFile(path, messages, [&](AtomicFile& file) {
        const tinygltf::Model model =
            MakeModel(figure, blocks, rig, settings.pose, bufferBytes, Utf8Name(FileStem(path)));
        FileStream fileStream(file);
        std::ostream stream(&fileStream);
        tinygltf::TinyGLTF writer;
        writer.WriteGltfSceneToStream(&model, stream, false, true);
        // Past 4 GB the container's counts would have wrapped: the file goes.
        return file.Size() > kLargestFile ? std::string(kTooLarge) : std::string();
    });
}

}  // namespace formats
