// The glTF, OBJ and STL exports of small figures made in code: the merged
// figure's normals, the .glb (and its skeleton) read back by tinygltf, OBJ
// text and STL bytes worked out by hand.
#include <gtest/gtest.h>

#include <tiny_gltf.h>

#include <bit>
#include <cstring>
#include <map>
#include <cmath>
#include <optional>
#include <set>

#include "export_fixture.h"
#include "formats/export_glb.h"
#include "formats/export_modern_figure.h"
#include "formats/export_obj.h"
#include "formats/export_stl.h"
#include "model/pose.h"

using exporttest::Append;
using exporttest::CodePart;
using exporttest::FileBytes;
using exporttest::FileText;
using exporttest::RecordingSink;
using exporttest::TempFolder;
using Vector = std::array<float, 3>;

namespace {

// Two rows of three points at heights y and y + 1 in the plane z = 0; two
// quads wound so that their faces point to +z.
std::unique_ptr<model::MeshObject> Strip(const std::string& type, float y, std::vector<std::string> surfaces = {"Skin"}) {
    std::vector<float> points;
    for (float row : {y, y + 1}) {
        for (float x : {0.0f, 1.0f, 2.0f}) points.insert(points.end(), {x, row, 0.0f});
    }
    const auto last = static_cast<std::uint16_t>(surfaces.size() - 1);
    return CodePart(type, points, {{0, 1, 4, 3, 0}, {1, 2, 5, 4, last}}, std::move(surfaces));
}

void SetNormals(model::MeshObject& part, Vector normal) {
    part.normals.clear();
    for (std::size_t i = 0; i < part.points.size() / 3; ++i) part.normals.insert(part.normals.end(), normal.begin(), normal.end());
}

Vector Unit(Vector v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / length, v[1] / length, v[2] / length};
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

bool LoadGlb(const std::filesystem::path& path, tinygltf::Model& model) {
    tinygltf::TinyGLTF reader;
    std::string error, warning;
    const bool loaded = reader.LoadBinaryFromFile(&model, &error, &warning, path.string());
    EXPECT_TRUE(loaded) << error;
    return loaded;
}

// An accessor's elements as they lie in the buffer (tightly packed).
template <typename T>
std::vector<T> Elements(const tinygltf::Model& model, int index) {
    const tinygltf::Accessor& a = model.accessors[static_cast<std::size_t>(index)];
    const tinygltf::BufferView& view = model.bufferViews[static_cast<std::size_t>(a.bufferView)];
    std::vector<T> out(view.byteLength / sizeof(T));
    std::memcpy(out.data(), model.buffers[0].data.data() + view.byteOffset + a.byteOffset, out.size() * sizeof(T));
    return out;
}

}  // namespace

// A forearm (y 0 … 1) and a hand (y 1 … 2) welded along y = 1: the hand's
// seam row is bent onto the forearm's, its normals count there.
TEST(ModernFigure, SeamVerticesAreSharedAndTheirNormalsAveraged) {
    struct Case {
        const char* what;
        std::optional<Vector> forearm, hand;  // every point's normal; none: a part without normals
        Vector forearmRow, seam, handRow;     // expected at y = 0, 1 and 2
    };
    const Vector up{0, 0, 1};
    const Vector side{0, 1, 0};
    const std::vector<Case> cases = {
        {"both with normals, not unit", Vector{0, 0, 2}, Vector{0, 3, 3}, up, Unit({0, 1, 1 + std::sqrt(2.0f)}),
         Unit({0, 1, 1})},
        {"hand without normals counts its faces", side, std::nullopt, side, Unit({0, 1, 1}), up},
        {"opposite normals fall back to the faces", up, Vector{0, 0, -1}, up, up, Vector{0, 0, -1}},
        {"broken normals are left out", side, Vector{kNaN, 0, 1}, side, side, up},
        {"zero normals fall back to the faces", Vector{0, 0, 0}, Vector{0, 0, 0}, up, up, up},
    };
    for (const Case& c : cases) {
        RecordingSink sink;
        model::Creature creature(sink);
        auto forearm = Strip("Left forearm", 0);
        forearm->boundaryLists[0] = {3, 4, 5};
        auto hand = Strip("Left hand", 1);
        hand->boundaryLists[0] = {0, 1, 2};
        if (c.forearm) SetNormals(*forearm, *c.forearm);
        if (c.hand) SetNormals(*hand, *c.hand);
        Append(creature, std::move(forearm));
        Append(creature, std::move(hand));
        formats::ModernFigure figure;
        ASSERT_TRUE(figure.Prepare(creature, sink, {}, formats::FileFrame::kMetresYUp)) << c.what;
        const formats::MergedFigure& merged = figure.merged;

        ASSERT_EQ(merged.vertices.size(), 9u) << c.what;
        std::set<Vector> positions;
        for (std::uint32_t p : merged.vertices) positions.insert({merged.Point(p)[0], merged.Point(p)[1], merged.Point(p)[2]});
        EXPECT_EQ(positions.size(), 9u) << c.what;
        for (std::size_t v = 0; v < merged.vertices.size(); ++v) {
            const float* n = &merged.normals[3 * v];
            const float y = merged.Point(merged.vertices[v])[1];
            const Vector expected = y == 0 ? c.forearmRow : y == 1 ? c.seam : c.handRow;
            for (std::size_t axis = 0; axis < 3; ++axis) EXPECT_NEAR(n[axis], expected[axis], 1e-6) << c.what << ", y " << y;
        }
    }
}

