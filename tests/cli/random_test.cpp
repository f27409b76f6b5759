// mwbatch random: figures made from their seeds alone (the same files from
// the same seeds whatever the job count), never " (none) ", projects that
// load back to the figure made, build factors, and every way a run is
// refused before it writes anything.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <thread>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "../panels/temp_dir.h"
#include "../panels/tiny_library.h"
#include "../support/stl_corners.h"
#include "cli/command.h"
#include "cli/random_batch.h"
#include "cli/random_recipe.h"
#include "formats/mesh_exports.h"
#include "../support/recording_sink.h"
#include "formats/object_library.h"
#include "formats/project_file.h"
#include "model/connection_tables.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "ui/message_sink.h"

namespace cli {
namespace {

namespace fs = std::filesystem;
using testlib::ReadAll;

using CountingSink = testsupport::RecordingSink;

// Every file of a folder by name, with its bytes.
std::map<std::string, std::string> FilesIn(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) files[entry.path().filename().string()] = ReadAll(entry.path());
    return files;
}

// The first file in which two folders differ, by name, size and hash, as
// one short line ("" when none does): a failure never prints the files.
std::string FirstDifference(const std::map<std::string, std::string>& got,
                            const std::map<std::string, std::string>& wanted) {
    const auto describe = [](const std::string& name, const std::string& bytes) {
        return name + " (" + std::to_string(bytes.size()) + " bytes, hash " +
               std::to_string(std::hash<std::string>{}(bytes)) + ")";
    };
    for (const auto& [name, bytes] : wanted) {
        const auto it = got.find(name);
        if (it == got.end()) return "missing " + name;
        if (it->second != bytes) return describe(name, it->second) + " instead of " + describe(name, bytes);
    }
    for (const auto& [name, bytes] : got) {
        if (wanted.count(name) == 0) return "unexpected " + name;
    }
    return "";
}

// 64-bit FNV-1a of a file's bytes: a mismatch says "changed" in one line.
std::uint64_t Fnv1a(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037u;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211u;
    return hash;
}

// Left and right parts by panel index.
constexpr std::pair<std::size_t, std::size_t> kPairs[] = {{1, 2},   {3, 4},   {9, 12},  {10, 13},
                                                          {11, 14}, {16, 19}, {17, 20}, {18, 21}};

class RandomCommandTest : public testlib::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        // Three files for most parts, none for the ears, one for the nose.
        testlib::MakeTinyLibrary(dir / "lib", {{"Left ear", {}}, {"Right ear", {}}, {"Nose", {"n1.mwo"}}},
                                 {"a.mwo", "b.mwo", "c.mwo"});
        fs::create_directories(dir / "lib/Left ear");
    }
    int Run(const std::string& library, const std::string& outDir, std::vector<std::string> args) {
        out.str("");
        err.str("");
        fs::create_directories(outDir);
        args.insert(args.end(), {"--objects", library, "--out", outDir, "--quiet"});
        return RunRandom(args, out, err);
    }
    std::ostringstream out;
    std::ostringstream err;
};

// Every format random writes, by name: the project file, each row of the
// mesh export table, the picture.
std::vector<std::string> EveryFormat() {
    std::vector<std::string> names = {"mwp"};
    for (const formats::MeshExport& mesh : formats::kMeshExports) names.push_back(mesh.extension + 1);
    names.push_back("png");
    return names;
}

