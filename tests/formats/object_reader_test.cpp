#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "../support/recording_sink.h"
#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "model/creature.h"
#include "model/mesh_object.h"
#include "object_bytes.h"

using testdata::Bytes;
using testdata::Colour;
using testdata::Floats;
using testdata::Header;
using testdata::Indices;
using testdata::SubChunk;
using testdata::SurfaceBody;

namespace {

Bytes SquarePoints() { return Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}); }

// Four points, one quad on surface 1, two surfaces, seams in lists 0 and 2.
Bytes SoundFile() {
    Bytes b = Header(4, 1, 2, 77);
    b.Chunk("PNTS", SquarePoints());
    b.Chunk("NRMS", Floats({0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}));
    b.Chunk("SRFS", Indices({0, 1, 2, 3, 1}));
    b.Chunk("SURF", SurfaceBody("Skin", Colour(255, 0, 128)));
    b.Chunk("SURF", SurfaceBody("Hair"));
    b.Chunk("P001", Indices({0, 1}));
    b.Chunk("P003", Indices({3, 2, 1}));
    return b;
}

using Part = std::unique_ptr<model::MeshObject>;

// Reads the bytes into `part`; false (and null) when refused, `why` saying why.
bool Read(Part& part, const Bytes& bytes, formats::ObjectRefusal* why = nullptr) {
    formats::ObjectRefusal refusal;
    part = formats::ReadObjectImage(bytes.data, refusal);
    if (why != nullptr) *why = refusal;
    return part != nullptr;
}

}  // namespace

TEST(ObjectReader, SoundFileFillsEveryField) {
    Part o;
    ASSERT_TRUE(Read(o, SoundFile()));
    EXPECT_EQ(o->pointCount, 4);
    EXPECT_EQ(o->polygonCount, 1);
    EXPECT_EQ(o->surfaceCount, 2);
    EXPECT_EQ(o->fourthHeaderValue, 77);
    ASSERT_EQ(o->points.size(), 12u);
    EXPECT_FLOAT_EQ(o->points[6], 1.0f);
    EXPECT_FLOAT_EQ(o->points[7], 1.0f);
    EXPECT_EQ(o->restPoints, o->points);
    ASSERT_EQ(o->normals.size(), 12u);
    EXPECT_FLOAT_EQ(o->normals[2], 1.0f);
    ASSERT_EQ(o->polygons.size(), 1u);
    EXPECT_EQ(o->polygons[0].c, 2);
    EXPECT_EQ(o->polygons[0].d, 3);
    EXPECT_EQ(o->polygons[0].surface, 1);
    EXPECT_EQ(o->BoundaryCount(0), 2);
    EXPECT_EQ(o->BoundaryCount(1), 0);
    EXPECT_EQ(o->BoundaryList(1), nullptr);
    ASSERT_EQ(o->BoundaryCount(2), 3);
    EXPECT_EQ(o->BoundaryList(2)[0], 3);
    EXPECT_EQ(o->BoundaryList(2)[2], 1);

    // Two surfaces from the file and ten spare ones.
    ASSERT_EQ(o->surfaces.size(), 12u);
    EXPECT_EQ(o->surfaces[0].name, "Skin");
    EXPECT_FLOAT_EQ(o->surfaces[0].colour[0], 1.0f);
    EXPECT_FLOAT_EQ(o->surfaces[0].colour[1], 0.0f);
    EXPECT_FLOAT_EQ(o->surfaces[0].colour[2], 128.0f / 255.0f);
    EXPECT_EQ(o->surfaces[0].attributeByteCount, 10u);
    // The attribute bytes are the COLR sub-chunk inside the image.
    ASSERT_LE(o->surfaces[0].attributeOffset + 4, o->fileImage.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&o->fileImage[o->surfaces[0].attributeOffset]), 4), "COLR");
    EXPECT_EQ(o->surfaces[1].name, "Hair");
    EXPECT_EQ(o->surfaces[1].attributeByteCount, 0u);
    EXPECT_FLOAT_EQ(o->surfaces[1].colour[0], 0.5f);
    for (std::size_t i = 2; i < 12; ++i) {
        EXPECT_TRUE(o->surfaces[i].name.empty());
        EXPECT_FLOAT_EQ(o->surfaces[i].colour[2], 0.5f);
    }
}

