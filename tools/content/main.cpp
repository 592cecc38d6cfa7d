// zeb-content: writes the game's default data folder, or checks one.
//   zeb-content OUTDIR             the pack with the default seed
//   zeb-content --seed N OUTDIR    the pack with seed N
//   zeb-content --check DIR        validates an existing folder
#include "tools/content/check.h"
#include "tools/content/pack.h"

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

int usage() {
    std::cerr << "usage: zeb-content [--seed N] OUTDIR\n       zeb-content --check DIR\n";
    return 2;
}

bool parseSeed(const std::string& text, std::uint32_t& seed) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
    if (v > 0xFFFFFFFFull) return false;
    seed = std::uint32_t(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--check") {
        content::CheckReport report = content::checkPack(argv[2]);
        for (const std::string& n : report.notes)
            std::cout << "note: " << n << "\n";
        for (const std::string& p : report.problems)
            std::cout << "problem: " << p << "\n";
        std::cout << (report.problems.empty() ? "check passed" : "check failed") << " ("
                  << report.problems.size() << " problems)" << std::endl;
        return report.problems.empty() ? 0 : 1;
    }
    std::uint32_t seed = content::DEFAULT_SEED;
    std::string out;
    if (argc == 2 && argv[1][0] != '-') {
        out = argv[1];
    } else if (argc == 4 && std::string(argv[1]) == "--seed") {
        if (!parseSeed(argv[2], seed)) return usage();
        out = argv[3];
    } else {
        return usage();
    }
    return content::writePack(out, seed, std::cout) ? 0 : 1;
}
