// Validation of an existing data folder: formats, sizes, model headers,
// animation lists against the slot table, and the map.
#pragma once

#include <string>
#include <vector>

namespace content {

struct CheckReport {
    std::vector<std::string> problems; // one line each; any makes the check fail
    std::vector<std::string> notes;    // figures and parts that could not run
};

CheckReport checkPack(const std::string& dir);

} // namespace content
