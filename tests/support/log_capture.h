// Test support: the error log sent to the running test's own file, read back without its header.
#pragma once

#include "core/log.h"

#include "read_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace testsupport {

// A name unique to the running test, so parallel test processes never share files.
inline std::string testName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "_" + info->name();
}

class LogCapture {
  public:
    LogCapture() : path_(std::string(ZEB_BUILD_DIR) + "/log_" + testName() + ".txt") {
        openLog(path_.c_str());
    }
    ~LogCapture() {
        closeLog();
        std::filesystem::remove(path_);
    }
    // Everything written since the header.
    std::string text() {
        g_log.flush();
        std::string all = readFile(path_);
        std::string header = "ERROR LOG\n-------------\n";
        return all.compare(0, header.size(), header) == 0 ? all.substr(header.size()) : all;
    }

  private:
    std::string path_;
};

} // namespace testsupport
