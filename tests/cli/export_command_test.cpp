// mwbatch export: each output type from a project on a library written by
// the test, and every way it can fail, with its exit status and message.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

#include "../panels/temp_dir.h"
#include "../panels/tiny_library.h"
#include "../support/stl_corners.h"
#include "cli/command.h"
#include "formats/mesh_exports.h"

namespace cli {
namespace {

using testlib::ReadAll;

// A project of a nose and a head, saved against "lib" in the test's folder.
constexpr const char* kProject =
    "MW1\r\n2\r\n17\r\n5\r\nNose\r\n\\Nose\\n1.mwo\r\n"
    "0 0 0 0 0 0 0 0 0 0.010000 0.010000 0.010000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 "
    "0.000000 0.000000 0.000000 0 0 0 0\r\n"
    "0\r\n0\r\nHead\r\n\\Head\\h1.mwo\r\n"
    "0 0 0 0 0 0 0 0 0 0.010000 0.010000 0.010000 0.100000 0.000000 0.000000 0.000000 0.000000 0.000000 "
    "0.000000 0.000000 0.000000 0 0 0 0\r\n";

class ExportCommandTest : public testlib::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        testlib::MakeTinyLibrary(dir / "lib", {{"Head", {"h1.mwo"}}, {"Nose", {"n1.mwo"}}}, {});
        std::ofstream(dir / "figure.mwp", std::ios::binary) << kProject;
    }
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), "--objects");
        args.insert(args.begin() + 1, (dir / "lib").string());
        return RunExport(args, out, err);
    }
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ExportCommandTest, WritesEachTypeByItsExtensionInAnyCase) {
    ASSERT_EQ(Run({"figure.mwp", "again.MWP"}), kExitDone) << err.str();
    EXPECT_EQ(ReadAll(dir / "again.MWP"), kProject);  // the same recipe, byte for byte
    EXPECT_EQ(Run({"figure.mwp", "figure.3DS"}), kExitDone) << err.str();
    EXPECT_EQ(ReadAll(dir / "figure.3DS").substr(0, 2), "MM");
    EXPECT_EQ(ReadAll(dir / "figure.3DS").find("Head_Skin"), std::string::npos);
    EXPECT_EQ(Run({"--type-names", "figure.mwp", "typed.3ds"}), kExitDone);
    EXPECT_NE(ReadAll(dir / "typed.3ds").find("Head_Skin"), std::string::npos);
    EXPECT_EQ(Run({"figure.mwp", "figure.dxf"}), kExitDone);
    EXPECT_EQ(ReadAll(dir / "figure.dxf").substr(0, 11), "0\r\nSECTION\r");
    for (const char* name : {"figure.glb", "figure.OBJ", "figure.stl"}) EXPECT_EQ(Run({"figure.mwp", name}), kExitDone);
    EXPECT_EQ(ReadAll(dir / "figure.glb").substr(0, 4), "glTF");
    EXPECT_NE(ReadAll(dir / "figure.OBJ").find("usemtl"), std::string::npos);
    EXPECT_EQ(ReadAll(dir / "figure.stl").substr(0, 11), "Morphwright");
    EXPECT_EQ(err.str(), "");  // "Saved" is not written

    // Without --objects, mw.cfg in the current directory names the library.
    std::ofstream("mw.cfg") << "ObjectDir " << (dir / "lib").string() << "\n";
    std::vector<std::string> args = {"figure.mwp", "from config.dxf"};
    EXPECT_EQ(RunExport(args, out, err), kExitDone) << err.str();
}

// A row of the export table is all it takes: its extension, in capitals too,
// picks its writer, and the help names it.
TEST_F(ExportCommandTest, EveryMeshExportIsWrittenByItsExtensionAndExplained) {
    ASSERT_EQ(Run({"--help"}), kExitDone);
    const std::string help = out.str();
    for (const formats::MeshExport& mesh : formats::kMeshExports) {
        std::string name = std::string("FIGURE") + mesh.extension;
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(Run({"figure.mwp", name}), kExitDone) << name << ": " << err.str();
        EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
        EXPECT_NE(help.find("\n  " + std::string(mesh.extension) + "  " + mesh.help + "\n"), std::string::npos)
            << mesh.extension;
    }
}

