// The .3ds export: whole files worked out by hand for small figures, the
// naming options, and the format's limits.
#include <gtest/gtest.h>

#include <functional>

#include "../object_bytes.h"
#include "export_fixture.h"
#include "formats/export_3ds.h"
#include "threeds_reader.h"

using exporttest::Append;
using exporttest::CodePart;
using exporttest::FileBytes;
using exporttest::ReadPart;
using exporttest::ReadThreeDs;
using exporttest::RecordingSink;
using exporttest::TempFolder;
using exporttest::ThreeDs;
using testdata::Bytes;

namespace {

Bytes& Chunk(Bytes& b, unsigned id, std::uint32_t length) { return b.U16(id).U32(length); }

Bytes& Point(Bytes& b, float x, float y, float z) { return b.F32(x).F32(y).F32(z); }

Bytes& Face(Bytes& b, unsigned a, unsigned bb, unsigned c) { return b.U16(a).U16(bb).U16(c).U16(6); }

// A material entry: its length and its name chunk's length as worked out
// (94 + L and 7 + L), the stored name, the three colour bytes.
void Material(Bytes& b, std::uint32_t length, const std::string& name, std::uint32_t nameLength,
              std::array<unsigned, 3> rgb) {
    Chunk(b, 0xAFFF, length);
    Chunk(b, 0xA000, nameLength).Text(name).U8(0);
    for (unsigned id : {0xA010u, 0xA020u, 0xA030u}) {
        Chunk(b, id, 15);
        Chunk(b, 0x0011, 9).U8(rgb[0]).U8(rgb[1]).U8(rgb[2]);
    }
    for (unsigned id : {0xA040u, 0xA050u}) {
        Chunk(b, id, 14);
        Chunk(b, 0x0030, 8).U16(0);
    }
    Chunk(b, 0xA100, 8).U16(1);
}

// From the top to the mesh version; the lengths of 4D4D and 3D3D as worked out.
Bytes Opening(std::uint32_t fileLength, std::uint32_t meshDataLength) {
    Bytes b;
    Chunk(b, 0x4D4D, fileLength);
    Chunk(b, 0x0002, 10).U32(3);
    Chunk(b, 0x3D3D, meshDataLength);
    Chunk(b, 0x3D3E, 10).U32(3);
    return b;
}

// Master scale, then the object named "NECK" and the triangle object.
void ObjectStart(Bytes& b, std::uint32_t namedLength, std::uint32_t triangleLength) {
    Chunk(b, 0x0100, 10).F32(1.0f);
    Chunk(b, 0x4000, namedLength).Text("NECK      ").U8(0);
    Chunk(b, 0x4100, triangleLength);
}

formats::ObjectSurface Surface(const std::string& name, std::array<std::uint8_t, 3> colour) {
    return {name, true, colour};
}
formats::ObjectSurface GreySurface(const std::string& name) { return {name, false, {}}; }

// A unit quad in the z = 0 plane with its lower left corner at (x, y).
formats::ObjectFileData Square(float x, float y, std::vector<formats::ObjectSurface> surfaces) {
    formats::ObjectFileData data;
    data.points = {x, y, 0, x + 1, y, 0, x + 1, y + 1, 0, x, y + 1, 0};
    data.polygons = {{0, 1, 2, 3, 0}};
    data.surfaces = std::move(surfaces);
    return data;
}

class Export3dsTest : public ::testing::Test {
protected:
    void Connect(const std::string& type, const formats::ObjectFileData& data) {
        ASSERT_TRUE(creature.ConnectPart(ReadPart(type, data))) << type;
    }
    bool Export(bool typeNames = false) { return formats::Export3ds(creature, path.string(), sink, typeNames); }
    bool Saved() const {
        return sink.shown.size() == 1 && sink.shown[0].text == "Saved" && sink.shown[0].caption.empty() &&
               sink.shown[0].severity == ui::Severity::kNote;
    }

    RecordingSink sink;
    model::Creature creature{sink};
    TempFolder folder;
    std::filesystem::path path = folder / "figure.3ds";
};

}  // namespace

