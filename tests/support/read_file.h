// Test support: the whole of a text file as one string ("" when it cannot be read).
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace testsupport {

inline std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace testsupport
