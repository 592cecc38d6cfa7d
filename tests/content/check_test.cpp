// The check mode on a whole written pack, then on damaged copies of its files.
#include "tools/content/check.h"
#include "tools/content/pack.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <sys/wait.h>

using namespace content;

namespace {

using Bytes = std::vector<char>;

Bytes slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), std::streamsize(bytes.size()));
}

// Puts other bytes in place of a file of the pack (none: removes it) for the
// life of the object.
struct Swap {
    std::string path;
    Bytes kept;
    Swap(const std::string& p, const std::optional<Bytes>& with) : path(p), kept(slurp(p)) {
        if (with)
            spit(path, *with);
        else
            std::filesystem::remove(path);
    }
    ~Swap() { spit(path, kept); }
};

// The name of frame f of an MD2 file, to rename it in place.
char* frameName(Bytes& md2, int f) {
    std::int32_t size = 0, offset = 0;
    std::memcpy(&size, &md2[16], 4);
    std::memcpy(&offset, &md2[56], 4);
    return &md2[std::size_t(offset) + std::size_t(f) * std::size_t(size) + 24];
}

class CheckMode : public ::testing::Test {
  protected:
    static std::string dir;
    static void SetUpTestSuite() {
        dir = std::string(ZEB_BUILD_DIR) + "/test-content-pack";
        std::filesystem::remove_all(dir);
        std::ostringstream log;
        ASSERT_TRUE(writePack(dir, DEFAULT_SEED, log)) << log.str();
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(dir); }
    static std::string actor(const std::string& file) { return dir + "/models/actors/" + file; }
    static bool mentions(const CheckReport& r, const std::string& text) {
        for (const std::string& p : r.problems)
            if (p.find(text) != std::string::npos) return true;
        return false;
    }
};

std::string CheckMode::dir;

TEST_F(CheckMode, AFreshPackPassesAndDamageIsReportedFileByFile) {
    CheckReport clean = checkPack(dir);
    for (const std::string& p : clean.problems)
        ADD_FAILURE() << p;
    bool terrainNote = false;
    for (const std::string& n : clean.notes)
        terrainNote |= n.find("terrain") != std::string::npos;
    EXPECT_TRUE(terrainNote);

    Bytes weapon = slurp(actor("goblin_weapon.md2")), chicken = slurp(actor("chicken.md2"));
    weapon.resize(weapon.size() / 2);
    chicken[4] = 7;
    Bytes heights = slurp(dir + "/terrain.dat");
    heights.resize(1000);
    struct Case {
        std::string file;
        std::optional<Bytes> bytes;
        const char* problem;
    };
    const Case cases[] = {
        {actor("goblin_weapon.md2"), weapon, "goblin_weapon.md2: a block lies outside the file"},
        {actor("dragon3.bmp"), std::nullopt, "dragon3.bmp: missing"},
        {dir + "/sky/sky3_4.bmp", slurp(dir + "/dummylight65.bmp"), "sky3_4.bmp: 65 x 65"},
        {actor("chicken.md2"), chicken, "chicken.md2: version 7"},
        {dir + "/terrain.dat", heights, "terrain.dat: 1000 bytes"},
        {actor("han2.bmp"), slurp(dir + "/dummylight128.bmp"),
         "han2.bmp: 128 x 128, expected 256 x 256"},
        {actor("sara_weapon.md2"), slurp(actor("yohko_weapon.md2")),
         "sara_weapon.md2: frame list differs from sara.md2"},
    };
    {
        std::vector<std::unique_ptr<Swap>> damage;
        for (const Case& c : cases)
            damage.push_back(std::make_unique<Swap>(c.file, c.bytes));
        CheckReport damaged = checkPack(dir);
        for (const Case& c : cases)
            EXPECT_TRUE(mentions(damaged, c.problem)) << c.problem;
        EXPECT_FALSE(mentions(damaged, "penguin"));
    }
    EXPECT_TRUE(checkPack(dir).problems.empty());
}

TEST_F(CheckMode, CommandLineWritesChecksAndRefusesBadArguments) {
    std::string tool = std::string(ZEB_BUILD_DIR) + "/zeb-content";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "zeb-content is not built";
    auto run = [&](const std::string& args) {
        int status = std::system((tool + " " + args + " > /dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("--check " + dir), 0);
    std::string empty = dir + "-empty";
    std::filesystem::create_directories(empty);
    EXPECT_EQ(run("--check " + empty), 1);
    std::filesystem::remove_all(empty);
    EXPECT_EQ(run("--seed twelve " + empty), 2);
    EXPECT_EQ(run("--seed 99999999999 " + empty), 2);
    EXPECT_EQ(run(""), 2);
    EXPECT_FALSE(std::filesystem::exists(empty));
}

// A list that lost its trailer and whose animations are reordered.
TEST_F(CheckMode, ReorderedAnimationListIsReported) {
    Bytes md2 = slurp(actor("chicken.md2"));
    std::int32_t count = 0;
    std::memcpy(&count, &md2[40], 4);
    for (int f = 0; f < count; ++f) {
        if (std::string(frameName(md2, f)).rfind("roost", 0) == 0)
            std::memcpy(frameName(md2, f), "pains", 5);
        if (std::string(frameName(md2, f)).rfind("end", 0) == 0)
            std::memcpy(frameName(md2, f), "pain04", 7);
    }
    Swap damaged(actor("chicken.md2"), md2);
    CheckReport r = checkPack(dir);
    EXPECT_TRUE(mentions(r, "chicken.md2: the last frame is pain04"));
    EXPECT_TRUE(mentions(r, "slot 1: idle animation 1 is pains"));
}

} // namespace
