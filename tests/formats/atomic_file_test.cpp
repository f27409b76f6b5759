// The atomic writer: the mode of the file it replaces, a write through a
// symbolic link, the sync before the rename (and none in a batch), the
// system's reason for a failure, and no temporary file left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

#include "../panels/temp_dir.h"
#include "formats/atomic_file.h"

namespace {

namespace fs = std::filesystem;
using testlib::ReadAll;

class AtomicFileTest : public testlib::TempDirTest {
protected:
    bool Save(const std::string& path, const std::string& text) {
        formats::AtomicFile file(path);
        if (!file.Open()) return false;
        file.Write(text);
        return file.Commit();
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(AtomicFileTest, ReplacingAFileKeepsItsModeAndALinkStaysALink) {
    std::ofstream("private.txt") << "old";
    ::chmod("private.txt", 0600);
    ASSERT_TRUE(Save("private.txt", "new"));
    struct stat status {};
    ASSERT_EQ(::stat("private.txt", &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadAll(dir / "private.txt"), "new");

    // Relative links, two deep: the file they end in is written, beside itself.
    fs::create_directories("data");
    std::ofstream("data/figure.mwp") << "old";
    fs::create_symlink("data/figure.mwp", "hop.mwp");
    fs::create_symlink("hop.mwp", "link.mwp");
    ASSERT_TRUE(Save("link.mwp", "new"));
    EXPECT_TRUE(fs::is_symlink("link.mwp"));
    EXPECT_TRUE(fs::is_symlink("hop.mwp"));
    EXPECT_EQ(ReadAll(dir / "data/figure.mwp"), "new");
    EXPECT_EQ(Names(), (std::vector<std::string>{"data", "hop.mwp", "link.mwp", "private.txt"}));
}

std::string syncedTarget;
bool targetWasOld = false;

TEST_F(AtomicFileTest, SyncsBeforeTheRenameUnlessABatchSyncsAtItsEnd) {
    std::ofstream("figure.stl") << "old";
    formats::SetSyncObserver([](const std::string& temporary, const std::string& target) {
        syncedTarget = target;
        targetWasOld = ReadAll(target) == "old" && ReadAll(temporary) == "new";
    });
    ASSERT_TRUE(Save("figure.stl", "new"));
    EXPECT_EQ(syncedTarget, "figure.stl");
    EXPECT_TRUE(targetWasOld);
    syncedTarget.clear();
    formats::SetSyncEachFile(false);
    ASSERT_TRUE(Save("figure.stl", "newer"));
    formats::SetSyncEachFile(true);
    formats::SetSyncObserver(nullptr);
    EXPECT_EQ(syncedTarget, "");
    EXPECT_EQ(ReadAll(dir / "figure.stl"), "newer");
}

TEST_F(AtomicFileTest, FailuresSayWhyAndOpenTemporariesCanBeRemovedAtOnce) {
    formats::AtomicFile nowhere("missing folder/figure.stl");
    EXPECT_FALSE(nowhere.Open());
    EXPECT_EQ(nowhere.ErrorText(), "No such file or directory");

    formats::AtomicFile first("a.stl");
    formats::AtomicFile second("b.stl");
    ASSERT_TRUE(first.Open());
    ASSERT_TRUE(second.Open());
    EXPECT_EQ(Names().size(), 2u);  // the two temporaries
    formats::RemoveOpenTemporaries();  // as the handler of an interruption does
    EXPECT_TRUE(Names().empty());
}

}  // namespace
