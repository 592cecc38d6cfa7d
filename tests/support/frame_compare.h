// Textures and pixel read-back for the drawing tests, and comparing two
// pictures of one view.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <vector>

namespace testsupport {

// A square RGB texture of side x side texels, nearest filtering; left bound.
inline GLuint makeTexture(int side, const unsigned char* texels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

// One texel of (r, g, b).
inline GLuint solidTexture(unsigned char r, unsigned char g, unsigned char b) {
    const unsigned char texel[3] = {r, g, b};
    return makeTexture(1, texel);
}

// 4 x 4 texels in one-texel stripes of (r, g, b) and a bluish grey, so that
// every texture coordinate shows.
inline GLuint stripedTexture(unsigned char r, unsigned char g, unsigned char b) {
    unsigned char texels[4 * 4 * 3] = {};
    for (int k = 0; k < 16; ++k) {
        const bool on = (k + k / 4) % 2 == 0;
        texels[3 * k] = on ? r : 40;
        texels[3 * k + 1] = on ? g : 90;
        texels[3 * k + 2] = on ? b : 160;
    }
    return makeTexture(4, texels);
}

// The drawn picture from (0, 0), RGB, once drawing has finished.
inline std::vector<unsigned char> readFrame(int width, int height) {
    glFinish();
    std::vector<unsigned char> px(std::size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return px;
}

// How many pixels of two pictures of one size differ.
inline long differingPixels(const std::vector<unsigned char>& a,
                            const std::vector<unsigned char>& b) {
    long differ = 0;
    for (std::size_t k = 0; k + 2 < a.size() && k + 2 < b.size(); k += 3)
        differ += a[k] != b[k] || a[k + 1] != b[k + 1] || a[k + 2] != b[k + 2];
    return differ;
}

// How many pixels differ from the colour (r, g, b).
inline long pixelsOtherThan(const std::vector<unsigned char>& a, unsigned char r, unsigned char g,
                            unsigned char b) {
    long other = 0;
    for (std::size_t k = 0; k + 2 < a.size(); k += 3)
        other += a[k] != r || a[k + 1] != g || a[k + 2] != b;
    return other;
}

} // namespace testsupport