// Points 0 … 6 with point 3 unused; quads 0-1-4-5 on a 20-byte name and
// 1-2-6-4 on "head"; a third surface no quad uses.
TEST_F(Export3dsTest, OnePartIsWrittenByteForByte) {
    formats::ObjectFileData data;
    data.points = {0, 0, 0, 1, 0, 0, 2, 0, 0, 9, 9, 9, 1, 1, 0, 0, 1, 0, 2, 1.5f, -0.25f};
    data.polygons = {{0, 1, 4, 5, 0}, {1, 2, 6, 4, 1}};
    data.surfaces = {Surface("Twenty byte surface!", {255, 0, 128}), GreySurface("head"),
                     Surface("Unused", {1, 2, 3})};
    Connect("Head", data);
    ASSERT_TRUE(Export());
    EXPECT_TRUE(Saved());

    // Vertices 0 1 2 4 5 6 become 0 … 5. Materials: "head" first (a part
    // name), then the 20-byte name cut to 15 bytes.
    // 4120: 8 + 16 × 2 + 17 + 28 = 85; 4100: 6 + 80 + 85 = 171;
    // 4000: 6 + 11 + 171 = 188; 3D3D: 6 + 10 + 98 + 109 + 10 + 188 = 421;
    // 4D4D: 6 + 10 + 421 = 437.
    Bytes e = Opening(437, 421);
    Material(e, 98, "head", 11, {127, 127, 127});
    Material(e, 109, "Twenty byte sur", 22, {255, 0, 128});
    ObjectStart(e, 188, 171);
    Chunk(e, 0x4110, 80).U16(6);
    Point(e, 0, 0, 0);
    Point(e, 1, 0, 0);
    Point(e, 2, 0, 0);
    Point(e, 1, 1, 0);
    Point(e, 0, 1, 0);
    Point(e, 2, 1.5f, -0.25f);
    Chunk(e, 0x4120, 85).U16(4);
    Face(e, 0, 1, 3);
    Face(e, 3, 4, 0);
    Face(e, 1, 2, 5);
    Face(e, 5, 3, 1);
    Chunk(e, 0x4130, 17).Text("head").U8(0).U16(2).U16(2).U16(3);
    Chunk(e, 0x4130, 28).Text("Twenty byte sur").U8(0).U16(2).U16(0).U16(1);
    EXPECT_EQ(FileBytes(path), e.data);
}

// The forearm comes first and keeps its seam (points 2, 3); the hand's seam
// points (hand list 0 = 1, 0: merged 5, 4) are dropped and its quad is bent
// onto the forearm's points. The hand's surface is named like a part, so
// its material comes first.
TEST_F(Export3dsTest, TwoWeldedNeighboursShareTheirSeamByteForByte) {
    formats::ObjectFileData forearm = Square(0, 0, {GreySurface("Sleeve")});
    forearm.boundaryLists[0] = {2, 3};
    formats::ObjectFileData hand = Square(0, 1, {Surface("LEFT HAND", {10, 20, 30})});
    hand.boundaryLists[0] = {1, 0};
    Connect("Left forearm", forearm);
    Connect("Left hand", hand);
    ASSERT_TRUE(Export());
    EXPECT_TRUE(Saved());

    // 4120: 8 + 32 + 22 + 19 = 81; 4100: 6 + 80 + 81 = 167; 4000: 184;
    // 3D3D: 6 + 10 + 103 + 100 + 10 + 184 = 413; 4D4D: 429.
    Bytes e = Opening(429, 413);
    Material(e, 103, "LEFT HAND", 16, {10, 20, 30});
    Material(e, 100, "Sleeve", 13, {127, 127, 127});
    ObjectStart(e, 184, 167);
    Chunk(e, 0x4110, 80).U16(6);
    Point(e, 0, 0, 0);
    Point(e, 1, 0, 0);
    Point(e, 1, 1, 0);
    Point(e, 0, 1, 0);
    Point(e, 1, 2, 0);
    Point(e, 0, 2, 0);
    Chunk(e, 0x4120, 81).U16(4);
    Face(e, 0, 1, 2);
    Face(e, 2, 3, 0);
    Face(e, 3, 2, 4);
    Face(e, 4, 5, 3);
    Chunk(e, 0x4130, 22).Text("LEFT HAND").U8(0).U16(2).U16(2).U16(3);
    Chunk(e, 0x4130, 19).Text("Sleeve").U8(0).U16(2).U16(0).U16(1);
    EXPECT_EQ(FileBytes(path), e.data);
}