TEST(ModernFigure, AVertexWithoutAnyDirectionGetsPlusZ) {
    RecordingSink sink;
    model::Creature creature(sink);
    Append(creature, CodePart("Head", {1, 1, 1, 1, 1, 1, 1, 1, 1}, {{0, 1, 2, 0, 0}}));
    formats::ModernFigure figure;
    ASSERT_TRUE(figure.Prepare(creature, sink, {}, formats::FileFrame::kMetresYUp));
    // The three points lie on each other: one vertex, and the face has no triangle.
    EXPECT_EQ(figure.merged.normals, (std::vector<float>{0, 0, 1}));
    EXPECT_EQ(figure.droppedTriangles, 2u);
}

// With the type-name option the caller wraps around the export, each part's
// surfaces are materials of their own. Named after the file, colours linear.
TEST(GlbExport, NamedAfterTheFileWithLinearColoursAndTypeNamedMaterials) {
    RecordingSink sink;
    model::Creature creature(sink);
    model::MeshObject* head = Append(creature, Strip("Head", 0, {"Skin", "Eye\xA0white"}));
    head->surfaces[1].colour = {1.0f, 0.0f, 0.2f};
    Append(creature, Strip("Neck", 5, {"Skin"}));
    TempFolder folder;
    formats::ExportSettings typeNames;
    typeNames.typeNames = true;
    ASSERT_TRUE(formats::ExportGlb(creature, (folder / "hero figure.v2.glb").string(), sink, typeNames));

    tinygltf::Model model;
    ASSERT_TRUE(LoadGlb(folder / "hero figure.v2.glb", model));
    EXPECT_EQ(model.asset.generator, "Morphwright 1.6");
    ASSERT_EQ(model.nodes.size(), 3u);  // the mesh's, then the Neck's and the Head's joint
    EXPECT_EQ(model.nodes[0].name, "hero figure.v2");
    EXPECT_EQ(model.meshes[0].name, "hero figure.v2");
    std::vector<std::string> names;
    for (const tinygltf::Material& m : model.materials) names.push_back(m.name);
    // Not UTF-8: the byte is taken as Latin-1 (a no-break space).
    EXPECT_EQ(names, (std::vector<std::string>{"Head_Skin", "Head_Eye\xC2\xA0white", "Neck_Skin"}));
    EXPECT_EQ(model.meshes[0].primitives.size(), 3u);
    EXPECT_NEAR(model.materials[0].pbrMetallicRoughness.baseColorFactor[0], 0.21404, 1e-5);
    EXPECT_EQ(model.materials[1].pbrMetallicRoughness.baseColorFactor[0], 1.0);
    EXPECT_NEAR(model.materials[1].pbrMetallicRoughness.baseColorFactor[2], 0.033105, 1e-6);
}