// "mwp,3ds,...", or the other way round in capitals.
std::string FormatList(bool reversedInCapitals) {
    std::vector<std::string> names = EveryFormat();
    if (reversedInCapitals) {
        std::reverse(names.begin(), names.end());
        for (std::string& name : names) {
            for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ",") + name;
    return list;
}

TEST_F(RandomCommandTest, TheSameSeedsGiveTheSameFilesWhateverTheJobCount) {
    const std::string library = MW_SAMPLE_LIBRARY_DIR;
    ASSERT_TRUE(fs::is_directory(library)) << "build the sample library first";
    const std::vector<std::string> base = {"--seed", "41", "--formats", FormatList(false), "--deform", "0.3"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), base.begin(), base.end());
        return more;
    };
    ASSERT_EQ(Run(library, "one", with({"--count", "4", "--jobs", "1"})), kExitDone) << err.str();
    const auto one = FilesIn(dir / "one");
    ASSERT_EQ(one.size(), 4 * (EveryFormat().size() + 1));  // the OBJ brings its .mtl
    EXPECT_EQ(err.str(), "");
    ASSERT_EQ(Run(library, "two", with({"--count", "4", "--jobs", "2"})), kExitDone) << err.str();
    EXPECT_EQ(FirstDifference(FilesIn(dir / "two"), one), "");
    // A run again over the same files, and a split run (its formats named in
    // another order and case), give the same bytes.
    ASSERT_EQ(Run(library, "two", with({"--count", "4", "--jobs", "3"})), kExitDone) << err.str();
    EXPECT_EQ(FirstDifference(FilesIn(dir / "two"), one), "");
    ASSERT_EQ(Run(library, "split", {"--seed", "43", "--count", "2", "--formats", FormatList(true), "--deform", "0.3"}),
              kExitDone);
    ASSERT_EQ(Run(library, "split", with({"--count", "2"})), kExitDone);
    EXPECT_EQ(FirstDifference(FilesIn(dir / "split"), one), "");

    // Different seeds, different figures.
    for (const std::string& ext : EveryFormat()) {
        const std::string first = one.at("figure-41." + ext);
        for (int seed : {42, 43, 44}) EXPECT_NE(one.at("figure-" + std::to_string(seed) + "." + ext), first);
    }
}

TEST_F(RandomCommandTest, EveryPartWithFilesGetsOneAndTheDrawsDoNotDependOnTheFolders) {
    const ObjectLists lists = ReadObjectLists((dir / "lib").string());
    ObjectLists emptier = lists;
    emptier[0].clear();  // Head
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        const RandomRecipe recipe = DrawRecipe(seed, lists, true, 0.5);
        const RandomRecipe other = DrawRecipe(seed, emptier, true, 0.5);
        for (std::size_t p = 0; p < lists.size(); ++p) {
            const int count = static_cast<int>(lists[p].size());
            if (count == 0) {
                EXPECT_EQ(recipe.files[p], -1);
            } else {
                EXPECT_GE(recipe.files[p], 0);
                EXPECT_LT(recipe.files[p], count);
            }
            // A folder without files still takes its number.
            if (p != 0) {
                EXPECT_EQ(other.files[p], recipe.files[p]);
            }
            for (int a = 0; a < 3; ++a) {
                EXPECT_LE(std::abs(recipe.draws[p][a]), 1.0);
                EXPECT_EQ(other.draws[p][a], recipe.draws[p][a]);
            }
        }
        EXPECT_EQ(other.files[0], -1);
    }
    // The generator's first number for seed 1 is 16838, as the C library's
    // sample generator gives it on every machine: Head gets 16838 % 3.
    EXPECT_EQ(DrawRecipe(1, lists, false, 0).files[0], 16838 % 3);

    // Every figure written holds every part that has files, and nothing else.
    ASSERT_EQ(Run((dir / "lib").string(), "out", {"--seed", "7", "--count", "5"}), kExitDone) << err.str();
    EXPECT_EQ(err.str(), "");
    for (const auto& [name, text] : FilesIn(dir / "out")) {
        formats::ProjectFile project = formats::ParseProject(text);
        EXPECT_EQ(project.records.size(), 20u) << name;
        EXPECT_EQ(text.find("(none)"), std::string::npos);
        EXPECT_EQ(text.find("No Files"), std::string::npos);
        EXPECT_EQ(text.find(" ear\r\n"), std::string::npos);
    }
}

