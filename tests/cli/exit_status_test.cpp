// The command-line contract through the real program: for every kind of
// wrong command line and of incomplete work, the exit status, the one line
// that says why, and no file or temporary file left behind but the ones the
// work was meant to write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/wait.h>

#include "../panels/temp_dir.h"
#include "../panels/tiny_library.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kNumbers = "0 0 0 0 0 0 0 0 0 0.010000 0.010000 0.010000 0 0 0 0 0 0 0 0 0 0 0 0 0\r\n";
const std::string kNose = "17\r\n5\r\nNose\r\n\\Nose\\n1.mwo\r\n" + std::string(kNumbers);
const std::string kProject = "MW1\r\n1\r\n" + kNose;

class ExitStatusTest : public testlib::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        testlib::MakeTinyLibrary(dir / "lib", {}, {"n1.mwo"});
        std::ofstream(dir / "figure.mwp", std::ios::binary) << kProject;
        // The nose and a head whose file is not there.
        std::ofstream(dir / "missing part.mwp", std::ios::binary)
            << "MW1\r\n2\r\n" + kNose + "0\r\n0\r\nHead\r\n\\Head\\gone.mwo\r\n" + kNumbers;
        std::ofstream(dir / "a file") << "x";
        fs::create_directories(dir / "taken/figure-1.mwp");
    }
    // Runs mwbatch with `arguments` (shell words), stderr into a file, after
    // the shell's `limits`.
    int Run(const std::string& arguments, std::string& firstLine, const std::string& limits = "") {
        const std::string command =
            "sh -c '" + limits + "exec \"$0\" \"$@\"' " + MWBATCH + " " + arguments + " >/dev/null 2>stderr.txt";
        const int raw = std::system(command.c_str());
        std::ifstream err(dir / "stderr.txt");
        std::getline(err, firstLine);
        fs::remove(dir / "stderr.txt");
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    // Every file under the folder, but the set-up's own.
    std::vector<std::string> Made() {
        std::vector<std::string> made;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            const std::string name = fs::relative(entry.path(), dir).string();
            if (name.rfind("lib", 0) == 0 || name == "figure.mwp" || name == "missing part.mwp" || name == "a file" ||
                entry.is_directory()) {
                continue;
            }
            made.push_back(name);
        }
        std::sort(made.begin(), made.end());
        return made;
    }
};

TEST_F(ExitStatusTest, EveryRowOfTheContract) {
    const std::string random = "random --objects lib --seed 1 --out out ";
    const struct {
        std::string arguments;
        int status;
        std::string line;                // the start of the first line on standard error
        std::vector<std::string> files;  // what is left afterwards
    } rows[] = {
        {random + "--count 0", 2, "mwbatch random: --count 0: make at least one figure", {}},
        {random + "--count -1", 2, "mwbatch random: --count -1: make at least one figure", {}},
        {random + "--count 1 --quiet=x", 2, "mwbatch random: unknown option --quiet=x", {}},
        {random + "--count 1 --deform 101", 2, "mwbatch random: --deform 101: not an amount", {}},
        {random + "--count 1 --scale 0 --formats stl", 2, "mwbatch random: --scale 0: not a size", {}},
        {"export --objects lib --type-names=1 figure.mwp out.3ds", 2, "mwbatch export: unknown option --type-names=1", {}},
        {"render --objects lib --zoom 0 figure.mwp out.png", 2, "mwbatch render: --zoom 0: the zoom is above 0", {}},
        {"render --objects lib --zoom -2 figure.mwp out.png", 2, "mwbatch render: --zoom -2: the zoom", {}},
        {"render --objects lib --zoom inf figure.mwp out.png", 2, "mwbatch render: --zoom inf:", {}},
        {"render --objects lib --zoom 1001 figure.mwp out.png", 2, "mwbatch render: --zoom 1001: the zoom", {}},
        {"render --objects lib figure.mwp out.jpg", 2, "mwbatch render: out.jpg: the picture's name must end in .png",
         {}},
        {"export --objects lib 'missing part.mwp' out.3ds", 1, "Unable to add object: lib/Head/gone.mwo (No such file or directory)", {"out.3ds"}},
        {"render --objects lib 'missing part.mwp' out.png", 1, "Unable to add object: lib/Head/gone.mwo", {"out.png"}},
        {"export --objects lib nowhere.mwp out.3ds", 1,
         "Error!: Couldn't open project file! (nowhere.mwp: No such file or directory)", {}},
        {"export --objects lib 'a file' out.3ds", 1, "Error!: Couldn't open project file! (a file: not a project file)",
         {}},
        {"random --objects lib --seed 1 --count 1 --out 'a file'", 1, "mwbatch random: a file: not a directory", {}},
        {"random --objects lib --seed 1 --count 1 --formats mwp,stl --out taken", 1,
         "figure-1.mwp: Error!: Couldn't save project!", {"taken/figure-1.stl"}},
        {random + "--count 2", 0, "", {"out/figure-1.mwp", "out/figure-2.mwp"}},
    };
    for (const auto& row : rows) {
        std::string line;
        EXPECT_EQ(Run(row.arguments, line), row.status) << row.arguments;
        EXPECT_EQ(line.substr(0, row.line.size()), row.line) << row.arguments;
        std::vector<std::string> made = Made();
        EXPECT_EQ(made, row.files) << row.arguments;
        for (const std::string& name : made) fs::remove(dir / name);
        fs::remove_all(dir / "out");
    }
    // Past a file-size limit the write fails and is told, rather than the
    // program being killed without a word.
    std::string line;
    EXPECT_EQ(Run(random + "--count 1 --formats dxf", line, "ulimit -f 1; "), 1);  // 512 bytes
    EXPECT_EQ(line, "figure-1.dxf: Error!: Coudln't open file for saving! (out/figure-1.dxf: File too large)");
    EXPECT_TRUE(Made().empty());
}

}  // namespace