// 65 536 vertices: a material whose largest index is 65 534 keeps 16-bit
// indices; one that reaches 65 535 (the 16-bit restart value) takes 32 bits.
TEST(GlbExport, IndicesAreSixteenBitWhereTheyFitBelowTheRestartValue) {
    std::vector<float> points;
    std::vector<model::Polygon> polygons;
    for (int i = 0; i < 65536; ++i) points.insert(points.end(), {static_cast<float>(i % 256), static_cast<float>(i / 256), 0});
    for (std::uint16_t k = 0; k < 16383; ++k) {
        polygons.push_back({static_cast<std::uint16_t>(4 * k), static_cast<std::uint16_t>(4 * k + 1),
                            static_cast<std::uint16_t>(4 * k + 2), static_cast<std::uint16_t>(4 * k + 3), 0});
    }
    polygons.push_back({65532, 65533, 65534, 65534, 0});
    polygons.push_back({65535, 0, 1, 2, 1});
    RecordingSink sink;
    model::Creature creature(sink);
    Append(creature, CodePart("Head", std::move(points), std::move(polygons), {"Fits", "Wide"}));
    TempFolder folder;
    ASSERT_TRUE(formats::ExportGlb(creature, (folder / "large.glb").string(), sink));

    tinygltf::Model model;
    ASSERT_TRUE(LoadGlb(folder / "large.glb", model));
    const auto& primitives = model.meshes[0].primitives;
    ASSERT_EQ(primitives.size(), 2u);
    const auto last = [&](const tinygltf::Primitive& p, std::size_t back) {
        const tinygltf::Accessor& a = model.accessors[static_cast<std::size_t>(p.indices)];
        const tinygltf::BufferView& view = model.bufferViews[static_cast<std::size_t>(a.bufferView)];
        const std::size_t size = a.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT ? 2 : 4;
        const unsigned char* at = model.buffers[0].data.data() + view.byteOffset + (a.count - back) * size;
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < size; ++b) value |= static_cast<std::uint32_t>(at[b]) << (8 * b);
        return std::pair{a.componentType, value};
    };
    // The last triangle of each, turned round as the mirrored frame needs:
    // (a, c, b) of a quad whose (c, d, a) has no area, and (c, a, d).
    EXPECT_EQ(last(primitives[0], 3), std::pair(TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, 65532u));
    EXPECT_EQ(last(primitives[0], 2), std::pair(TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, 65534u));
    EXPECT_EQ(last(primitives[0], 1), std::pair(TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, 65533u));
    EXPECT_EQ(last(primitives[1], 3), std::pair(TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, 1u));
    EXPECT_EQ(last(primitives[1], 2), std::pair(TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, 65535u));
    EXPECT_EQ(last(primitives[1], 1), std::pair(TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, 2u));
}