TEST_F(RandomCommandTest, ProjectsLoadBackToTheFigureMadeWithItsFactors) {
    const std::string library = MW_SAMPLE_LIBRARY_DIR;
    const ObjectLists lists = ReadObjectLists(library);
    std::map<bool, std::vector<float>> pointsByDeform;
    for (bool deform : {false, true}) {
        ASSERT_EQ(Run(library, deform ? "deformed" : "plain",
                      deform ? std::vector<std::string>{"--seed", "5", "--count", "1", "--deform", "0.4", "--symmetric"}
                             : std::vector<std::string>{"--seed", "5", "--count", "1"}),
                  kExitDone);
        CountingSink sink;
        model::Creature made(sink);
        BuildFigure(DrawRecipe(5, lists, deform, 0.4, deform), lists, library, made);
        formats::ProjectFile project;
        ASSERT_TRUE(formats::ReadProjectFile((dir / (deform ? "deformed" : "plain") / "figure-5.mwp").string(), project));
        // Right parts store their left parts' factors; the head and its face none.
        ASSERT_EQ(project.records.size(), model::kPartTypeCount);
        std::array<const float*, model::kPartTypeCount> factorsOf{};
        for (const formats::ProjectRecord& record : project.records) {
            factorsOf[static_cast<std::size_t>(record.panelIndex)] = record.settings.deformFactors[model::kLockNone];
        }
        for (const auto& [left, right] : kPairs) {
            EXPECT_TRUE(std::equal(factorsOf[right], factorsOf[right] + 3, factorsOf[left])) << right;
            EXPECT_EQ(factorsOf[right][1] != 0.0f, deform && right > 6) << right;  // pairs of the face: none
        }
        for (std::size_t face : {0, 1, 2, 3, 4, 5, 6}) {
            EXPECT_EQ(std::count(factorsOf[face], factorsOf[face] + 3, 0.0f), 3) << face;
        }
        model::Creature loaded(sink);
        formats::LoadProjectRecords(project, loaded, library, nullptr);
        EXPECT_TRUE(sink.shown.empty());

        ASSERT_EQ(made.parts.Count(), model::kPartTypeCount);
        ASSERT_EQ(loaded.parts.Count(), made.parts.Count());
        std::vector<float>& all = pointsByDeform[deform];
        for (std::int32_t i = 0; i < made.parts.Count(); ++i) {
            const model::MeshObject* a = made.PartAt(i);
            const model::MeshObject* b = loaded.PartAt(i);
            EXPECT_EQ(a->objectName, b->objectName);
            EXPECT_EQ(a->points, b->points) << a->objectName << (deform ? " deformed" : "");
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_EQ(a->settings.deformFactors[model::kLockNone][axis], b->settings.deformFactors[model::kLockNone][axis]);
            }
            all.insert(all.end(), a->points.begin(), a->points.end());
        }
    }
    // The same files, another build.
    ASSERT_EQ(pointsByDeform[false].size(), pointsByDeform[true].size());
    EXPECT_NE(pointsByDeform[false], pointsByDeform[true]);
}

// A seed keeps its figure from release to release: without --deform and
// --symmetric these seeds pick these files (one letter per part in panel
// order, '-' for a part left out) and write these very project files.
TEST_F(RandomCommandTest, PlainRunsPickWhatTheyAlwaysPicked) {
    const std::string lib = (dir / "lib").string();
    const ObjectLists lists = ReadObjectLists(lib);
    const struct {
        std::uint32_t seed;
        const char* picks;
        std::uint64_t projectHash;
    } cases[] = {
        {0, "a--banbbcbabbcaabbcaab", 13959936504961762432u},
        {1, "c--bbnaaaabcaaccaaaacb", 12564046946343726685u},
        {7, "b--acnaccccbcccbbcbcac", 6078353350048263092u},
        {123456, "b--bbnacbaacbbabbbbaaa", 15836524690317671173u},
        {4294967295u, "c--abnccbccbabbbabbbab", 17870716382069883221u},
    };
    for (const auto& c : cases) {
        const RandomRecipe recipe = DrawRecipe(c.seed, lists, false, 0);
        std::string picks;
        for (std::size_t p = 0; p < lists.size(); ++p) {
            picks += recipe.files[p] < 0 ? '-' : lists[p][static_cast<std::size_t>(recipe.files[p])][0];
        }
        EXPECT_EQ(picks, c.picks) << c.seed;
        ASSERT_EQ(Run(lib, "plain", {"--seed", std::to_string(c.seed), "--count", "1"}), kExitDone) << err.str();
        EXPECT_EQ(Fnv1a(ReadAll(dir / "plain" / ("figure-" + std::to_string(c.seed) + ".mwp"))), c.projectHash)
            << c.seed;
    }
}

