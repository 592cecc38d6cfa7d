// Data paths as the game names them ("Data/models/x.md2", "data/dummylight65.bmp").
// The names were written for a file system that ignores case, so a path that
// does not exist as written is matched case-insensitively, one component at a time.
#pragma once

#include <cstdio>
#include <string>

namespace win {

// The existing path that the name refers to, or the name unchanged when nothing matches.
std::string ResolvePath(const std::string& path);
// fopen on the resolved path.
std::FILE* OpenFile(const std::string& path, const char* mode);

} // namespace win
