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

namespace {

// The frames of an MD2 file by name, and copying one frame's pose onto
// another (every byte but the name).
struct Md2Frames {
    std::vector<char>& bytes;
    std::int32_t count = 0, size = 0, offset = 0;
    explicit Md2Frames(std::vector<char>& b) : bytes(b) {
        std::memcpy(&count, &bytes[40], 4);
        std::memcpy(&size, &bytes[16], 4);
        std::memcpy(&offset, &bytes[56], 4);
    }
    char* frame(int f) { return &bytes[std::size_t(offset) + std::size_t(f) * std::size_t(size)]; }
    std::vector<int> named(const std::string& prefix) {
        std::vector<int> found;
        for (int f = 0; f < count; ++f) {
            std::string name(frame(f) + 24, strnlen(frame(f) + 24, 16));
            if (name.rfind(prefix, 0) == 0 &&
                std::isdigit(static_cast<unsigned char>(name[prefix.size()])))
                found.push_back(f);
        }
        return found;
    }
    void copyPose(int from, int to) {
        std::memcpy(frame(to), frame(from), 24);
        std::memcpy(frame(to) + 40, frame(from) + 40, std::size_t(size) - 40);
    }
};

} // namespace

TEST_F(CheckMode, CreatureRolesMustBePlausibleMotions) {
    std::string penguin = dir + "/models/actors/penguin.md2";
    const std::vector<char> original = slurp(penguin);
    struct Case {
        const char* damage;
        const char* problem;
    };
    const Case cases[] = {
        {"walk stands still", "creature type 6 (slot 14): walk moves its feet only"},
        {"death ends standing", "creature type 6 (slot 14): death ends 100 %"},
        {"idle walks", "creature type 6 (slot 14): idle moves its feet"},
        {"attack is frozen", "creature type 6 (slot 14): attack moves no part"},
        {"pain falls over", "creature type 6 (slot 14): pain brings the body down"},
    };
    for (const Case& c : cases) {
        std::vector<char> bytes = original;
        Md2Frames frames(bytes);
        int rest = frames.named("stand").front();
        std::vector<int> walk = frames.named("walk"), death = frames.named("death");
        std::string damage = c.damage;
        if (damage == "walk stands still")
            for (int f : walk)
                frames.copyPose(rest, f);
        if (damage == "death ends standing") frames.copyPose(rest, death.back());
        if (damage == "idle walks")
            frames.copyPose(walk[walk.size() / 4], frames.named("stand")[3]);
        if (damage == "attack is frozen")
            for (int f : frames.named("attack"))
                frames.copyPose(rest, f);
        if (damage == "pain falls over") frames.copyPose(death.back(), frames.named("pain")[2]);
        spit(penguin, bytes);
        CheckReport r = checkPack(dir);
        EXPECT_TRUE(mentions(r, c.problem)) << c.damage;
        // Nothing else is blamed, bar the slot check's own view of a standing death.
        for (const std::string& p : r.problems)
            EXPECT_TRUE(p.find(c.problem) != std::string::npos ||
                        p.find("not lying down") != std::string::npos)
                << p;
    }
    spit(penguin, original);
    EXPECT_TRUE(checkPack(dir).problems.empty());
}