// A run stopped by SIGINT finishes the figures under way and starts no
// more: every file left reads back whole, no temporary file is left, and
// the exit status is 130. A missing output folder is made first.
TEST_F(RandomCommandTest, AnInterruptedRunLeavesOnlyWholeFiles) {
    const fs::path outDir = dir / "new/out";
    const std::string command = std::string(MWBATCH) + " random --objects '" + MW_SAMPLE_LIBRARY_DIR +
                                "' --count 500 --seed 0 --jobs 2 --formats mwp,stl --out '" + outDir.string() + "'";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl("/bin/sh", "sh", "-c", ("exec " + command + " >/dev/null 2>&1").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Some figures first (at most half a minute), then the signal.
    const auto start = std::chrono::steady_clock::now();
    std::size_t made = 0;
    while (made < 6 && std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::error_code ec;
        made = 0;
        for (const auto& entry : fs::directory_iterator(outDir, ec)) made += entry.path().extension() == ".mwp";
    }
    ::kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    std::size_t projects = 0;
    for (const auto& entry : fs::directory_iterator(outDir)) {
        const fs::path path = entry.path();
        EXPECT_EQ(path.filename().string().find(".tmp-"), std::string::npos) << path;
        if (path.extension() == ".mwp") {
            formats::ProjectFile project;
            EXPECT_TRUE(formats::ReadProjectFile(path.string(), project) && project.records.size() == 22) << path;
            ++projects;
        } else {
            EXPECT_FALSE(testsupport::StlCorners(ReadAll(path)).empty()) << path;
        }
    }
    EXPECT_GE(projects, 6u);
    EXPECT_LT(projects, 500u);

    // What a run killed outright left: this range's temporaries go, another's stay.
    for (const char* name : {"figure-3.stl.tmp-AbC123", "figure-4.mtl.tmp-x", "figure-900.mwp.tmp-Q"}) {
        std::ofstream(outDir / name) << "cut short";
    }
    err.str("");
    std::vector<std::string> args = {"--objects", MW_SAMPLE_LIBRARY_DIR, "--out", outDir.string(), "--seed", "0",
                                     "--count", "5", "--quiet"};
    EXPECT_EQ(RunRandom(args, out, err), kExitDone) << err.str();
    EXPECT_FALSE(fs::exists(outDir / "figure-3.stl.tmp-AbC123"));
    EXPECT_FALSE(fs::exists(outDir / "figure-4.mtl.tmp-x"));
    EXPECT_TRUE(fs::exists(outDir / "figure-900.mwp.tmp-Q"));
}

TEST_F(RandomCommandTest, WrongInputIsRefusedWithOneLineAndNoFiles) {
    fs::create_directories(dir / "no parts/Tail");
    fs::create_directories(dir / "no files/Head");
    fs::create_directories(dir / "out");
    const std::string lib = (dir / "lib").string();
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {{"--objects", (dir / "nowhere").string()}, kExitFailed, "no such object directory"},
        {{"--objects", (dir / "no parts").string()}, kExitFailed, "no part folders"},
        {{"--objects", (dir / "no files").string()}, kExitFailed, "no object files"},
        {{"--out", (dir / "lib/Head/a.mwo").string()}, kExitFailed, "a.mwo: not a directory"},
        {{"--out", "/proc"}, kExitFailed, "cannot write into it"},
        {{"--count", "0"}, kExitUsage, "--count 0: make at least one figure"},
        {{"--count", "-3"}, kExitUsage, "--count -3: make at least one figure"},
        {{"--count", "3x"}, kExitUsage, "--count 3x: not a whole number"},
        {{"--count", "99999999999999999999"}, kExitUsage, "not a whole number"},
        {{"--seed", "-1"}, kExitUsage, "not a seed"},
        {{"--seed", "4294967296"}, kExitUsage, "not a seed"},
        {{"--seed", "4294967295", "--count", "2"}, kExitUsage, "the last seed would pass 4294967295"},
        {{"--formats", "mwp,ply"}, kExitUsage, "unknown format \"ply\""},
        {{"--formats", "mwp,"}, kExitUsage, "unknown format \"\""},
        {{"--deform", "-0.5"}, kExitUsage, "not an amount"},
        {{"--deform", "nan"}, kExitUsage, "not an amount"},
        {{"--deform", "101"}, kExitUsage, "not an amount"},
        {{"--jobs", "0"}, kExitUsage, "--jobs 0: not a number"},
        {{"--colour", "red"}, kExitUsage, "unknown option --colour"},
        {{"extra"}, kExitUsage, "unexpected argument"},
    };
    for (const auto& c : cases) {
        // Later options win, so each case overrides a sound command line.
        std::vector<std::string> args = {"--objects", lib, "--out", "out", "--count", "2", "--seed", "1"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        err.str("");
        EXPECT_EQ(RunRandom(args, out, err), c.status) << c.args[0];
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(err.str().find("mwbatch random: "), 0u) << err.str();
        EXPECT_TRUE(fs::is_empty(dir / "out")) << c.args[0];
    }
    for (const std::string required : {"--count", "--seed", "--out"}) {
        std::vector<std::string> args = {"--objects", lib, "--out", "out", "--count", "2", "--seed", "1"};
        args.erase(std::find(args.begin(), args.end(), required), std::find(args.begin(), args.end(), required) + 2);
        EXPECT_EQ(RunRandom(args, out, err), kExitUsage) << required;
        EXPECT_NE(err.str().find("give " + required), std::string::npos) << err.str();
    }
    // The seed range reaches the generator's last seed exactly.
    EXPECT_EQ(Run(lib, "last", {"--seed", "4294967294", "--count", "2"}), kExitDone) << err.str();
    EXPECT_TRUE(fs::exists(dir / "last/figure-4294967295.mwp"));
}

TEST_F(RandomCommandTest, FiguresThatFailAreReportedInSeedOrderAndTheOthersWritten) {
    // A damaged nose file: every figure reports it, in seed order, and is
    // written without its nose.
    std::ofstream(dir / "lib/Nose/n1.mwo", std::ios::binary | std::ios::trunc) << "not an object file";
    // A folder where figure 12's project should go: that figure fails.
    fs::create_directories(dir / "out/figure-12.mwp");
    EXPECT_EQ(Run((dir / "lib").string(), "out", {"--seed", "10", "--count", "4", "--jobs", "3"}), kExitFailed);
    const std::string lib = fs::path(dir / "lib").string();
    std::string expected;
    for (int seed = 10; seed < 14; ++seed) {
        expected += "figure-" + std::to_string(seed) + ": Unable to add object: " + lib +
                    "/Nose/n1.mwo (bad magic (not an object file))\n";
        if (seed == 12) expected += "figure-12.mwp: Error!: Couldn't save project! (out/figure-12.mwp: Is a directory)\n";
    }
    EXPECT_EQ(err.str(), expected);
    for (int seed : {10, 11, 13}) EXPECT_TRUE(fs::is_regular_file(dir / ("out/figure-" + std::to_string(seed) + ".mwp")));

    // Without --quiet the summary says how many were written: a figure
    // without a part it names is not.
    std::vector<std::string> args = {"--objects", lib, "--out", "out", "--count", "4", "--seed", "10"};
    EXPECT_EQ(RunRandom(args, out, err), kExitFailed);
    EXPECT_NE(out.str().find("0 of 4 figures (4 failed) written into out, seeds 10 to 13"), std::string::npos)
        << out.str();

    // Whole figures again: one whose first format fails and second is
    // written still counts as failed.
    formats::WriteObjectFile((dir / "lib/Nose/n1.mwo").string(), testlib::TinyPart(0.01f));
    args.insert(args.end(), {"--formats", "mwp,stl"});
    out.str("");
    EXPECT_EQ(RunRandom(args, out, err), kExitFailed);
    EXPECT_NE(out.str().find("3 of 4 figures (1 failed) written into out"), std::string::npos) << out.str();
    EXPECT_TRUE(fs::is_regular_file(dir / "out/figure-12.stl"));
}


// --symmetric: a right part takes the file of its left part's name, letter
// case aside, where its folder has one, and else keeps its own pick; no
// draw shifts.
TEST(RandomRecipeTest, SymmetricRightPartsTakeTheirLeftPartsFilesWithoutShiftingTheDraws) {
    ObjectLists lists;
    for (auto& files : lists) files = {"a.mwo", "b.mwo", "c.mwo"};
    lists[1].clear();                                 // no left ear
    lists[4] = {"A.MWO", "b.mwo", "C.mwo", "d.mwo"};  // right eyes: a, b, c at the left's positions
    lists[14] = {"b.mwo", "z.mwo"};                   // right hands: b alone
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        const RandomRecipe plain = DrawRecipe(seed, lists, true, 0.3);
        const RandomRecipe symmetric = DrawRecipe(seed, lists, true, 0.3, true);
        ASSERT_TRUE(symmetric.draws == plain.draws) << "draws shifted, seed " << seed;
        auto files = plain.files;
        for (const auto& [left, right] : kPairs) {
            const bool matched = plain.files[left] >= 0 && (right != 14 || plain.files[left] == 1);
            if (matched) files[right] = right == 14 ? 0 : plain.files[left];
            EXPECT_EQ(symmetric.factorsFrom[right], matched ? static_cast<int>(left) : -1) << seed;
        }
        EXPECT_EQ(symmetric.files, files) << seed;
    }
}

