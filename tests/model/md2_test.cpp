#include "model/md2.h"

#include "md2_builder.h"
#include "tests/support/test_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace md2test;

namespace {

Md2Result parseBytes(Md2Loader& loader, Model& model, const std::vector<std::uint8_t>& bytes,
                     const std::string& name = "test.md2") {
    return loader.parse(model, bytes.data(), bytes.size(), name);
}

std::string describe(const std::vector<ModelAnimation>& anims) {
    std::string out;
    for (const ModelAnimation& a : anims)
        out +=
            a.name + " " + std::to_string(a.startFrame) + ".." + std::to_string(a.endFrame) + ";";
    return out;
}

// A model that already holds something, to see that a refused file leaves it alone.
Model preloadedModel() {
    Model m;
    m.frameCount = 7;
    m.animations.push_back({"keep", 1, 5});
    m.frames.resize(7);
    return m;
}

void expectUntouched(const Model& m) {
    EXPECT_EQ(m.frameCount, 7);
    EXPECT_EQ(describe(m.animations), "keep 1..5;");
    EXPECT_EQ(m.frames.size(), 7u);
}

TEST(Md2Grouping, RunsOfOneBaseNameBecomeAnimations) {
    const struct {
        std::vector<std::string> names;
        const char* animations;
    } cases[] = {
        // The last animation ends on the last frame.
        {{"stand01", "stand02", "stand03", "run01", "run02"}, "stand 0..3;run 3..4;"},
        // Numbers from zero or none move the start one frame earlier.
        {{"idle00", "idle01", "walk00", "walk01"}, "idle -1..2;walk 1..3;"},
        {{"pose", "pose", "pose", "wave", "wave"}, "pose -1..3;wave 2..4;"},
        // A last frame with a new name is not recorded.
        {{"stand01", "stand02", "stand03", "flip01"}, "stand 0..3;"},
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
    ASSERT_EQ(model.frames.size(), 3u);
    // The file's z is up: (x, y, z) becomes (x, z, -y), after scale and translation.
    auto xyz = [](const Vec3f& v) { return std::vector<float>{v.x, v.y, v.z}; };
    EXPECT_EQ(xyz(model.frames[0].vertices[0]), (std::vector<float>{10, 30, -20}));
    EXPECT_EQ(xyz(model.frames[1].vertices[2]),
              (std::vector<float>{10 * 0.5f + 1, 40 * 0.25f + 4, -(20 * 2.0f - 3)}));
    // Texture coordinates and faces are kept once, with the first frame.
    const FrameMesh& first = model.frames[0];
    ASSERT_EQ(first.texCoords.size(), 3u);
    EXPECT_FLOAT_EQ(first.texCoords[0].u, 0.5f);
    EXPECT_FLOAT_EQ(first.texCoords[0].v, 0.75f);
    ASSERT_EQ(first.faces.size(), 2u);
    EXPECT_EQ(first.faces[1].vertexIndex[0], 2);
    EXPECT_EQ(first.faces[1].texCoordIndex[1], 2);
    EXPECT_TRUE(model.frames[1].faces.empty());
    EXPECT_EQ(describe(model.animations), "abcdefghijklmn 0..2;");
}

// Every cut of a valid file is refused: the frames end the file, so each
// shorter image misses part of some block.
TEST(Md2Refuse, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
    const std::vector<std::uint8_t> full = fileWithFrames(numbered("stand", 3)).bytes();
    testsupport::BoxRecorder boxes;
    Md2Loader loader;
    for (std::size_t size = 0; size < full.size(); ++size) {
        // A copy of exactly `size` bytes, so ASan sees any read beyond it.
        std::vector<std::uint8_t> cut(full.begin(), full.begin() + std::ptrdiff_t(size));
        Model model = preloadedModel();
        ASSERT_EQ(parseBytes(loader, model, cut, "cut.md2"), Md2Result::Damaged) << size;
        expectUntouched(model);
    }
    EXPECT_EQ(boxes.shown.size(), full.size());
    EXPECT_EQ(boxes.shown.back().text, "Invalid file format (damaged file): cut.md2!");
    Model model;
    EXPECT_EQ(parseBytes(loader, model, full), Md2Result::Loaded);
}

// Header fields and triangle indices (by offset) that point outside the data.
// The first triangle starts at 144: header 68, one skin name 64, three texture
// coordinates 12.
TEST(Md2Refuse, HostileHeaderFieldsAndIndicesAreRefused) {
    const struct {
        const char* what;
        int offset;
        std::int32_t value;
    } cases[] = {{"negative vertex count", 24, -1},
                 {"huge frame count", 40, 0x7FFFFFFF},
                 {"huge triangle count", 32, 0x10000000},
                 {"huge skin count", 20, 0x7FFFFFFF},
                 {"frame size above the buffer", 16, 8324},
                 {"more vertices than the frame holds", 24, 4},
                 {"frames offset past the end", 56, 0x7FFFFFF0},
                 {"triangles offset negative", 52, -12},
                 {"zero skin width", 8, 0},
                 {"vertex index past the count", 144 + 2, 3},
                 {"negative texcoord index", 144 + 6, 0x8000}};
    const std::vector<std::uint8_t> good = fileWithFrames(numbered("stand", 2)).bytes();
    testsupport::BoxRecorder boxes;
    Md2Loader loader;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> bytes = good;
        File::put32(bytes, std::size_t(c.offset), c.value);
        Model model = preloadedModel();
        boxes.shown.clear();
        EXPECT_EQ(parseBytes(loader, model, bytes, "bad.md2"), Md2Result::Damaged);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "Invalid file format (damaged file): bad.md2!");
        expectUntouched(model);
    }
}

