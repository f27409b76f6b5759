#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "formats/object_reader.h"
#include "formats/object_writer.h"
#include "model/mesh_object.h"

namespace {

std::unique_ptr<model::MeshObject> ReadImage(const std::vector<unsigned char>& image) {
    formats::ObjectRefusal why;
    return formats::ReadObjectImage(image, why);
}

// Two quads over six points, three surfaces (one without a colour), seams
// in lists 0, 2 and 7.
formats::ObjectFileData Sample(bool container) {
    formats::ObjectFileData d;
    d.points = {0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0, 1, 1, 0, 2.5f, 1, -0.25f};
    d.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0.6f, 0.8f};
    d.polygons = {{0, 1, 4, 3, 0}, {1, 2, 5, 4, 2}};
    d.surfaces = {{"Skin", true, {255, 0, 128}}, {"Plain", false, {}}, {"Hair", true, {10, 20, 30}}};
    d.boundaryLists[0] = {0, 1, 2};
    d.boundaryLists[2] = {5, 4};
    d.boundaryLists[7] = {3};
    d.fourthHeaderValue = -7;
    d.surfacesInContainer = container;
    return d;
}

void ExpectReadsBackAs(const model::MeshObject& o, const formats::ObjectFileData& d) {
    EXPECT_EQ(o.pointCount, 6);
    EXPECT_EQ(o.polygonCount, 2);
    EXPECT_EQ(o.surfaceCount, 3);
    EXPECT_EQ(o.fourthHeaderValue, -7);
    EXPECT_EQ(o.points, d.points);
    EXPECT_EQ(o.restPoints, d.points);
    EXPECT_EQ(o.normals, d.normals);
    ASSERT_EQ(o.polygons.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(o.polygons[i].a, d.polygons[i].a);
        EXPECT_EQ(o.polygons[i].b, d.polygons[i].b);
        EXPECT_EQ(o.polygons[i].c, d.polygons[i].c);
        EXPECT_EQ(o.polygons[i].d, d.polygons[i].d);
        EXPECT_EQ(o.polygons[i].surface, d.polygons[i].surface);
    }
    ASSERT_GE(o.surfaces.size(), 3u);
    EXPECT_EQ(o.surfaces[0].name, "Skin");
    EXPECT_FLOAT_EQ(o.surfaces[0].colour[0], 1.0f);
    EXPECT_FLOAT_EQ(o.surfaces[0].colour[1], 0.0f);
    EXPECT_FLOAT_EQ(o.surfaces[0].colour[2], 128.0f / 255.0f);
    EXPECT_EQ(o.surfaces[1].name, "Plain");
    EXPECT_FLOAT_EQ(o.surfaces[1].colour[0], 0.5f);  // no colour written: the default grey
    EXPECT_EQ(o.surfaces[2].name, "Hair");
    EXPECT_FLOAT_EQ(o.surfaces[2].colour[2], 30.0f / 255.0f);
    for (int k = 0; k < model::kBoundaryListCount; ++k) {
        ASSERT_EQ(o.BoundaryCount(k), d.boundaryLists[k].size()) << "list " << k;
        for (std::size_t e = 0; e < d.boundaryLists[k].size(); ++e) {
            EXPECT_EQ(o.BoundaryList(k)[e], d.boundaryLists[k][e]);
        }
    }
}

}  // namespace

TEST(ObjectWriter, WhatIsWrittenReadsBackTheSameWithAndWithoutContainer) {
    for (bool container : {false, true}) {
        SCOPED_TRACE(container ? "surfaces in a container" : "surfaces at the top level");
        const formats::ObjectFileData d = Sample(container);
        const std::vector<unsigned char> image = formats::WriteObjectImage(d);
        const auto o = ReadImage(image);
        ASSERT_NE(o, nullptr);
        ExpectReadsBackAs(*o, d);
    }
}

