// The check mode on a whole written pack, then on damaged copies of its files.
#include "tools/content/check.h"
#include "tools/content/pack.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace content;

namespace {

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

    static bool mentions(const CheckReport& r, const std::string& text) {
        for (const std::string& p : r.problems)
            if (p.find(text) != std::string::npos) return true;
        return false;
    }
};

std::string CheckMode::dir;

std::vector<char> slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace

TEST_F(CheckMode, AFreshPackPassesAndDamageIsReportedFileByFile) {
    CheckReport clean = checkPack(dir);
    for (const std::string& p : clean.problems)
        ADD_FAILURE() << p;
    bool terrainNote = false;
    for (const std::string& n : clean.notes)
        terrainNote |= n.find("terrain") != std::string::npos;
    EXPECT_TRUE(terrainNote);

    std::string goblin = dir + "/models/actors/goblin_weapon.md2";
    std::vector<char> weapon = slurp(goblin);
    spit(goblin, std::vector<char>(weapon.begin(), weapon.begin() + weapon.size() / 2));
    std::string skin = dir + "/models/actors/dragon3.bmp";
    std::vector<char> dragonSkin = slurp(skin);
    std::filesystem::remove(skin);
    std::string sky = dir + "/sky/sky3_4.bmp";
    std::vector<char> skyFace = slurp(sky);
    std::vector<char> smallSky = slurp(dir + "/dummylight65.bmp");
    spit(sky, smallSky);
    std::string chicken = dir + "/models/actors/chicken.md2";
    std::vector<char> chickenBytes = slurp(chicken);
    std::vector<char> v7 = chickenBytes;
    v7[4] = 7;
    spit(chicken, v7);

    CheckReport damaged = checkPack(dir);
    EXPECT_TRUE(mentions(damaged, "goblin_weapon.md2: a block lies outside the file"));
    EXPECT_TRUE(mentions(damaged, "dragon3.bmp: missing"));
    EXPECT_TRUE(mentions(damaged, "sky3_4.bmp: 65 x 65"));
    EXPECT_TRUE(mentions(damaged, "chicken.md2: version 7"));
    EXPECT_FALSE(mentions(damaged, "penguin"));

    spit(goblin, weapon);
    spit(skin, dragonSkin);
    spit(sky, skyFace);
    // A chicken whose list lost its trailer and whose animations are reordered.
    std::vector<char> swapped = chickenBytes;
    std::int32_t frames, frameSize, framesOffset;
    std::memcpy(&frames, &swapped[40], 4);
    std::memcpy(&frameSize, &swapped[16], 4);
    std::memcpy(&framesOffset, &swapped[56], 4);
    for (int f = 0; f < frames; ++f) {
        char* name = &swapped[std::size_t(framesOffset) + std::size_t(f) * frameSize + 24];
        if (std::string(name).rfind("roost", 0) == 0) std::memcpy(name, "pains", 5);
        if (std::string(name).rfind("end", 0) == 0) std::memcpy(name, "pain04", 7);
    }
    spit(chicken, swapped);
    CheckReport reordered = checkPack(dir);
    EXPECT_TRUE(mentions(reordered, "chicken.md2: the last frame is pain04"));
    EXPECT_TRUE(mentions(reordered, "slot 1: idle animation 1 is pains"));
    spit(chicken, chickenBytes);
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

TEST_F(CheckMode, WrongSizesAndForeignWeaponFramesAreReported) {
    std::string height = dir + "/terrain.dat";
    std::vector<char> heights = slurp(height);
    spit(height, std::vector<char>(heights.begin(), heights.begin() + 1000));
    std::string skin = dir + "/models/actors/han2.bmp";
    std::vector<char> hanSkin = slurp(skin);
    spit(skin, slurp(dir + "/dummylight128.bmp"));
    std::string weapon = dir + "/models/actors/sara_weapon.md2";
    std::vector<char> saraWeapon = slurp(weapon);
    spit(weapon, slurp(dir + "/models/actors/yohko_weapon.md2"));
    CheckReport r = checkPack(dir);
    EXPECT_TRUE(mentions(r, "terrain.dat: 1000 bytes"));
    EXPECT_TRUE(mentions(r, "han2.bmp: 128 x 128, expected 256 x 256"));
    EXPECT_TRUE(mentions(r, "sara_weapon.md2: frame list differs from sara.md2"));
    spit(height, heights);
    spit(skin, hanSkin);
    spit(weapon, saraWeapon);
}