TEST(ObjectReader, HeaderOnlyFileHasCountsButNoGeometry) {
    Part o;
    ASSERT_TRUE(Read(o, Header(3, 2, 1, 5)));
    EXPECT_EQ(o->pointCount, 3);
    EXPECT_EQ(o->polygonCount, 2);
    EXPECT_EQ(o->surfaceCount, 1);
    EXPECT_EQ(o->fourthHeaderValue, 5);
    EXPECT_FALSE(o->CheckPoints());
    EXPECT_TRUE(o->points.empty());
    EXPECT_TRUE(o->normals.empty());
    EXPECT_TRUE(o->polygons.empty());
    for (int k = 0; k < model::kBoundaryListCount; ++k) EXPECT_EQ(o->BoundaryList(k), nullptr);
    EXPECT_EQ(o->surfaces.size(), 11u);
}

TEST(ObjectReader, SurfacesAreNumberedInFileOrderInsideAndOutsideTheContainer) {
    Bytes inner;
    inner.Chunk("SURF", SurfaceBody("B")).Chunk("SURF", SurfaceBody("C"));
    Bytes b = Header(0, 0, 4);
    b.Chunk("SURF", SurfaceBody("A"));
    b.Chunk("SUFS", inner);
    b.Chunk("SURF", SurfaceBody("D"));
    Part o;
    ASSERT_TRUE(Read(o, b));
    EXPECT_EQ(o->surfaces[0].name, "A");
    EXPECT_EQ(o->surfaces[1].name, "B");
    EXPECT_EQ(o->surfaces[2].name, "C");
    EXPECT_EQ(o->surfaces[3].name, "D");

    // The container's own length is never used to move on.
    Bytes bogus = Header(0, 0, 2);
    bogus.Id("SUFS").U32(0xFFFFFFF0u).Append(inner);
    Part o2;
    ASSERT_TRUE(Read(o2, bogus));
    EXPECT_EQ(o2->surfaces[1].name, "C");
}

TEST(ObjectReader, ColourComesFromTheFirstColrWhereverItStands) {
    Bytes attributes = SubChunk("TRAN", Bytes().U8(1).U8(2).U8(3)).Append(SubChunk("GLOS", Bytes()));
    attributes.Append(Colour(10, 20, 30)).Append(Colour(255, 255, 255));
    Bytes b = Header(0, 0, 1);
    b.Chunk("SURF", SurfaceBody("Shirt", attributes));
    Part o;
    ASSERT_TRUE(Read(o, b));
    EXPECT_FLOAT_EQ(o->surfaces[0].colour[0], 10 / 255.0f);
    EXPECT_FLOAT_EQ(o->surfaces[0].colour[1], 20 / 255.0f);
    EXPECT_FLOAT_EQ(o->surfaces[0].colour[2], 30 / 255.0f);
    EXPECT_EQ(o->surfaces[0].attributeByteCount, attributes.data.size());

    // Damaged attributes: a sub-chunk whose length runs past the attribute
    // bytes, and a COLR too short for three values, both leave grey.
    Bytes damaged = Header(0, 0, 2);
    damaged.Chunk("SURF", SurfaceBody("Long", SubChunk("XXXX", Bytes()).U8(0).U8(0).U8(0)));
    damaged.Chunk("SURF", SurfaceBody("Short", Bytes().Text("COLR").U16BigEndian(2).U8(255).U8(255)));
    Part o2;
    ASSERT_TRUE(Read(o2, damaged));
    EXPECT_FLOAT_EQ(o2->surfaces[0].colour[0], 0.5f);
    EXPECT_EQ(o2->surfaces[1].name, "Short");
    EXPECT_FLOAT_EQ(o2->surfaces[1].colour[0], 0.5f);
}