TEST(ObjectWriter, BytesFollowTheFormat) {
    const std::vector<unsigned char> image = formats::WriteObjectImage(Sample(true));
    ASSERT_GE(image.size(), 24u);
    // Header id "MWOB" packed first character high, stored little-endian.
    EXPECT_EQ(std::vector<unsigned char>(image.begin(), image.begin() + 4),
              (std::vector<unsigned char>{0x42, 0x4F, 0x57, 0x4D}));
    EXPECT_EQ(image[4], 16);  // header data length
    EXPECT_EQ(image[8], 6);   // point count
    EXPECT_EQ(image[20], 0xF9);  // -7, little-endian
    EXPECT_EQ(image[23], 0xFF);
    // Points follow the header directly: "PNTS" stands as "STNP".
    EXPECT_EQ(std::string(image.begin() + 24, image.begin() + 28), "STNP");
    // The colour sub-chunk is big-endian, its id in reading order.
    const std::string text(image.begin(), image.end());
    const auto colr = text.find("COLR");
    ASSERT_NE(colr, std::string::npos);
    EXPECT_EQ(static_cast<unsigned char>(text[colr + 4]), 0);
    EXPECT_EQ(static_cast<unsigned char>(text[colr + 5]), 4);
    EXPECT_EQ(static_cast<unsigned char>(text[colr + 6]), 255);
    EXPECT_NE(text.find("SFUS"), std::string::npos);  // "SUFS" container
    EXPECT_NE(text.find("800P"), std::string::npos);  // list 7 as chunk "P008"
    EXPECT_EQ(text.find("200P"), std::string::npos);  // empty list 1 is not written
}

TEST(ObjectWriter, FileWithoutNormalsHasNoNormalsChunk) {
    formats::ObjectFileData d = Sample(false);
    d.normals.clear();
    const std::vector<unsigned char> image = formats::WriteObjectImage(d);
    EXPECT_EQ(std::string(image.begin(), image.end()).find("SMRN"), std::string::npos);
    const auto o = ReadImage(image);
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(o->normals.empty());
    EXPECT_EQ(o->points, d.points);
}

TEST(ObjectWriter, RefusesDataNoReaderCouldTakeBackWhole) {
    auto refused = [](const formats::ObjectFileData& d) {
        return !formats::ObjectDataIsWritable(d) && formats::WriteObjectImage(d).empty();
    };
    formats::ObjectFileData d = Sample(false);
    EXPECT_TRUE(formats::ObjectDataIsWritable(d));

    d = Sample(false);
    d.points.push_back(1);  // not in threes
    EXPECT_TRUE(refused(d));
    d = Sample(false);
    d.normals.resize(9);  // fewer normals than points
    EXPECT_TRUE(refused(d));
    d = Sample(false);
    d.polygons[1].c = 6;  // past the last point
    EXPECT_TRUE(refused(d));
    d = Sample(false);
    d.boundaryLists[3] = {0, 6};
    EXPECT_TRUE(refused(d));
    d = Sample(false);
    d.surfaces[0].name.assign(256, 'x');  // the reader keeps at most 255 bytes
    EXPECT_TRUE(refused(d));
    d = Sample(false);
    d.boundaryLists[0].assign(32768, 0);  // byte length beyond 16 bits
    EXPECT_TRUE(refused(d));
    d = Sample(false);
    d.points.assign(3 * 65537, 0.f);
    d.normals.clear();
    EXPECT_TRUE(refused(d));

    // Surface indices: the reader has ten spare records past the written
    // surfaces and refuses anything beyond, with or without surfaces.
    d = Sample(false);
    d.polygons[1].surface = 12;  // the last spare record
    EXPECT_NE(ReadImage(formats::WriteObjectImage(d)), nullptr);
    d.polygons[1].surface = 13;
    EXPECT_TRUE(refused(d));
    d.surfaces.clear();
    d.polygons[0].surface = 0;
    d.polygons[1].surface = 9;
    EXPECT_NE(ReadImage(formats::WriteObjectImage(d)), nullptr);
    d.polygons[1].surface = 10;
    EXPECT_TRUE(refused(d));
    // A zero byte would end the name when it is read back.
    d = Sample(false);
    d.surfaces[2].name = std::string("Ha\0ir", 5);
    EXPECT_TRUE(refused(d));
}

TEST(ObjectWriter, WritesWholeFilesOrNothing) {
    const auto dir = std::filesystem::temp_directory_path() / "mw_object_writer_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "part.mwo").string();

    ASSERT_TRUE(formats::WriteObjectFile(path, Sample(true)));
    formats::ObjectRefusal why;
    auto o = formats::ReadObjectFile(path, why);
    ASSERT_NE(o, nullptr);
    ExpectReadsBackAs(*o, Sample(true));

    // Replacing keeps the file whole; a refused write leaves the old one.
    formats::ObjectFileData bad = Sample(false);
    bad.polygons[0].a = 99;
    EXPECT_FALSE(formats::WriteObjectFile(path, bad));
    o = formats::ReadObjectFile(path, why);
    ASSERT_NE(o, nullptr);
    ExpectReadsBackAs(*o, Sample(true));

    // A folder that does not exist: false, and nothing left behind.
    EXPECT_FALSE(formats::WriteObjectFile((dir / "missing" / "part.mwo").string(), Sample(false)));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    std::filesystem::remove_all(dir);
}
