// A fresh temporary directory that a test works in: created and entered
// on construction, left and removed on destruction.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace dcl::test {

class WorkDirectory {
public:
    explicit WorkDirectory(const char* prefix) : old_(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "-XXXXXX";
        EXPECT_NE(mkdtemp(pattern.data()), nullptr);
        std::filesystem::current_path(pattern);
        root_ = std::filesystem::current_path().string();
    }
    ~WorkDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(old_, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    WorkDirectory(const WorkDirectory&) = delete;
    WorkDirectory& operator=(const WorkDirectory&) = delete;

    // The directory's real path (symbolic links resolved).
    const std::string& root() const { return root_; }

private:
    std::filesystem::path old_;
    std::string root_;
};

}  // namespace dcl::test