// Without the renaming both materials are "Skin" and each group lists the
// faces of both parts; with it the names carry their type (the forearm's
// cut to 15 bytes, still matched on the full name) and the groups part.
TEST_F(Export3dsTest, EqualSurfaceNamesWithAndWithoutTheTypeInFront) {
    formats::ObjectFileData forearm = Square(0, 0, {GreySurface("Skin")});
    forearm.boundaryLists[0] = {2, 3};
    formats::ObjectFileData hand = Square(0, 1, {Surface("Skin", {200, 150, 100})});
    hand.boundaryLists[0] = {1, 0};
    Connect("Left forearm", forearm);
    Connect("Left hand", hand);

    struct Case {
        bool prefixed;
        std::vector<std::string> materials;
        std::vector<std::vector<int>> groups;
    };
    const std::vector<Case> cases = {
        {false, {"Skin", "Skin"}, {{0, 1, 2, 3}, {0, 1, 2, 3}}},
        {true, {"Left forearm_Sk", "Left hand_Skin"}, {{0, 1}, {2, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefixed);
        ASSERT_TRUE(Export(c.prefixed));
        const ThreeDs file = ReadThreeDs(FileBytes(path));
        ASSERT_EQ(file.error, "");
        EXPECT_EQ(file.materials, c.materials);
        EXPECT_EQ(file.groups, c.materials);
        EXPECT_EQ(file.groupFaces, c.groups);
        EXPECT_EQ(file.colours[1], (std::array<int, 3>{200, 150, 100}));
    }
    EXPECT_EQ(creature.PartAt(0)->surfaces[0].name, "Skin");
    EXPECT_EQ(creature.PartAt(1)->surfaces[0].name, "Skin");
}

// The working tables of the described writer held 50 surfaces a part,
// indices below 100 and 100 in all; this one holds any number.
TEST_F(Export3dsTest, AnyNumberOfSurfacesBecomesMaterials) {
    formats::ObjectFileData data;
    data.points = {0, 0, 0, 1, 0, 0, 1, 1, 0};
    for (int s = 0; s < 160; ++s) {
        char name[8];
        std::snprintf(name, sizeof name, "S%03d", s);
        data.surfaces.push_back(Surface(name, {static_cast<std::uint8_t>(s), 0, 0}));
        if (s < 120 || s >= 150) data.polygons.push_back({0, 1, 2, 2, static_cast<std::uint16_t>(s)});
    }
    Connect("Head", data);
    ASSERT_TRUE(Export());
    const ThreeDs file = ReadThreeDs(FileBytes(path));
    ASSERT_EQ(file.error, "");
    ASSERT_EQ(file.materials.size(), 130u);
    ASSERT_EQ(file.groups.size(), 130u);
    EXPECT_EQ(file.materials[129], "S159");
    EXPECT_EQ(file.colours[129][0], 159);
    EXPECT_EQ(file.groups[119], "S119");
    EXPECT_EQ(file.groups[120], "S150");
    EXPECT_EQ(file.groupFaces[120], (std::vector<int>{240, 241}));
}

namespace {

// A part of `quads` quads on `points` points, each quad on four points in
// turn (wrapping round), so that every point is used when quads × 4 ≥ points.
std::unique_ptr<model::MeshObject> Grid(int points, int quads) {
    std::vector<float> xyz(3 * static_cast<std::size_t>(points), 0.0f);
    for (int i = 0; i < points; ++i) xyz[3 * static_cast<std::size_t>(i)] = static_cast<float>(i);
    std::vector<model::Polygon> polygons;
    for (int q = 0; q < quads; ++q) {
        auto corner = [&](int c) { return static_cast<std::uint16_t>((4 * q + c) % points); };
        polygons.push_back({corner(0), corner(1), corner(2), corner(3), 0});
    }
    return CodePart("Head", std::move(xyz), std::move(polygons));
}

}  // namespace

// 65 535 vertices and 32 767 quads (65 534 triangles) are what the 16-bit
// counts hold; one more of either is refused before anything is written.
TEST_F(Export3dsTest, FiguresPastTheFormatsCountsAreRefusedWithNothingWritten) {
    struct Case {
        const char* what;
        int points;
        int quads;
        const char* refusal;  // empty: written
    };
    const std::vector<Case> cases = {
        {"65535 vertices", 65535, 16384, ""},
        {"65536 vertices", 65536, 16384, "The figure has 65536 vertices; a 3D Studio file holds at most 65535."},
        {"65534 triangles", 4, 32767, ""},
        {"65536 triangles", 4, 32768,
         "The figure has 65536 triangles (two for each quad); a 3D Studio file holds at most 65535."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSink messages;
        model::Creature figure(messages);
        Append(figure, Grid(c.points, c.quads));
        std::filesystem::remove(path);
        const bool written = formats::Export3ds(figure, path.string(), messages);
        ASSERT_EQ(messages.shown.size(), 1u);
        if (std::string(c.refusal).empty()) {
            EXPECT_TRUE(written);
            EXPECT_EQ(messages.shown[0].text, "Saved");
            const ThreeDs file = ReadThreeDs(FileBytes(path));
            EXPECT_EQ(file.error, "");
            EXPECT_EQ(file.vertices.size(), static_cast<std::size_t>(c.points));
            EXPECT_EQ(file.faces.size(), 2 * static_cast<std::size_t>(c.quads));
        } else {
            EXPECT_FALSE(written);
            EXPECT_EQ(messages.shown[0].text, std::string(c.refusal) + " Nothing was exported.");
            EXPECT_EQ(messages.shown[0].caption, "Error!");
            EXPECT_EQ(messages.shown[0].severity, ui::Severity::kError);
            EXPECT_TRUE(folder.Files().empty());
        }
    }
}