// Hips (model y 0 … 1) welded to a thigh below (y -1 … 0) and a head above
// (y 5 … 6) not welded: the hips' and the thigh's joint sit on their seam's
// middle, the head's at its centre, and it hangs from the hips for want of
// neck and upper body. In the file (metres, feet on y = 0, centred) the
// seam is at y 1 and the head's joint at 6.5. Seam vertices follow both
// joints by halves, the head's its joint alone, and every vertex's shares
// add up to exactly 1. A pose turns its joints, mirrored in z like the figure.
TEST(GlbExport, TheSkeletonSkinAndPoseAsWorkedOutByHand) {
    struct Joint {
        const char* parent;
        float y;                       // file y of the joint; x and z are 0
        std::vector<double> rotation;  // in the pose below
    };
    const std::map<std::string, Joint> joints = {
        {"Stomach", {"", 1.0f, {}}},
        {"Left thigh", {"Stomach", 1.0f, {-0.6, 0, 0, 0.8}}},
        {"Head", {"Stomach", 6.5f, {0, 0, 0.6, 0.8}}},
    };
    model::Pose pose;
    pose.rotations[static_cast<std::size_t>(model::TypeIdOfName("Left thigh"))] = model::Quaternion{0.6, 0, 0, 0.8};
    pose.rotations[static_cast<std::size_t>(model::TypeIdOfName("Head"))] = model::Quaternion{0, 0, 3, 4};
    for (const model::Pose* posed : std::array<const model::Pose*, 2>{nullptr, &pose}) {
        SCOPED_TRACE(posed ? "posed" : "rest");
        RecordingSink sink;
        model::Creature creature(sink);
        Append(creature, Strip("Stomach", 0))->boundaryLists[0] = {0, 1, 2};
        Append(creature, Strip("Left thigh", -1))->boundaryLists[1] = {3, 4, 5};
        Append(creature, Strip("Head", 5));
        TempFolder folder;
        formats::ExportSettings settings;
        settings.pose = posed;
        ASSERT_TRUE(formats::ExportGlb(creature, (folder / "rig.glb").string(), sink, settings));
        tinygltf::Model model;
        ASSERT_TRUE(LoadGlb(folder / "rig.glb", model));

        // The mesh's node holds the skin and stays an untransformed root beside the hips.
        ASSERT_EQ(model.skins.size(), 1u);
        EXPECT_EQ(model.nodes[0].skin, 0);
        EXPECT_TRUE(model.nodes[0].translation.empty() && model.nodes[0].rotation.empty());
        const std::vector<int>& skin = model.skins[0].joints;
        ASSERT_EQ(skin.size(), joints.size());
        std::map<int, int> parentOf;
        for (std::size_t n = 0; n < model.nodes.size(); ++n) {
            for (int child : model.nodes[n].children) parentOf[child] = static_cast<int>(n);
        }
        const std::vector<float> inverseBinds = Elements<float>(model, model.skins[0].inverseBindMatrices);
        std::vector<std::string> names;
        for (std::size_t j = 0; j < skin.size(); ++j) {
            const tinygltf::Node& node = model.nodes[static_cast<std::size_t>(skin[j])];
            names.push_back(node.name);
            ASSERT_EQ(joints.count(node.name), 1u) << node.name;
            const Joint& expected = joints.at(node.name);
            const int parent = parentOf.count(skin[j]) ? parentOf[skin[j]] : -1;
            EXPECT_EQ(parent < 0 ? "" : model.nodes[static_cast<std::size_t>(parent)].name, expected.parent) << node.name;
            const float parentY = parent < 0 ? 0 : joints.at(model.nodes[static_cast<std::size_t>(parent)].name).y;
            EXPECT_EQ(node.translation, (std::vector<double>{0, expected.y - parentY, 0})) << node.name;
            // The inverse of the rest global matrix: a translation back from the joint.
            const std::vector<float> inverse(inverseBinds.begin() + 16 * j, inverseBinds.begin() + 16 * (j + 1));
            EXPECT_EQ(inverse, (std::vector<float>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -expected.y, 0, 1})) << node.name;
            EXPECT_EQ(node.rotation, posed ? expected.rotation : std::vector<double>{}) << node.name;
        }
        EXPECT_EQ(model.scenes[0].nodes, (std::vector<int>{0, skin[0]}));

        const tinygltf::Primitive& primitive = model.meshes[0].primitives[0];
        const std::vector<float> xyz = Elements<float>(model, primitive.attributes.at("POSITION"));
        const std::vector<std::uint8_t> slots = Elements<std::uint8_t>(model, primitive.attributes.at("JOINTS_0"));
        const std::vector<float> weights = Elements<float>(model, primitive.attributes.at("WEIGHTS_0"));
        ASSERT_EQ(xyz.size(), 3 * 15u);  // the seam's three vertices shared
        ASSERT_EQ(weights.size(), 4 * 15u);
        using Shares = std::map<std::string, float>;
        std::map<float, std::vector<Shares>> byHeight;
        for (std::size_t v = 0; v < 15; ++v) {
            Shares shares;
            float sum = 0;
            for (std::size_t k = 0; k < 4; ++k) {
                const float w = weights[4 * v + k];
                shares[w > 0 ? names[slots[4 * v + k]] : "unused slots' joints"] += w > 0 ? w : slots[4 * v + k];
                sum += w;
            }
            EXPECT_EQ(sum, 1.0f) << "vertex " << v;
            byHeight[xyz[3 * v + 1]].push_back(shares);
        }
        const Shares seam{{"Left thigh", 0.5f}, {"Stomach", 0.5f}, {"unused slots' joints", 0}};
        const Shares head{{"Head", 1.0f}, {"unused slots' joints", 0}};
        EXPECT_EQ(byHeight[1], std::vector<Shares>(3, seam));
        EXPECT_EQ(byHeight[6.5f - 0.5f], std::vector<Shares>(3, head));
        EXPECT_EQ(byHeight[6.5f + 0.5f], std::vector<Shares>(3, head));
    }
}