std::string tempPath(const std::string& name) {
    return std::string(ZEB_BUILD_DIR) + "/" + testsupport::uniqueName(name, ".md2");
}

void writeFile(const std::string& path, const File& file) {
    const std::vector<std::uint8_t> bytes = file.bytes();
    std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), long(bytes.size()));
}

TEST(Md2Files, ImportReadsAFileFromDiskAndReportsABadOrMissingOne) {
    File file = fileWithFrames(numbered("stand", 46));
    const std::string good = tempPath("beast"), old = tempPath("old");
    writeFile(good, file);
    file.version = 7;
    writeFile(old, file);
    testsupport::BoxRecorder boxes;
    Md2Loader loader;
    Model model;
    EXPECT_TRUE(loader.import(model, good));
    EXPECT_EQ(model.frameCount, 46);
    EXPECT_FALSE(loader.import(model, old));
    EXPECT_EQ(model.frameCount, 46) << "a refused file leaves the model";
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Invalid file format (Version not 8): " + old + "!");
    EXPECT_EQ(boxes.shown[0].title, "Error");
    std::remove(good.c_str());
    std::remove(old.c_str());
    // A missing file, a directory (it opens but cannot be read) and a missing
    // file of a long name are missing; the long name is cut in the message.
    model = preloadedModel();
    EXPECT_EQ(loader.load(model, good), Md2Result::Missing);
    EXPECT_EQ(loader.load(model, ZEB_BUILD_DIR), Md2Result::Missing);
    EXPECT_EQ(loader.load(model, std::string(600, 'n')), Md2Result::Missing);
    ASSERT_EQ(boxes.shown.size(), 4u);
    EXPECT_EQ(boxes.shown[1].text, "Unable to find the file: " + good + "!");
    EXPECT_EQ(boxes.shown[3].text.size(), 255u);
    expectUntouched(model);
}

TEST(Md2Files, MissingFileEndsTheProcessWithCodeOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto importMissing = [] {
        win::SetMessageBoxAnswerer([](const win::MessageBoxRecord& r) {
            std::fprintf(stderr, "box: %s | %s\n", r.title.c_str(), r.text.c_str());
            return int(win::IDOK);
        });
        Md2Loader loader;
        Model model;
        loader.import(model, tempPath("gone"));
    };
    EXPECT_EXIT(importMissing(), ::testing::ExitedWithCode(1),
                "box: Error \\| Unable to find the file: .*gone.*md2!");
}

} // namespace