TEST(ObjectReader, LenientChunksAreAccepted) {
    // A longer header, an unknown chunk, an odd-length list and longer data
    // chunks than the counts need are all read.
    Bytes b = Bytes().Chunk("MWOB", Bytes().U32(4).U32(1).U32(0).U32(9).U32(0xDEADBEEF).U32(1));
    b.Chunk("ABCD", Bytes().U32(1).U32(2).U8(3));
    b.Chunk("PNTS", SquarePoints().F32(99));
    b.Chunk("SRFS", Indices({0, 1, 2, 3, 0, 7}));
    b.Chunk("P008", Indices({2, 1}).U8(0x33));
    Part o;
    ASSERT_TRUE(Read(o, b));
    EXPECT_EQ(o->fourthHeaderValue, 9);
    EXPECT_EQ(o->points.size(), 12u);
    EXPECT_EQ(o->polygons.size(), 1u);
    ASSERT_EQ(o->BoundaryCount(7), 2);
    EXPECT_EQ(o->BoundaryList(7)[1], 1);
    // A file without normals is accepted: no normals.
    EXPECT_TRUE(o->normals.empty());
}

TEST(ObjectReader, SurfaceNamesAreCutAndDamagedNamesLeftEmpty) {
    const std::string longName(300, 'n');
    Bytes b = Header(0, 0, 3);
    b.Chunk("SURF", SurfaceBody(longName));
    b.Chunk("SURF", Bytes().Id("NAME").U32(1000).Text("abc"));  // name runs past its chunk
    b.Chunk("SURF", Bytes().Id("NAMX").U32(3).Text("abc"));     // no NAME record
    Part o;
    ASSERT_TRUE(Read(o, b));
    EXPECT_EQ(o->surfaces[0].name, std::string(255, 'n'));
    EXPECT_TRUE(o->surfaces[1].name.empty());
    EXPECT_FLOAT_EQ(o->surfaces[1].colour[1], 0.5f);
    EXPECT_TRUE(o->surfaces[2].name.empty());
    // A name is text: it ends at a zero byte.
    Bytes z = Header(0, 0, 1);
    z.Chunk("SURF", SurfaceBody(std::string("ab\0cd", 5)));
    ASSERT_TRUE(Read(o, z));
    EXPECT_EQ(o->surfaces[0].name, "ab");
}

TEST(ObjectReader, SurfaceChunksBeyondTheTableAreIgnored) {
    Bytes b = Header(0, 0, 0);
    for (int i = 0; i < 12; ++i) b.Chunk("SURF", SurfaceBody("S" + std::to_string(i)));
    Part o;
    ASSERT_TRUE(Read(o, b));
    ASSERT_EQ(o->surfaces.size(), 10u);
    EXPECT_EQ(o->surfaces[9].name, "S9");
}

