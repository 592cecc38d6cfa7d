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
// column (world y): '#' wall, '.' floor, 'D' door, 'T' torch.
struct TextMap {
    int width = 0, height = 0;
    std::vector<int> codes;
    TextMap(std::initializer_list<const char*> rows) {
        for (const std::string row : rows) {
            height = int(row.size());
            ++width;
            for (char ch : row)
                codes.push_back(ch == '#'   ? CELL_WALL
                                : ch == 'D' ? CELL_DOOR
                                : ch == 'T' ? CELL_TORCH
                                            : CELL_FLOOR);
        }
    }
    const int* data() const { return codes.data(); }
};

// Sends the error log to a file of this test's own while it lives.
class LogCapture {
  public:
    LogCapture() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::string(ZEB_BUILD_DIR) + "/dungeon_" + info->name() + "_" +
                std::to_string(::getpid()) + ".log";
        openLog(path_.c_str());
    }
    ~LogCapture() {
        closeLog();
        std::remove(path_.c_str());
    }
    std::string text() const { return testsupport::readFile(path_); }

  private:
    std::string path_;
};

// The first of `lines` that does not follow the one before it in `text`
// (each found after the previous), or "" when all do.
inline std::string firstOutOfOrder(const std::string& text,
                                   std::initializer_list<const char*> lines) {
    std::size_t at = 0;
    for (const char* line : lines) {
        at = text.find(line, at);
        if (at == std::string::npos) return line;
        ++at;
    }
    return "";
}

} // namespace dungeontest
