// The vertex batch against the same vertices sent one by one.
#include "render/stream_draw.h"

#include "../support/frame_compare.h"
#include "../support/test_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr int W = 256, H = 192;

// Quads of 2 x 2 pixels over the whole view, more than one batch holds, in
// colours and texture coordinates that change from quad to quad. Some quads
// give no texture coordinate and the first no colour: they take the ones
// given before. A triangle sent vertex by vertex takes the colour the batch
// left, and a polygon in one colour given before it comes last.
std::vector<unsigned char> drawFrame(VertexBatch& batch) {
    glClear(GL_COLOR_BUFFER_BIT);
    batch.colour(0.2f, 0.9f, 0.4f);
    batch.texCoord(0.6f, 0.3f);
    batch.begin(GL_QUADS);
    for (int x = 0; x < W / 2; ++x)
        for (int y = 0; y < H / 2; ++y) {
            if (x + y > 0) batch.colour(x / 128.0f, y / 96.0f, ((x ^ y) & 7) / 7.0f);
            const bool textured = (x * 7 + y) % 5 != 0;
            const float corners[4][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
            for (const auto& c : corners) {
                if (textured) batch.texCoord((x + c[0]) / 8.0f, (y + c[1]) / 8.0f);
                batch.vertex(2 * x + c[0], 2 * y + c[1], 0.0);
            }
        }
    batch.colour(1.0f, 0.5f, 0.25f);
    batch.end();
    glBegin(GL_TRIANGLES);
    glVertex2i(10, 10);
    glVertex2i(100, 10);
    glVertex2i(10, 100);
    glEnd();
    // A polygon in one colour given before it, over the quads.
    batch.colour(0.9f, 0.9f, 0.9f);
    batch.begin(GL_POLYGON);
    for (const auto& [x, y] : {std::pair{120, 20}, {250, 60}, {200, 180}, {130, 150}})
        batch.vertex(x, y, 0.0);
    batch.end();
    return testsupport::readFrame(W, H);
}

TEST(VertexBatch, DrawsTheSamePixelsAsVerticesSentOneByOne) {
    ZEB_REQUIRE_GL_WINDOW(window);
    glViewport(0, 0, W, H);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, W, 0, H, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    testsupport::stripedTexture(255, 255, 255);
    glEnable(GL_TEXTURE_2D);
    static VertexBatch batch;
    g_sendVertexArrays = false;
    const std::vector<unsigned char> single = drawFrame(batch);
    g_sendVertexArrays = true;
    const std::vector<unsigned char> arrays = drawFrame(batch);
    EXPECT_EQ(testsupport::differingPixels(single, arrays), 0);
    int distinct = 0;
    for (std::size_t k = 3; k < single.size(); k += 3)
        distinct += single[k] != single[k - 3];
    EXPECT_GT(distinct, W * H / 4) << "a frame of many colours";
    glDisable(GL_TEXTURE_2D);
}

} // namespace