TEST(ObjectReader, DamagedFilesAreRefused) {
    const auto refused = [](const Bytes& b) {
        Part o;
        return !Read(o, b);
    };
    const auto withHeader = [](std::uint32_t points, std::uint32_t polygons, std::uint32_t surfaces,
                               const Bytes& rest) { return Header(points, polygons, surfaces).Append(rest); };

    EXPECT_TRUE(refused(Bytes()));
    EXPECT_TRUE(refused(Bytes().Text("MWO")));
    EXPECT_TRUE(refused(Bytes().Chunk("PNTS", Bytes()).Append(Header(0, 0, 0))));  // header not first
    EXPECT_TRUE(refused(Bytes().Chunk("MWOB", Bytes().U32(1).U32(1).U32(1))));     // header of 12 bytes
    EXPECT_TRUE(refused(Header(65537, 0, 0)));
    EXPECT_TRUE(refused(Header(1, 0x80000000u, 0)));
    EXPECT_TRUE(refused(Header(1, 0, 70000)));
    EXPECT_TRUE(refused(withHeader(0, 0, 0, Header(0, 0, 0))));  // a second header

    // Lengths running past the end, including one that would wrap the offset.
    EXPECT_TRUE(refused(withHeader(4, 0, 0, Bytes().Id("PNTS").U32(48).Append(Floats({1, 2, 3})))));
    EXPECT_TRUE(refused(withHeader(0, 0, 0, Bytes().Id("ABCD").U32(0xFFFFFFF8u))));
    EXPECT_TRUE(refused(withHeader(0, 0, 0, Bytes().U8(1).U8(2).U8(3))));  // cut-off chunk header

    // Data chunks shorter than the header's counts.
    EXPECT_TRUE(refused(withHeader(4, 0, 0, Bytes().Chunk("PNTS", Floats({0, 0, 0, 1, 1, 1})))));
    EXPECT_TRUE(refused(withHeader(4, 0, 0, Bytes().Chunk("PNTS", SquarePoints()).Chunk("NRMS", Floats({0, 0, 1})))));
    EXPECT_TRUE(refused(withHeader(4, 2, 1, Bytes().Chunk("SRFS", Indices({0, 1, 2, 3, 0, 0, 1, 2})))));

    // Indices outside their arrays: a corner, a surface, a seam entry.
    const Bytes points = Bytes().Chunk("PNTS", SquarePoints());
    EXPECT_TRUE(refused(withHeader(4, 1, 1, Bytes(points).Chunk("SRFS", Indices({0, 1, 4, 3, 0})))));
    EXPECT_TRUE(refused(withHeader(4, 1, 1, Bytes(points).Chunk("SRFS", Indices({0, 1, 2, 3, 11})))));
    EXPECT_TRUE(refused(withHeader(4, 0, 0, Bytes(points).Chunk("P002", Indices({1, 4})))));
    EXPECT_TRUE(refused(withHeader(0, 0, 0, Bytes().Chunk("P001", Indices({0})))));

    // The limits themselves are accepted: 65 536 points, the last spare surface.
    Part o;
    EXPECT_TRUE(Read(o, Header(65536, 0, 0)));
    EXPECT_TRUE(Read(o, withHeader(4, 1, 1, Bytes(points).Chunk("SRFS", Indices({0, 1, 2, 3, 10})))));
}

TEST(ObjectReader, EveryLimitIsHeldJustPastItsEdge) {
    const auto refused = [](const Bytes& b) {
        Part o;
        return !Read(o, b);
    };

    // A chunk header cut off after 1 … 7 bytes, at the top level and inside a
    // container; all 8 bytes (an empty chunk) are a whole chunk.
    const Bytes emptyChunk = Bytes().Id("PNTS").U32(0);
    for (const char* container : {"", "SUFS"}) {
        Bytes before = Header(0, 0, 0);
        if (*container != '\0') before.Id(container).U32(8);
        for (std::size_t cut = 1; cut < 8; ++cut) {
            Bytes b = before;
            b.data.insert(b.data.end(), emptyChunk.data.begin(), emptyChunk.data.begin() + cut);
            EXPECT_TRUE(refused(b)) << "cut after " << cut << " bytes " << container;
        }
        Part o;
        EXPECT_TRUE(Read(o, Bytes(before).Append(emptyChunk))) << container;
    }

    // Each corner of a quad one past the last point in turn; the last point
    // itself is a good corner.
    const Bytes points = Bytes().Chunk("PNTS", SquarePoints());
    for (int corner = 0; corner < 4; ++corner) {
        unsigned index[4] = {3, 3, 3, 3};
        index[corner] = 4;
        EXPECT_TRUE(refused(Header(4, 1, 1).Append(points).Chunk(
            "SRFS", Indices({index[0], index[1], index[2], index[3], 0}))))
            << "corner " << corner;
    }
    Part o;
    ASSERT_TRUE(Read(o, Header(4, 1, 1).Append(points).Chunk("SRFS", Indices({3, 3, 3, 3, 0}))));
    EXPECT_EQ(o->polygons[0].a, 3);

    // A name length that takes exactly the rest of its chunk, and one byte
    // more: that name is not read, not even into the next chunk.
    Bytes names = Header(0, 0, 3);
    names.Chunk("SURF", Bytes().Id("NAME").U32(4).Text("Skin"));
    names.Chunk("SURF", Bytes().Id("NAME").U32(5).Text("Hair"));
    names.Chunk("SURF", SurfaceBody("Eyes"));
    ASSERT_TRUE(Read(o, names));
    EXPECT_EQ(o->surfaces[0].name, "Skin");
    EXPECT_EQ(o->surfaces[0].attributeByteCount, 0u);
    EXPECT_TRUE(o->surfaces[1].name.empty());
    EXPECT_FLOAT_EQ(o->surfaces[1].colour[0], 0.5f);
    EXPECT_EQ(o->surfaces[1].attributeByteCount, 0u);
    EXPECT_EQ(o->surfaces[2].name, "Eyes");
}

