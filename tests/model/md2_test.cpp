#include "model/md2.h"

#include "md2_builder.h"
#include "tests/support/test_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace md2test;

namespace {

Md2Result parseBytes(Md2Loader& loader, Model& model, const std::vector<std::uint8_t>& bytes,
                     const std::string& name = "test.md2") {
    return loader.parse(model, bytes.data(), bytes.size(), name);
}

// A model that already holds something, to see that a refused file leaves it alone.
Model preloadedModel() {
    Model m;
    m.frameCount = 7;
    m.animationCount = 1;
    m.animations.push_back({"keep", 1, 5});
    m.frames.resize(7);
    return m;
}

void expectUntouched(const Model& m) {
    EXPECT_EQ(m.frameCount, 7);
    EXPECT_EQ(m.animationCount, 1);
    ASSERT_EQ(m.animations.size(), 1u);
    EXPECT_EQ(m.animations[0].name, "keep");
    EXPECT_EQ(m.frames.size(), 7u);
}

TEST(Md2Names, TrailingNumberIsTakenFromTheLastTwoCharacters) {
    struct Case {
        const char* name;
        const char* base;
        int number;
    } cases[] = {{"stand01", "stand", 1}, {"run10", "run", 10},
                 {"pain101", "pain1", 1}, {"death9", "death", 9},
                 {"jump", "jump", 0},     {"x", "x", 0},
                 {"7", "7", 0},           {"", "", 0},
                 {"a1b", "a", 1},         {"99", "", 99},
                 {"attack0", "attack", 0}};
    for (const Case& c : cases) {
        std::string base;
        int number = -5;
        splitFrameName(c.name, base, number);
        EXPECT_EQ(base, c.base) << c.name;
        EXPECT_EQ(number, c.number) << c.name;
    }
}

std::string describe(const std::vector<ModelAnimation>& anims) {
    std::string out;
    for (const ModelAnimation& a : anims)
        out +=
            a.name + " " + std::to_string(a.startFrame) + ".." + std::to_string(a.endFrame) + ";";
    return out;
}

TEST(Md2Grouping, RunsOfOneBaseNameBecomeAnimations) {
    const struct {
        std::vector<std::string> names;
        const char* animations;
    } cases[] = {
        // The last animation ends on the last frame.
        {concat(numbered("stand", 40), numbered("run", 6)), "stand 0..40;run 40..45;"},
        // Numbers from zero or none move the start one frame earlier.
        {concat(numbered("idle", 4, 0), numbered("walk", 3, 0)), "idle -1..4;walk 3..6;"},
        {{"pose", "pose", "pose", "wave", "wave"}, "pose -1..3;wave 2..4;"},
        // A last frame with a new name, and single frames, are not recorded.
        {concat(numbered("stand", 3), {"flip01"}), "stand 0..3;"},
        {{"stand01"}, ""},
        {{}, ""},
        // A name seen again after another animation starts a new record.
        {{"a01", "a02", "b01", "a01", "a02", "c01"}, "a 0..2;b 2..3;a 3..5;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(groupAnimations(c.names)), c.animations) << c.names.size() << " frames";
}

// Names that fill all sixteen bytes of the frame's name field stay in it.
TEST(Md2Parse, ConvertsAxesTextureCoordinatesAndFacesAndReplacesThePreviousModel) {
    File file = fileWithFrames(numbered("abcdefghijklmn", 3));
    file.magic = 0x12345678; // not checked
    file.texCoords = {{128, 64}, {0, 256}, {256, 0}};
    file.frames[0].vertices[0] = {10, 20, 30};
    Frame& f1 = file.frames[1];
    f1.scale[0] = 0.5f, f1.scale[1] = 2.0f, f1.scale[2] = 0.25f;
    f1.translate[0] = 1.0f, f1.translate[1] = -3.0f, f1.translate[2] = 4.0f;
    f1.vertices[2] = {10, 20, 40};
    file.triangles.push_back({{2, 0, 1}, {1, 2, 0}});

    testsupport::BoxRecorder boxes;
    Md2Loader loader;
    Model model = preloadedModel();
    ASSERT_EQ(parseBytes(loader, model, file.bytes()), Md2Result::Loaded);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(model.frameCount, 3);
    ASSERT_EQ(model.frames.size(), 3u);

    // The file's z is up: (x, y, z) becomes (x, z, -y), after scale and translation.
    auto xyz = [](const Vec3f& v) { return std::vector<float>{v.x, v.y, v.z}; };
    EXPECT_EQ(xyz(model.frames[0].vertices[0]), (std::vector<float>{10, 30, -20}));
    EXPECT_EQ(xyz(model.frames[1].vertices[2]),
              (std::vector<float>{10 * 0.5f + 1, 40 * 0.25f + 4, -(20 * 2.0f - 3)}));

    const FrameMesh& first = model.frames[0];
    ASSERT_EQ(first.texCoords.size(), 3u);
    EXPECT_FLOAT_EQ(first.texCoords[0].u, 0.5f);
    EXPECT_FLOAT_EQ(first.texCoords[0].v, 0.75f);
    EXPECT_FLOAT_EQ(first.texCoords[1].v, 0.0f);
    EXPECT_FLOAT_EQ(first.texCoords[2].u, 1.0f);
    ASSERT_EQ(first.faces.size(), 2u);
    EXPECT_EQ(first.faces[1].vertexIndex[0], 2);
    EXPECT_EQ(first.faces[1].texCoordIndex[1], 2);

    EXPECT_EQ(model.frames[2].vertices.size(), 3u);
    EXPECT_EQ(model.frames[2].faceCount, 2);
    EXPECT_TRUE(model.frames[1].faces.empty());
    EXPECT_TRUE(model.frames[2].texCoords.empty());
    EXPECT_EQ(model.animationCount, 1);
    EXPECT_EQ(describe(model.animations), "abcdefghijklmn 0..2;");
}

TEST(Md2Refuse, WrongVersionShowsItsMessageAndLeavesTheModel) {
    File file = fileWithFrames(numbered("stand", 2));
    file.version = 7;
    testsupport::BoxRecorder boxes;
    Md2Loader loader;
    Model model = preloadedModel();
    EXPECT_EQ(parseBytes(loader, model, file.bytes(), "Data/models/actors/goblin.md2"),
              Md2Result::WrongVersion);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "Invalid file format (Version not 8): Data/models/actors/goblin.md2!");
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_EQ(boxes.shown[0].style, unsigned(win::MB_OK));
    expectUntouched(model);

    Model empty;
    EXPECT_EQ(parseBytes(loader, empty, file.bytes(), std::string(600, 'n')),
              Md2Result::WrongVersion);
    EXPECT_EQ(empty.frameCount, 0);
    EXPECT_TRUE(empty.frames.empty());
    EXPECT_EQ(boxes.shown.back().text.size(), 255u) << "long file names are cut";
}

// Every cut of a valid file is refused: the frames end the file, so each
// shorter image misses part of some block.
TEST(Md2Refuse, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
    File file = fileWithFrames(numbered("stand", 3));
    std::vector<std::uint8_t> full = file.bytes();
    testsupport::BoxRecorder boxes;
    Md2Loader loader;
    for (std::size_t size = 0; size < full.size(); ++size) {
        // A copy of exactly `size` bytes, so ASan sees any read beyond it.
        std::vector<std::uint8_t> cut(full.begin(), full.begin() + std::ptrdiff_t(size));
        Model model = preloadedModel();
        Md2Result r = loader.parse(model, cut.data(), cut.size(), "cut.md2");
        ASSERT_EQ(r, Md2Result::Damaged) << "size " << size;
        expectUntouched(model);
    }
    EXPECT_EQ(boxes.shown.size(), full.size());
    EXPECT_EQ(boxes.shown.back().text, "Invalid file format (damaged file): cut.md2!");
    Model model;
    EXPECT_EQ(parseBytes(loader, model, full), Md2Result::Loaded);
}

TEST(Md2Refuse, HostileHeaderFieldsAreRefused) {
    const std::vector<std::uint8_t> good = fileWithFrames(numbered("stand", 2)).bytes();
    struct Case {
        const char* what;
        int field;
        std::int32_t value;
    } cases[] = {{"negative vertex count", VERTEX_COUNT, -1},
                 {"negative frame count", FRAME_COUNT, -3},
                 {"negative triangle count", TRIANGLE_COUNT, -1},
                 {"negative skin count", SKIN_COUNT, -1},
                 {"negative texcoord count", TEXCOORD_COUNT, -2},
                 {"huge frame count", FRAME_COUNT, 0x7FFFFFFF},
                 {"huge triangle count", TRIANGLE_COUNT, 0x10000000},
                 {"huge skin count", SKIN_COUNT, 0x7FFFFFFF},
                 {"frame size above the buffer", FRAME_SIZE, 8324},
                 {"frame size below its vertices", FRAME_SIZE, 40},
                 {"negative frame size", FRAME_SIZE, -52},
                 {"more vertices than the frame holds", VERTEX_COUNT, 4},
                 {"negative frames offset", FRAMES_OFFSET, -4},
                 {"frames offset past the end", FRAMES_OFFSET, 0x7FFFFFF0},
                 {"texcoords offset past the end", TEXCOORDS_OFFSET, 100000},
                 {"triangles offset negative", TRIANGLES_OFFSET, -12},
                 {"skins offset past the end", SKINS_OFFSET, 0x7FFFFFFF},
                 {"zero skin width", SKIN_WIDTH, 0},
                 {"negative skin height", SKIN_HEIGHT, -256}};
    testsupport::BoxRecorder boxes;
    Md2Loader loader;
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        File::put32(bytes, std::size_t(c.field), c.value);
        Model model = preloadedModel();
        boxes.shown.clear();
        EXPECT_EQ(parseBytes(loader, model, bytes, "bad.md2"), Md2Result::Damaged) << c.what;
        ASSERT_EQ(boxes.shown.size(), 1u) << c.what;
        EXPECT_EQ(boxes.shown[0].text, "Invalid file format (damaged file): bad.md2!");
        EXPECT_FALSE(loader.lastError().empty());
        expectUntouched(model);
    }
}

TEST(Md2Refuse, IndicesOutsideTheirArraysAreRefused) {
    struct Case {
        const char* what;
        int corner;
        bool texCoord;
        std::int16_t value;
    } cases[] = {{"vertex index past the count", 1, false, 3},
                 {"negative vertex index", 0, false, -1},
                 {"texcoord index past the count", 2, true, 3},
                 {"negative texcoord index", 0, true, -32768}};
    testsupport::BoxRecorder boxes;
    Md2Loader loader;
    for (const Case& c : cases) {
        File file = fileWithFrames(numbered("stand", 2));
        (c.texCoord ? file.triangles[0].texCoord : file.triangles[0].vertex)[c.corner] = c.value;
        Model model = preloadedModel();
        EXPECT_EQ(parseBytes(loader, model, file.bytes()), Md2Result::Damaged) << c.what;
        expectUntouched(model);
    }
    // Without texture coordinates their indices are never used, so any value passes.
    File bare = fileWithFrames(numbered("stand", 2));
    bare.texCoords.clear();
    bare.triangles[0].texCoord[0] = 999;
    Model model;
    EXPECT_EQ(parseBytes(loader, model, bare.bytes()), Md2Result::Loaded);
    EXPECT_TRUE(model.frames[0].texCoords.empty());
}

class Md2Files : public ::testing::Test {
  protected:
    std::filesystem::path dir;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("zeb_md2_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::string path = (dir / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }
};

TEST_F(Md2Files, ImportReadsAFileFromDiskAndReportsABadOrMissingOne) {
    File file = fileWithFrames(concat(numbered("stand", 40), numbered("run", 6)));
    testsupport::BoxRecorder boxes;
    Md2Loader loader;
    Model model;
    EXPECT_TRUE(loader.import(model, write("beast.md2", file.bytes())));
    EXPECT_EQ(model.frameCount, 46);
    EXPECT_EQ(model.animationCount, 2);
    file.version = 7;
    const std::string old = write("old.md2", file.bytes());
    EXPECT_FALSE(loader.import(model, old));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Invalid file format (Version not 8): " + old + "!");

    model = preloadedModel();
    const std::string missing = (dir / "nothere.md2").string();
    EXPECT_EQ(loader.load(model, missing), Md2Result::Missing);
    // A directory opens but cannot be read: it counts as missing.
    EXPECT_EQ(loader.load(model, dir.string()), Md2Result::Missing);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[1].text, "Unable to find the file: " + missing + "!");
    EXPECT_EQ(boxes.shown[1].title, "Error");
    EXPECT_EQ(boxes.shown[2].text, "Unable to find the file: " + dir.string() + "!");
    expectUntouched(model);
}

TEST_F(Md2Files, MissingFileEndsTheProcessWithCodeOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string path = (dir / "gone.md2").string();
    auto importMissing = [&] {
        win::SetMessageBoxAnswerer([](const win::MessageBoxRecord& r) {
            std::fprintf(stderr, "box: %s | %s\n", r.title.c_str(), r.text.c_str());
            return int(win::IDOK);
        });
        Md2Loader loader;
        Model model;
        loader.import(model, path);
    };
    EXPECT_EXIT(importMissing(), ::testing::ExitedWithCode(1),
                "box: Error \\| Unable to find the file: .*gone.md2!");
}

} // namespace
