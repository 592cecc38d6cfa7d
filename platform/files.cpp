#include "platform/files.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <vector>

namespace win {
namespace {

bool exists(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

std::vector<std::string> split(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '/' || c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// The entry of dir whose name equals name ignoring case, or "" when none does.
std::string findInDir(const std::string& dir, const std::string& name) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return {};
    std::string found;
    while (dirent* e = ::readdir(d)) {
        if (::strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
}

} // namespace

std::string ResolvePath(const std::string& path) {
    if (path.empty() || exists(path)) return path;
    bool absolute = path[0] == '/';
    std::string resolved = absolute ? "/" : "";
    for (const std::string& part : split(path)) {
        std::string candidate = resolved + part;
        if (!exists(candidate)) {
            std::string match = findInDir(resolved, part);
            if (match.empty()) return path;
            candidate = resolved + match;
        }
        resolved = candidate + "/";
    }
    resolved.pop_back();
    return resolved;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(ResolvePath(path).c_str(), mode);
}

} // namespace win