TEST(ObjectReader, ReadsFilesFromDisk) {
    const auto folder = std::filesystem::temp_directory_path() / "mw_object_reader_test";
    std::filesystem::create_directories(folder);
    const auto write = [&](const std::string& name, const std::vector<unsigned char>& bytes) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    };

    formats::ObjectRefusal why;
    const std::string good = write("good.mwo", SoundFile().data);
    Part o = formats::ReadObjectFile(good, why);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->objectName, good);
    EXPECT_EQ(o->pointCount, 4);
    EXPECT_EQ(o->fileImage.size(), SoundFile().data.size());
    // Backslash separators, as project files keep them, find the same file.
    const std::string backslashed = folder.string() + "\\good.mwo";
    Part again = formats::ReadObjectFile(backslashed, why);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->objectName, backslashed);

    std::vector<unsigned char> wrongStart = SoundFile().data;
    wrongStart[0] = 'X';
    EXPECT_EQ(formats::ReadObjectFile(write("bad.mwo", wrongStart), why), nullptr);
    EXPECT_EQ(formats::ReadObjectFile(write("tiny.mwo", {0x42, 0x4F}), why), nullptr);
    EXPECT_EQ(formats::ReadObjectFile((folder / "missing.mwo").string(), why), nullptr);
    EXPECT_EQ(formats::ReadObjectFile(folder.string(), why), nullptr);
    std::filesystem::remove_all(folder);
}

