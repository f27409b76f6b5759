// Loading project files: sound files come back as they were saved, from any
// object directory; damaged ones load what they can and never read past
// their text or hang.
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "formats/object_reader.h"
#include "project_fixture.h"

namespace projecttest {
namespace {

using Selections = std::vector<std::pair<int, std::string>>;

// Loads a project into `into`, which holds a head beforehand, and returns
// the selections the lists were asked for.
Selections Load(const formats::ProjectFile& project, model::Creature& into, const std::string& library,
                int* loaded = nullptr) {
    EXPECT_TRUE(formats::SetPartFromFile(into, "Head", library + "/Head/head01.mwo", 0));
    Selections selected;
    const int n = formats::LoadProjectRecords(project, into, library, [&](int list, const std::string& file) {
        selected.emplace_back(list, file);
    });
    if (loaded != nullptr) *loaded = n;
    return selected;
}

std::vector<std::string> TypeNames(const model::Creature& c) {
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < c.parts.Count(); ++i) names.push_back(c.PartAt(i)->objectType);
    return names;
}

class ProjectRoundTrip : public ProjectTest {
protected:
    void SaveMoveLoadSave(bool deform);
};

// Saved against one library, loaded from a copy of it elsewhere, saved again.
void ProjectRoundTrip::SaveMoveLoadSave(bool deform) {
    MakeFigure(deform);
    ASSERT_TRUE(formats::SaveProject(creature, "a.mwp", lib, sink));
    const std::string moved = (dir / "moved").string();
    std::filesystem::copy(lib, moved, std::filesystem::copy_options::recursive);
    std::filesystem::remove_all(lib);

    formats::ProjectFile project;
    ASSERT_TRUE(formats::ReadProjectFile("a.mwp", project));
    model::Creature loaded(sink);
    int count = 0;
    EXPECT_EQ(Load(project, loaded, moved, &count), (Selections{{9, "arm01.mwo"}, {10, "Fore_A.MWO"}}));
    EXPECT_EQ(count, 2);
    ASSERT_EQ(TypeNames(loaded), (std::vector<std::string>{"Left arm", "Left forearm"}));
    for (std::int32_t i = 0; i < 2; ++i) {
        const model::MeshObject& was = *creature.PartAt(i);
        const model::MeshObject& is = *loaded.PartAt(i);
        EXPECT_EQ(is.objectName, moved + was.objectName.substr(lib.size()));
        EXPECT_EQ(is.typeId, was.typeId);
        EXPECT_EQ(is.panelIndex, was.panelIndex);
        EXPECT_EQ(0, std::memcmp(is.settings.sliderPositions, was.settings.sliderPositions, sizeof is.settings.sliderPositions));
        EXPECT_EQ(0, std::memcmp(is.settings.sliderSteps, was.settings.sliderSteps, sizeof is.settings.sliderSteps));
        EXPECT_EQ(0, std::memcmp(is.settings.deformFactors, was.settings.deformFactors, sizeof is.settings.deformFactors));
        EXPECT_EQ(0, std::memcmp(is.settings.lockModes, was.settings.lockModes, sizeof is.settings.lockModes));
        EXPECT_EQ(is.points, was.points) << is.objectType;
        if (deform) {
            EXPECT_NE(was.points, was.restPoints) << "deformed";
        }
    }
    ASSERT_TRUE(formats::SaveProject(loaded, "b.mwp", moved + "/", sink));
    EXPECT_EQ(ReadBytes("b.mwp"), ReadBytes("a.mwp"));
    EXPECT_TRUE(sink.shown.empty()) << sink.shown[0];
}

TEST_F(ProjectRoundTrip, SameFilesSettingsAndPointsFromAnotherDirectory) { SaveMoveLoadSave(false); }
TEST_F(ProjectRoundTrip, SameFactorsAndPointsOfADeformedFigure) { SaveMoveLoadSave(true); }

// Only a regular file of at most 64 MiB whose first line is "MW1" is read;
// anything else says why, before a byte of it is held.
TEST_F(ProjectTest, OnlyProjectFilesAreRead) {
    std::ofstream("huge.mwp").close();
    std::filesystem::resize_file("huge.mwp", formats::kMaxProjectBytes + 1);  // sparse: nothing is written
    const struct {
        const char* path;
        const char* contents;  // null: made otherwise
        const char* why;       // empty: read
    } cases[] = {
        {"missing.mwp", nullptr, "No such file or directory"},
        {".", nullptr, "not a regular file"},
        {"huge.mwp", nullptr, "larger than 64 MiB, not a project file"},
        {"text.mwp", "Shopping list\r\n", "not a project file"},
        {"longer.mwp", "MW12\r\n0\r\n", "not a project file"},
        {"empty.mwp", "", "not a project file"},
        {"dos.mwp", "MW1\r\n0\r\n", ""},
        {"unix.mwp", "MW1\n0\n", ""},
    };
    for (const auto& c : cases) {
        if (c.contents != nullptr) std::ofstream(c.path, std::ios::binary) << c.contents;
        formats::ProjectFile project;
        std::string why;
        EXPECT_EQ(formats::ReadProjectFile(c.path, project, &why), *c.why == '\0') << c.path;
        EXPECT_EQ(why, c.why) << c.path;
    }
}

constexpr const char* kZeros = "0 0 0 0 0 0 0 0 0 0.010000 0.010000 0.010000 0 0 0 0 0 0 0 0 0 0 0 0 0";

std::string Record(int typeId, int panel, const std::string& name, const std::string& path,
                   const std::string& numbers = kZeros) {
    return std::to_string(typeId) + "\r\n" + std::to_string(panel) + "\r\n" + name + "\r\n" + path + "\r\n" +
           numbers + "\r\n";
}

const std::string kArm = Record(3, 9, "Left arm", "\\Left arm\\arm01.mwo");

TEST_F(ProjectTest, DamagedFilesLoadWhatTheyCan) {
    using Check = std::function<void(const model::MeshObject&)>;  // on the last part of `parts`
    std::string lf = kFigureFile;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    const std::string longName(300, 'a');
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> parts;
        std::vector<std::string> boxes;  // texts of "Unable to add object"
        Selections selected;
        Check check;
    } cases[] = {
        {"LF line ends", lf, {"Left arm", "Left forearm"}, {}, {{9, "arm01.mwo"}, {10, "Fore_A.MWO"}},
         [](const model::MeshObject& fore) { EXPECT_EQ(fore.settings.deformFactors[2][1], -2.75f); }},
        {"any header, panel index not the type's", "??\r\n1\r\n" + Record(3, 4, "Left arm", "\\Left arm\\arm01.mwo"),
         {"Left arm"}, {}, {{9, "arm01.mwo"}},
         [](const model::MeshObject& arm) { EXPECT_EQ(arm.panelIndex, 4); }},
        {"type ids of no type", "MW1\r\n2\r\n" + Record(22, 9, "Left arm", "\\Left arm\\arm01.mwo") +
         Record(-1, 0, "Head", "\\Head\\head01.mwo"), {"Left arm", "Head"}, {}, {}, nullptr},
        {"type name of no type", "MW1\r\n1\r\n" + Record(3, 9, "Tail", "\\Left arm\\arm01.mwo"), {}, {},
         {{9, "arm\\arm01.mwo"}}, nullptr},
        {"count far past the records", "MW1\r\n1000\r\n" + kArm, {"Left arm"}, {"objects"},
         {{9, "arm01.mwo"}, {9, ""}}, nullptr},
        {"count without records", "MW1\r\n5\r\n", {}, {"objects"}, {{0, ""}}, nullptr},
        {"negative count", "MW1\r\n-3\r\n" + kArm, {}, {}, {}, nullptr},
        {"empty file", "", {}, {}, {}, nullptr},
        {"type name twice", "MW1\r\n3\r\n" + kArm + Record(5, 10, "Left forearm", "\\Left forearm\\Fore_A.MWO") +
         Record(3, 9, "Left arm", "\\Left arm\\arm02.mwo", "0 0 0 0 0 0 0 0 0 1 1 1 0.5 0 0 0 0 0 0 0 0 0 0 0 0"),
         {"Left forearm", "Left arm"}, {}, {{9, "arm01.mwo"}, {10, "Fore_A.MWO"}, {9, "arm02.mwo"}},
         [](const model::MeshObject& arm) {
             EXPECT_EQ(arm.settings.deformFactors[0][0], 0.5f);
             EXPECT_EQ(arm.objectName.substr(arm.objectName.size() - 9), "arm02.mwo");
         }},
        {"numbers missing at the end", "MW1\r\n2\r\n" + Record(5, 10, "Left forearm", "\\Left forearm\\Fore_A.MWO",
         "1 2 3 4 5 6 7 8 9 0.5 0.25 2 -1 -2 -3 -4 -5 -6 -7 -8 -9 2 1 0 0") + "3\n9\nLeft arm\n\\Left arm\\arm01.mwo\n7 -7",
         {"Left forearm", "Left arm"}, {}, {{10, "Fore_A.MWO"}, {9, "arm01.mwo"}},
         [](const model::MeshObject& arm) {
             EXPECT_EQ(arm.settings.sliderPositions[0][1], -7);
             EXPECT_EQ(arm.settings.sliderPositions[2][2], 9);  // carried over
             EXPECT_EQ(arm.settings.sliderSteps[0], 0.5f);
             EXPECT_EQ(arm.settings.deformFactors[2][2], -9.0f);
             EXPECT_EQ(arm.settings.lockModes[0], 2);
         }},
        {"a word for a number", "MW1\r\n1\r\n" + Record(3, 9, "Left arm", "\\Left arm\\arm01.mwo", "1 2.5 x 9 9"),
         {"Left arm"}, {}, {{9, "arm01.mwo"}},
         [](const model::MeshObject& arm) {
             EXPECT_EQ(arm.settings.sliderPositions[0][0], 1);
             EXPECT_EQ(arm.settings.sliderPositions[0][1], 2);  // "%d" stops at the point
             EXPECT_EQ(arm.settings.sliderPositions[0][2], 0);
             EXPECT_EQ(arm.settings.sliderSteps[0], 0.01f);
         }},
        {"numbers no float holds", "MW1\r\n1\r\n" + Record(3, 9, "Left arm", "\\Left arm\\arm01.mwo",
         "0 0 0 0 0 0 0 0 0 inf nan 1e99 -1e-99 1 0 0 0 0 0 0 0 0 0 0 0"), {"Left arm"}, {}, {{9, "arm01.mwo"}},
         [](const model::MeshObject& arm) {
             EXPECT_EQ(arm.settings.sliderSteps[0], 0.0f);
             EXPECT_EQ(arm.settings.sliderSteps[1], 0.0f);
             EXPECT_EQ(arm.settings.sliderSteps[2], 0.0f);
             EXPECT_EQ(arm.settings.deformFactors[0][0], 0.0f);
             EXPECT_EQ(arm.settings.deformFactors[0][1], 1.0f);
         }},
        {"lock modes of no mode", "MW1\r\n1\r\n" + Record(3, 9, "Left arm", "\\Left arm\\arm01.mwo",
         "0 0 0 0 0 0 0 0 0 1 1 1 0 0 0 0 0 0 0 0 0 7 -1 2147483648 5"), {"Left arm"}, {}, {{9, "arm01.mwo"}},
         [](const model::MeshObject& arm) {
             EXPECT_EQ(arm.settings.lockModes[0], 7);
             EXPECT_EQ(arm.settings.lockModes[1], -1);
             EXPECT_EQ(arm.settings.lockModes[2], 2147483647);
             EXPECT_EQ(arm.settings.spareMode, 0);
         }},
        {"overlong path", "MW1\r\n1\r\n" + Record(3, 9, "Left arm", "\\Left arm\\" + longName),
         {}, {"objects/Left arm/" + longName}, {{9, longName}}, nullptr},
        {"path shorter than its folder", "MW1\r\n1\r\n" + Record(3, 9, "Left arm", "\\x"), {}, {"objects/x"},
         {{9, ""}}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::RecordingSink messages;
        model::Creature loaded(messages);
        const formats::ProjectFile project = formats::ParseProject(c.text);
        EXPECT_LE(project.records.size(), c.text.size() + 1);
        EXPECT_EQ(Load(project, loaded, lib), c.selected);
        EXPECT_EQ(TypeNames(loaded), c.parts);
        std::vector<std::string> boxes;
        for (const auto& m : messages.shown) {
            EXPECT_EQ(m.caption, "Unable to add object");
            const std::string prefix = dir.string() + "/";
            boxes.push_back(m.text.starts_with(prefix) ? m.text.substr(prefix.size()) : m.text);
        }
        EXPECT_EQ(boxes, c.boxes);
        if (c.check && !c.parts.empty()) {
            const model::MeshObject* part = loaded.PartNamed(c.parts.back());
            ASSERT_NE(part, nullptr);
            c.check(*part);
        }
    }
}

}  // namespace
}  // namespace projecttest
