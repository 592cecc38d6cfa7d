// The whole data folder: every file the engine opens, written from one seed.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace content {

constexpr std::uint32_t DEFAULT_SEED = 1994;

// Writes the pack into dir (the game's Data folder); progress goes to log.
// False with a message on the log when a file cannot be written.
bool writePack(const std::string& dir, std::uint32_t seed, std::ostream& log);

// Parts of the pack, for tests and the benchmark.
bool writeTerrainFiles(const std::string& dir, std::uint32_t seed, std::ostream& log);
bool writeTextureFiles(const std::string& dir, std::uint32_t seed);
bool writeModelFiles(const std::string& dir, std::uint32_t seed, std::ostream& log);

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace content