TEST(ObjExport, AFigureWorkedOutByHand) {
    RecordingSink sink;
    model::Creature creature(sink);
    model::MeshObject* head =
        Append(creature, CodePart("Head", {0, 0, 0, 1.5f, 0, 0, 1.5f, 1e-7f, 0, 0, 2, -0.25f},
                                  {{0, 1, 2, 3, 0}, {0, 1, 2, 3, 1}, {0, 1, 2, 3, 2}, {0, 1, 2, 3, 3}, {0, 1, 2, 3, 4}},
                                  {"Left arm", "Left_arm", "a\tb", "", "Left arm"}));
    head->surfaces[0].colour = {1.0f, 0.25f, 0.0f};
    SetNormals(*head, {0, 0, -3});
    TempFolder folder;
    ASSERT_TRUE(formats::ExportObj(creature, (folder / "my figure.obj").string(), sink));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "Saved");

    // Metres, +Y up, feet on y = 0, centred in x and z, the model's z
    // mirrored (normals too) and the quads turned round with it. Names made
    // one word each and kept apart; "Left arm" in two colours is two
    // materials, the second named with the part's type.
    EXPECT_EQ(FileText(folder / "my figure.obj"),
              "# Morphwright 1.6\nmtllib my figure.mtl\no my_figure\n"
              "v -0.75 0 -0.125\nv 0.75 0 -0.125\nv 0.75 1e-07 -0.125\nv -0.75 2 0.125\n"
              "vn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\n"
              "usemtl Left_arm\nf 1//1 4//4 3//3 2//2\n"
              "usemtl Head_Left_arm\nf 1//1 4//4 3//3 2//2\n"
              "usemtl Left_arm_2\nf 1//1 4//4 3//3 2//2\n"
              "usemtl a_b\nf 1//1 4//4 3//3 2//2\n"
              "usemtl unnamed\nf 1//1 4//4 3//3 2//2\n");
    const std::string grey = "Ka 0.5 0.5 0.5\nKd 0.5 0.5 0.5\nKs 0 0 0\nillum 1\n";
    EXPECT_EQ(FileText(folder / "my figure.mtl"),
              "# Morphwright 1.6\n\nnewmtl Left_arm\nKa 1 0.25 0\nKd 1 0.25 0\nKs 0 0 0\nillum 1\n"
              "\nnewmtl Head_Left_arm\n" + grey + "\nnewmtl Left_arm_2\n" + grey + "\nnewmtl a_b\n" + grey +
              "\nnewmtl unnamed\n" + grey);
}

TEST(ObjExport, TheMaterialLibraryIsBesideTheFileWithItsStem) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/a/hero.obj", "/a/hero.mtl"}, {"hero", "hero.mtl"},         {"/a.b/hero", "/a.b/hero.mtl"},
        {"/a/.hero", "/a/.hero.mtl"},   {"/a/x.mtl", "/a/x.mtl.mtl"}, {"/a/x.y.OBJ", "/a/x.y.mtl"},
    };
    for (const auto& [obj, mtl] : cases) EXPECT_EQ(formats::MaterialLibraryPath(obj), mtl) << obj;
}

// Quad a-b-c-d as (a, b, c) and (c, d, a), turned round for the mirrored
// frame; d lies exactly on c, so the second triangle is left out.
// Millimetres, +Z up (the model's y), centred in x and y, facing -Y.
TEST(StlExport, AFigureWorkedOutByHand) {
    RecordingSink sink;
    model::Creature creature(sink);
    Append(creature, CodePart("Head", {0, 0, 0, 2, 0, 0, 0, 0, 3, 0, 0, 3}, {{0, 1, 2, 3, 0}}));
    TempFolder folder;
    ASSERT_TRUE(formats::ExportStl(creature, (folder / "f.stl").string(), sink));
    const std::vector<unsigned char> bytes = FileBytes(folder / "f.stl");
    ASSERT_EQ(bytes.size(), 84u + 50u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16), "Morphwright 1.6 ");
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 80, bytes.begin() + 84), (std::vector<unsigned char>{1, 0, 0, 0}));
    const auto floatAt = [&](std::size_t at) {
        std::uint32_t bits = 0;
        for (int b = 0; b < 4; ++b) bits |= static_cast<std::uint32_t>(bytes[at + b]) << (8 * b);
        return std::bit_cast<float>(bits);
    };
    std::vector<float> first;
    for (std::size_t i = 0; i < 12; ++i) first.push_back(floatAt(84 + 4 * i));
    EXPECT_EQ(first, (std::vector<float>{0, 0, -1, -1000, -1500, 0, -1000, 1500, 0, 1000, -1500, 0}));
    for (std::size_t at : {132u, 133u}) EXPECT_EQ(bytes[at], 0) << at;
}