TEST_F(ExportCommandTest, FailuresSayWhatIsWrongAndWriteNothing) {
    std::ofstream(dir / "not a project.mwp") << "MW10\r\n0\r\n";
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;
        const char* notWritten;
    } cases[] = {
        {{"missing.mwp", "out.3ds"}, kExitFailed,
         "Error!: Couldn't open project file! (missing.mwp: No such file or directory)\n", "out.3ds"},
        {{"not a project.mwp", "out.3ds"}, kExitFailed,
         "Error!: Couldn't open project file! (not a project.mwp: not a project file)\n", "out.3ds"},
        {{"figure.mwp", "no folder/out.3ds"}, kExitFailed,
         "Error!: Coudln't open file for saving! (no folder/out.3ds: No such file or directory)\n", "no folder"},
        {{"figure.mwp", "no folder/out.dxf"}, kExitFailed,
         "Error!: Coudln't open file for saving! (no folder/out.dxf: No such file or directory)\n", "no folder"},
        {{"figure.mwp", "no folder/out.mwp"}, kExitFailed,
         "Error!: Couldn't save project! (no folder/out.mwp: No such file or directory)\n", "no folder"},
        {{"figure.mwp", "out.ply"}, kExitUsage, "must end in .3ds, .dxf, .glb, .obj, .stl or .mwp", "out.ply"},
        {{"figure.mwp"}, kExitUsage, "give a project file and an output file", "out.3ds"},
        {{"--bogus", "figure.mwp", "out.3ds"}, kExitUsage, "unknown option --bogus", "out.3ds"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), c.status) << c.args.back();
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_FALSE(std::filesystem::exists(dir / c.notWritten)) << c.notWritten;
    }

    // A library that is not there, given or configured.
    std::vector<std::string> args = {"--objects", (dir / "nowhere").string(), "figure.mwp", "out.3ds"};
    EXPECT_EQ(RunExport(args, out, err), kExitFailed);
    EXPECT_NE(err.str().find("no such object directory"), std::string::npos);
    args = {"figure.mwp", "out.3ds"};
    EXPECT_EQ(RunExport(args, out, err), kExitFailed);  // no mw.cfg here
    EXPECT_NE(err.str().find("no object directory"), std::string::npos);
    // Parts that cannot be loaded are reported; with none left nothing is written.
    std::filesystem::remove(dir / "lib/Head/h1.mwo");
    std::filesystem::remove(dir / "lib/Nose/n1.mwo");
    EXPECT_EQ(Run({"figure.mwp", "out.3ds"}), kExitFailed);
    EXPECT_NE(err.str().find("Unable to add object: "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.3ds"));
    // A folder without any part folder is no object library.
    std::filesystem::rename(dir / "lib/Head", dir / "lib/Gone");
    std::filesystem::rename(dir / "lib/Nose", dir / "lib/Gone too");
    EXPECT_EQ(Run({"figure.mwp", "out.3ds"}), kExitFailed);
    EXPECT_NE(err.str().find("no part folders"), std::string::npos);
}

// One unit is a metre unless the library's library.cfg says otherwise, and
// --scale overrides both; the size is all that changes.
TEST_F(ExportCommandTest, TheModernFormatsTakeTheLibrarysUnitOrTheScaleGiven) {
    ASSERT_EQ(Run({"figure.mwp", "metre.stl"}), kExitDone) << err.str();
    const std::vector<float> metre = testsupport::StlCorners(ReadAll(dir / "metre.stl"));
    ASSERT_FALSE(metre.empty());
    const auto scaledBy = [&](const std::string& file, float factor) {
        const std::vector<float> corners = testsupport::StlCorners(ReadAll(dir / file));
        if (corners.size() != metre.size()) return false;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            if (corners[i] != factor * metre[i]) return false;
        }
        return true;
    };
    std::ofstream(dir / "lib/library.cfg", std::ios::binary) << "metresperunit 2.0\r\n";
    EXPECT_EQ(Run({"figure.mwp", "library.stl"}), kExitDone) << err.str();
    EXPECT_TRUE(scaledBy("library.stl", 2));
    EXPECT_EQ(Run({"--scale", "4", "figure.mwp", "given.stl"}), kExitDone) << err.str();
    EXPECT_TRUE(scaledBy("given.stl", 4));
    // What was tidied, on request only.
    EXPECT_EQ(Run({"--verbose", "figure.mwp", "told.glb"}), kExitDone);
    EXPECT_NE(err.str().find("told.glb: "), std::string::npos) << err.str();
    EXPECT_NE(err.str().find(" triangles without area left out, "), std::string::npos) << err.str();

    // A wrong unit in the library stops the modern formats (not .3ds), unless
    // --scale stands in for it; a wrong --scale is a wrong command line.
    std::ofstream(dir / "lib/library.cfg", std::ios::binary) << "MetresPerUnit -1\r\n";
    EXPECT_EQ(Run({"figure.mwp", "wrong.glb"}), kExitFailed);
    EXPECT_NE(err.str().find("library.cfg: MetresPerUnit -1: not a size above 0"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(dir / "wrong.glb"));
    EXPECT_EQ(Run({"figure.mwp", "still.3ds"}), kExitDone) << err.str();
    EXPECT_EQ(Run({"--scale=2", "figure.mwp", "overridden.stl"}), kExitDone) << err.str();
    EXPECT_TRUE(scaledBy("overridden.stl", 2));
    for (const char* scale : {"0", "-2", "nan", "inf", "2m", ""}) {
        EXPECT_EQ(Run({"--scale", scale, "figure.mwp", "refused.stl"}), kExitUsage) << scale;
        EXPECT_NE(err.str().find("--scale"), std::string::npos) << err.str();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "refused.stl"));
}