// A part's box: its lowest and its highest coordinate along each axis.
using Box = std::array<std::array<double, 3>, 2>;

Box BoxOf(const model::MeshObject& part) {
    Box box{{{HUGE_VAL, HUGE_VAL, HUGE_VAL}, {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL}}};
    for (std::size_t i = 0; i < part.points.size(); ++i) {
        box[0][i % 3] = std::min<double>(box[0][i % 3], part.points[i]);
        box[1][i % 3] = std::max<double>(box[1][i % 3], part.points[i]);
    }
    return box;
}

// The first eye, ear, nose or mouth off the head, as "Nose along Z": any of
// its points outside the head's box grown by 10 % (each side moved out by
// 10 % of the box's extent along that axis).
std::string FeatureOffTheHead(const model::Creature& figure) {
    const Box head = BoxOf(*figure.PartNamed("Head"));
    for (const char* name : {"Left ear", "Right ear", "Left eye", "Right eye", "Nose", "Mouth"}) {
        const Box box = BoxOf(*figure.PartNamed(name));
        for (std::size_t a = 0; a < 3; ++a) {
            const double margin = 0.1 * (head[1][a] - head[0][a]);
            if (box[0][a] < head[0][a] - margin || box[1][a] > head[1][a] + margin) {
                return std::string(name) + " along " + "XYZ"[a];
            }
        }
    }
    return "";
}

