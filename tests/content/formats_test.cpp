// The two file writers against their readers, and the readers against damaged files.
#include "tools/content/image.h"
#include "tools/content/md2file.h"

#include "model/md2.h"
#include "render/bmp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

using namespace content;

namespace {

Image gradient(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::size_t at = (std::size_t(y) * w + x) * 3;
            img.pixels[at] = std::uint8_t(x * 7 + y);
            img.pixels[at + 1] = std::uint8_t(y * 13);
            img.pixels[at + 2] = std::uint8_t(x ^ y);
        }
    return img;
}

Md2Data triangleModel(int frames) {
    Md2Data m;
    m.skinName = "skin.bmp";
    m.texCoords = {{0, 0}, {128, 64}, {255, 255}};
    m.triangles = {{0, 1, 2, 0, 1, 2}, {2, 1, 3, 2, 1, 0}};
    for (int f = 0; f < frames; ++f) {
        char name[16];
        std::snprintf(name, sizeof name, "walk%02d", f + 1);
        m.frames.push_back({name, {{0, 0, 0}, {10.0 + f, -3, 2}, {4, 20, -7.5}, {-2, 1, 30}}});
    }
    return m;
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t v) {
    std::memcpy(&bytes[at], &v, 4); // the test machine is little-endian like the format
}

} // namespace

// Our reader and the engine's read every pixel back; the engine keeps rows
// bottom-up without padding, red first.
TEST(Bitmap, RoundTripKeepsEveryPixelWithPaddedRowsAndTheEngineReadsThem) {
    for (int w : {1, 2, 3, 5, 64, 65, 2050}) {
        SCOPED_TRACE(w);
        Image img = gradient(w, 7);
        std::vector<std::uint8_t> bytes = encodeBmp(img);
        EXPECT_EQ(bytes.size(), 54 + (std::size_t(w) * 3 + 3) / 4 * 4 * 7);
        Image back;
        std::string error;
        ASSERT_TRUE(decodeBmp(bytes, back, error)) << error;
        EXPECT_EQ(back.width, w);
        EXPECT_EQ(back.pixels, img.pixels);
        BmpImage read;
        ASSERT_TRUE(parseBmp(bytes.data(), bytes.size(), read, error)) << error;
        ASSERT_EQ(read.width, w);
        ASSERT_EQ(read.height, 7);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < w; x += 7) {
                const Rgb ours = img.get(x, 6 - y);
                const unsigned char* px = &read.rgb[(std::size_t(y) * w + x) * 3];
                EXPECT_EQ(px[0], std::lround(ours.r * 255));
                EXPECT_EQ(px[1], std::lround(ours.g * 255));
                EXPECT_EQ(px[2], std::lround(ours.b * 255));
            }
    }
}

// Each damage is made to a sound file; the reader must refuse it.
using Damage = std::function<void(std::vector<std::uint8_t>&)>;

TEST(Bitmap, RefusesDamagedFiles) {
    const std::vector<std::uint8_t> good = encodeBmp(gradient(4, 4));
    const std::pair<const char*, Damage> cases[] = {
        {"short header", [](auto& b) { b.resize(30); }},
        {"cut pixels", [](auto& b) { b.pop_back(); }},
        {"8 bits", [](auto& b) { b[28] = 8; }},
        {"not BM", [](auto& b) { b[0] = 'X'; }},
        {"huge offset", [](auto& b) { put32(b, 10, 0x7FFFFFF0); }},
        {"negative width", [](auto& b) { put32(b, 22, -4); }},
    };
    for (const auto& [what, damage] : cases) {
        std::vector<std::uint8_t> bytes = good;
        damage(bytes);
        Image out;
        std::string error;
        EXPECT_FALSE(decodeBmp(bytes, out, error)) << what;
    }
}

// Our reader gets the blocks back and each vertex within half a step of its
// frame's box; the engine reads our axes, skin coordinates and animations.
TEST(Md2, RoundTripThroughOurReaderAndTheEngines) {
    Md2Data m = triangleModel(3);
    m.frames.push_back({"end01", m.frames[0].vertices});
    std::vector<std::uint8_t> bytes = encodeMd2(m);
    Md2Header h;
    Md2Data back;
    std::string error;
    ASSERT_TRUE(decodeMd2(bytes, h, back, error)) << error;
    EXPECT_EQ(h.endOffset, std::int32_t(bytes.size()));
    EXPECT_EQ(h.framesOffset + h.frameCount * h.frameSize, h.glCommandsOffset);
    EXPECT_EQ(back.triangles, m.triangles);
    EXPECT_EQ(back.texCoords, m.texCoords);
    ASSERT_EQ(back.frames.size(), 4u);
    for (std::size_t f = 0; f < 4; ++f) {
        EXPECT_EQ(back.frames[f].name, m.frames[f].name);
        for (std::size_t v = 0; v < 4; ++v) {
            const Vec3 &a = m.frames[f].vertices[v], &b = back.frames[f].vertices[v];
            // Each axis spans its own box in 255 steps.
            EXPECT_NEAR(a.x, b.x, (12.0 + 2) / 255 / 2 + 1e-4);
            EXPECT_NEAR(a.y, b.y, 23.0 / 255 / 2 + 1e-4);
            EXPECT_NEAR(a.z, b.z, 37.5 / 255 / 2 + 1e-4);
        }
    }
    Model model;
    Md2Loader loader;
    ASSERT_EQ(loader.parse(model, bytes.data(), bytes.size(), "test.md2"), Md2Result::Loaded)
        << loader.lastError();
    ASSERT_EQ(model.frameCount, 4);
    ASSERT_EQ(model.animationCount, 1);
    EXPECT_EQ(model.animations[0].name, "walk");
    EXPECT_EQ(model.animations[0].endFrame, 3); // the trailer keeps all three walk frames
    // File (x, y, z) becomes the engine's (x, z, -y); t counts from the skin's top.
    const Vec3f& v = model.frames[1].vertices[1];
    EXPECT_NEAR(v.x, 11, 0.05);
    EXPECT_NEAR(v.y, 2, 0.1);
    EXPECT_NEAR(v.z, 3, 0.05);
    EXPECT_FLOAT_EQ(model.frames[0].texCoords[1].u, 0.5f);
    EXPECT_FLOAT_EQ(model.frames[0].texCoords[1].v, 0.75f);
}

TEST(Md2, RefusesFilesTheEngineCouldNotReadSafely) {
    const std::vector<std::uint8_t> good = encodeMd2(triangleModel(2));
    std::int32_t triangles;
    std::memcpy(&triangles, &good[52], 4);
    const std::pair<const char*, Damage> cases[] = {
        {"version 7", [](auto& b) { put32(b, 4, 7); }},
        {"short header", [](auto& b) { b.resize(60); }},
        {"last frame cut", [](auto& b) { b.resize(b.size() - 30); }},
        // 2100 vertices: frames larger than 8320 bytes
        {"big frames",
         [](auto& b) {
             put32(b, 24, 2100);
             put32(b, 16, 40 + 4 * 2100);
         }},
        {"bad vertex index", [&](auto& b) { b[std::size_t(triangles)] = 9; }},
        {"negative offset", [](auto& b) { put32(b, 56, -8); }},
        {"frame size off the vertex count", [](auto& b) { put32(b, 16, 44); }},
    };
    for (const auto& [what, damage] : cases) {
        std::vector<std::uint8_t> bytes = good;
        damage(bytes);
        Md2Header h;
        Md2Data out;
        std::string error;
        EXPECT_FALSE(decodeMd2(bytes, h, out, error)) << what;
    }
}
