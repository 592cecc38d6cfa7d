// Helpers for the dungeon tests: hand-drawn maps and a captured error log.
#pragma once

#include "core/log.h"
#include "dungeon/layout.h"

#include "../support/read_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <unistd.h>
#include <vector>

namespace dungeontest {

// A map drawn as text, one string per row (world x), one character per
// column (world y): '#' wall, '.' floor, 'D' door, 'T' torch, 'V' void.
struct TextMap {
    int width = 0, height = 0;
    std::vector<int> codes;

    TextMap(std::initializer_list<const char*> rows) {
        for (const char* row : rows) {
            const std::string r(row);
            height = int(r.size());
            for (char ch : r)
                codes.push_back(ch == '#'   ? CELL_WALL
                                : ch == 'D' ? CELL_DOOR
                                : ch == 'T' ? CELL_TORCH
                                : ch == 'V' ? CELL_VOID
                                            : CELL_FLOOR);
            ++width;
        }
    }
    const int* data() const { return codes.data(); }
};

// Sends the error log to a file of this test's own while it lives.
class LogCapture {
  public:
    LogCapture() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::string(ZEB_BUILD_DIR) + "/dungeon_" + info->test_suite_name() + "_" +
                info->name() + "_" + std::to_string(::getpid()) + ".log";
        openLog(path_.c_str());
    }
    ~LogCapture() {
        closeLog();
        std::remove(path_.c_str());
    }
    std::string text() {
        g_log.flush();
        return testsupport::readFile(path_);
    }
    // True when every line appears, in this order.
    bool inOrder(std::initializer_list<const char*> lines, std::string* missing) {
        const std::string all = text();
        std::size_t at = 0;
        for (const char* line : lines) {
            const std::size_t found = all.find(line, at);
            if (found == std::string::npos) {
                *missing = std::string(line) + "\n--- log ---\n" + all;
                return false;
            }
            at = found + 1;
        }
        return true;
    }
    int count(const std::string& line) {
        const std::string all = text();
        int n = 0;
        for (std::size_t at = all.find(line); at != std::string::npos; at = all.find(line, at + 1))
            ++n;
        return n;
    }

  private:
    std::string path_;
};

} // namespace dungeontest