// The first seam whose boundary lists do not meet entry for entry within
// 1e-5, as "Head 0 / Neck 1"; empty when every seam is closed.
std::string OpenSeam(const model::Creature& figure) {
    for (const model::ConnectionRow& row : model::ConnectionTable) {
        const model::MeshObject* part = figure.PartNamed(model::partTypeNames[static_cast<std::size_t>(row.typeId)]);
        for (int k = 0; k < row.seamCount; ++k) {
            const model::SeamEntry& seam = row.seams[static_cast<std::size_t>(k)];
            const model::MeshObject* other =
                figure.PartNamed(model::partTypeNames[static_cast<std::size_t>(seam.neighbourType)]);
            const int count = part->BoundaryCount(k);
            bool closed = count == other->BoundaryCount(seam.neighbourList);
            for (int e = 0; closed && e < count; ++e) {
                const float* p = part->Point(part->BoundaryList(k)[e]);
                const float* q = other->Point(other->BoundaryList(seam.neighbourList)[e]);
                closed = std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]) <= 1e-5;
            }
            if (!closed) return part->objectType + " " + std::to_string(k) + " / " + other->objectType;
        }
    }
    return "";
}

// The first part whose extent along an axis is not within 1 ± 1.5 × amount
// of the same part's in the undeformed figure: a factor resizes a part by
// at most the amount, and a part moved off its parent's seam would be
// stretched by the weld far beyond that.
std::string StretchedPart(const model::Creature& deformed, const model::Creature& plain, double amount) {
    for (std::string_view name : model::panelOrder) {
        const Box a = BoxOf(*deformed.PartNamed(name));
        const Box b = BoxOf(*plain.PartNamed(name));
        for (std::size_t k = 0; k < 3; ++k) {
            const double ratio = (a[1][k] - a[0][k]) / (b[1][k] - b[0][k]);
            if (!(std::abs(ratio - 1) <= 1.5 * amount)) return std::string(name) + " along " + "XYZ"[k];
        }
    }
    return "";
}

