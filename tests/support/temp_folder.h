// A folder of its own for one test, gone afterwards. Named after the running
// test and the process unless a name is given.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace testsupport {

class TempFolder {
public:
    TempFolder() : TempFolder(CurrentTestName()) {}
    explicit TempFolder(const std::string& name) : path_(std::filesystem::temp_directory_path() / name) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& Path() const { return path_; }
    // Names of the files in the folder.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

private:
    static std::string CurrentTestName() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "mw-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                           std::to_string(::getpid());
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        return name;
    }

    std::filesystem::path path_;
};

}  // namespace testsupport