TEST(ObjectReader, RefusalsSayWhy) {
    using formats::ReadError;
    const Bytes points = Bytes().Chunk("PNTS", SquarePoints());
    const std::size_t afterHeader = Header(0, 0, 0).data.size();
    const struct { Bytes bytes; ReadError error; std::size_t at; } cases[] = {  // at: the chunk refused
        {Bytes().Chunk("PNTS", Bytes()), ReadError::kBadMagic, 0},
        {Bytes().Id("MWOB").U16(0), ReadError::kCutChunkHeader, 0},
        {Header(0, 0, 0).U8(1), ReadError::kCutChunkHeader, afterHeader},
        {Header(0, 0, 0).Append(Header(0, 0, 0)), ReadError::kSecondHeader, afterHeader},
        {Header(4, 0, 0).Id("PNTS").U32(48).Append(Floats({1, 2, 3})), ReadError::kChunkPastEnd, afterHeader},
        {Header(4, 0, 0).Chunk("PNTS", Floats({0, 0, 0})), ReadError::kShortPoints, afterHeader},
        {Header(4, 0, 0).Chunk("NRMS", Floats({0, 0, 1})), ReadError::kShortNormals, afterHeader},
        {Header(4, 1, 1).Append(points).Chunk("SRFS", Indices({0, 1, 4, 3, 0})), ReadError::kPolygonPointOutOfRange,
         afterHeader + points.data.size()},
        {Header(4, 1, 1).Append(points).Chunk("SRFS", Indices({0, 1, 2, 3, 11})),
         ReadError::kPolygonSurfaceOutOfRange, afterHeader + points.data.size()},
        {Header(4, 0, 0).Append(points).Chunk("SUFS", Bytes().Chunk("P002", Indices({1, 4}))),
         ReadError::kBoundaryPointOutOfRange, afterHeader + points.data.size() + 8},
    };
    for (const auto& c : cases) {
        Part o;
        formats::ObjectRefusal why;
        EXPECT_FALSE(Read(o, c.bytes, &why));
        EXPECT_EQ(why.error, c.error) << formats::ReadErrorText(c.error) << " got " << formats::ReadErrorText(why.error);
        EXPECT_EQ(why.at, c.at) << formats::ReadErrorText(c.error);
        EXPECT_EQ(why.reason, formats::ReadErrorText(c.error));
        // The next read starts afresh.
        ASSERT_TRUE(Read(o, SoundFile(), &why));
        EXPECT_EQ(why.error, ReadError::kNone);
        EXPECT_EQ(why.at, 0u);
    }

    // From disk: a file that is not there, one too short for the header id.
    const auto folder =
        std::filesystem::temp_directory_path() / ("mw_object_reader_reasons_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "short.mwo", std::ios::binary) << "MW";
    formats::ObjectRefusal why;
    EXPECT_EQ(formats::ReadObjectFile((folder / "missing.mwo").string(), why), nullptr);
    EXPECT_EQ(why.error, ReadError::kCannotOpen);
    EXPECT_EQ(why.reason, "No such file or directory");
    EXPECT_EQ(formats::ReadObjectFile((folder / "short.mwo").string(), why), nullptr);
    EXPECT_EQ(why.error, ReadError::kBadMagic);
    EXPECT_EQ(why.reason, "bad magic (not an object file)");
    std::filesystem::remove_all(folder);
}

// A run of many figures reads each file once, however many threads ask, and
// every figure copies its parts: what never changes (polygons, file bytes)
// is shared, what a figure changes is its own, and the part read stays as
// the file made it.
TEST(ParsedParts, EachFileIsReadOnceAndCopiesChangeOnlyThemselves) {
    const auto folder = std::filesystem::temp_directory_path() / ("mw_parsed_parts_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string good = (folder / "good.mwo").string();
    const std::string bad = (folder / "bad->mwo").string();
    std::ofstream(good, std::ios::binary).write(reinterpret_cast<const char*>(SoundFile().data.data()),
                                                 static_cast<std::streamsize>(SoundFile().data.size()));
    std::ofstream(bad, std::ios::binary) << "not an object file";

    formats::ParsedParts parsed;
    std::vector<const model::MeshObject*> found(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < found.size(); ++t) {
        threads.emplace_back([&, t] {
            found[t] = parsed.Find(good);
            if (parsed.Find(bad) != nullptr) found[t] = nullptr;
        });
    }
    for (std::thread& thread : threads) thread.join();
    ASSERT_NE(found[0], nullptr);
    for (const model::MeshObject* part : found) EXPECT_EQ(part, found[0]);
    EXPECT_EQ(parsed.FilesRead(), 2u);
    const model::MeshObject& read = *found[0];
    EXPECT_EQ(read.objectName, good);

    std::unique_ptr<model::MeshObject> copy = read.Copy();
    EXPECT_TRUE(copy->polygons.SharesWith(read.polygons));
    EXPECT_TRUE(copy->fileImage.SharesWith(read.fileImage));
    copy->polygons.Edit()[0].a = 2;
    EXPECT_EQ(read.polygons[0].a, 0);
    EXPECT_FALSE(copy->polygons.SharesWith(read.polygons));

    // Two figures made from it, one deformed: the part read is untouched.
    testsupport::RecordingSink sink;
    model::Creature first(sink);
    model::Creature second(sink);
    ASSERT_TRUE(first.SetPart("Left arm", read, 9));
    ASSERT_TRUE(second.SetPart("Left arm", read, 9));
    model::MeshObject* arm = first.PartNamed("Left arm");
    arm->settings.deformFactors[model::kLockNone][0] = 0.5f;
    first.ApplyParameters(arm);
    formats::ObjectRefusal why;
    const Part fresh = formats::ReadObjectFile(good, why);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(read.points, fresh->points);
    EXPECT_EQ(read.restPoints, fresh->restPoints);
    EXPECT_EQ(read.typeId, -1);
    EXPECT_NE(arm->points, second.PartNamed("Left arm")->points);
    EXPECT_EQ(second.PartNamed("Left arm")->points, fresh->points);
    EXPECT_TRUE(sink.shown.empty());
    std::filesystem::remove_all(folder);
}