// 500 figures of the sample library at --deform 0.3 --symmetric: every
// face on its head, every part resized within the amount and no more,
// every seam closed, every right part with its left part's file and factors.
TEST(RandomFigureShapeTest, DeformedSymmetricFiguresKeepFacesOnHeadsSeamsClosedAndPairsAlike) {
    const std::string library = MW_SAMPLE_LIBRARY_DIR;
    const ObjectLists lists = ReadObjectLists(library);
    CountingSink sink;
    formats::ParsedParts parsed;
    int faulty = 0;
    int deformedHands = 0;
    std::string first;
    for (std::uint32_t seed = 0; seed < 500; ++seed) {
        model::Creature figure(sink);
        ASSERT_EQ(BuildFigure(DrawRecipe(seed, lists, true, 0.3, true), lists, library, figure, &parsed),
                  model::kPartTypeCount);
        std::string fault = FeatureOffTheHead(figure);
        if (fault.empty()) fault = OpenSeam(figure);
        if (fault.empty()) {
            model::Creature plain(sink);
            BuildFigure(DrawRecipe(seed, lists, false, 0, true), lists, library, plain, &parsed);
            fault = StretchedPart(figure, plain, 0.3);
        }
        for (const auto& [l, r] : kPairs) {
            const model::MeshObject* left = figure.PartNamed(model::panelOrder[l]);
            const model::MeshObject* right = figure.PartNamed(model::panelOrder[r]);
            const bool alike = fs::path(left->objectName).filename() == fs::path(right->objectName).filename() &&
                               std::equal(left->settings.deformFactors[0], left->settings.deformFactors[0] + 3, right->settings.deformFactors[0]);
            if (fault.empty() && !alike) fault = right->objectType + " unlike its left part";
        }
        if (!fault.empty() && faulty++ == 0) first = "seed " + std::to_string(seed) + ": " + fault;
        deformedHands += figure.PartNamed("Right hand")->settings.deformFactors[model::kLockNone][0] != 0.0f;
    }
    EXPECT_EQ(faulty, 0) << "first " << first;
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_GT(deformedHands, 400);  // the pairs are alike with factors, not without
}

}  // namespace
}  // namespace cli