// Build factors so large that points leave the float range never reach a
// file: every file written holds finite numbers only, or the figure is
// refused naming the part.
TEST_F(ExportCommandTest, NoFileHoldsNumbersBeyondFinite) {
    for (const char* factor : {"10000000000.000000", "1000000000000000000000000000000.000000",
                               "300000000000000000000000000000000000000.000000"}) {
        std::string project = kProject;
        project.replace(project.rfind("0.100000"), 8, factor);
        std::ofstream(dir / "huge.mwp", std::ios::binary) << project;
        for (const formats::MeshExport& mesh : formats::kMeshExports) {
            const std::string output = std::string("huge") + mesh.extension;
            std::filesystem::remove(dir / output);
            const int status = Run({"huge.mwp", output});
            if (status == kExitDone) {
                const std::string bytes = ReadAll(dir / output);
                const std::string suffix = std::filesystem::path(output).extension().string();
                if (suffix == ".stl") {
                    for (float c : testsupport::StlCorners(bytes)) ASSERT_TRUE(std::isfinite(c)) << factor;
                }
                for (const char* word : {"inf", "nan", "null"}) {
                    if (suffix == ".obj" || suffix == ".dxf" || suffix == ".glb") {
                        EXPECT_EQ(bytes.find(word), std::string::npos) << factor << " " << output;
                    }
                }
            } else {
                EXPECT_EQ(status, kExitFailed) << output;
                EXPECT_NE(err.str().find("The part \"Head\" has points beyond any number a file holds"),
                          std::string::npos)
                    << err.str();
                EXPECT_FALSE(std::filesystem::exists(dir / output));
            }
        }
    }
}

// A FIFO or a folder where a file is read is refused at once, never waited on.
TEST_F(ExportCommandTest, OnlyRegularFilesAreRead) {
    ASSERT_EQ(::mkfifo((dir / "fifo.mwp").c_str(), 0600), 0);
    std::filesystem::create_directories(dir / "folder.mwp");
    for (const char* project : {"fifo.mwp", "folder.mwp"}) {
        EXPECT_EQ(Run({project, "out.3ds"}), kExitFailed);
        EXPECT_EQ(err.str(), "Error!: Couldn't open project file! (" + std::string(project) + ": not a regular file)\n");
    }
    // A part file that is a FIFO is a part that cannot be added: the figure
    // is written without it, and the exit status says it is incomplete.
    std::filesystem::remove(dir / "lib/Nose/n1.mwo");
    ASSERT_EQ(::mkfifo((dir / "lib/Nose/n1.mwo").c_str(), 0600), 0);
    EXPECT_EQ(Run({"figure.mwp", "out.3ds"}), kExitFailed);
    EXPECT_NE(err.str().find("Unable to add object: " + (dir / "lib").string() + "/Nose/n1.mwo"), std::string::npos)
        << err.str();
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "out.3ds"));
    // A FIFO at mw.cfg is no configuration.
    ASSERT_EQ(::mkfifo("mw.cfg", 0600), 0);
    std::vector<std::string> args = {"figure.mwp", "out.dxf"};
    EXPECT_EQ(RunExport(args, out, err), kExitFailed);
    EXPECT_NE(err.str().find("no object directory"), std::string::npos) << err.str();
}

TEST_F(ExportCommandTest, TheProgramDispatchesAndExplains) {
    const std::string program = MWBATCH;
    auto status = [](const std::string& command) {
        const int raw = std::system((command + " >/dev/null 2>&1").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(status(program), kExitUsage);
    EXPECT_EQ(status(program + " frobnicate"), kExitUsage);
    EXPECT_EQ(status(program + " --help"), kExitDone);
    EXPECT_EQ(status(program + " export --help"), kExitDone);
    EXPECT_EQ(status(program + " export --objects lib figure.mwp 'shell out.dxf'"), kExitDone);
    EXPECT_TRUE(std::filesystem::exists(dir / "shell out.dxf"));
}

}  // namespace
}  // namespace cli
