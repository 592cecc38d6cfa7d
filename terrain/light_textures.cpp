#include "terrain/light_textures.h"

#include "render/engine.h"
#include "terrain/terrain_build.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>

int lightTextureSize(int lightType) {
    if (lightType == 2) return 65;
    if (lightType == 3) return 128;
    return 0;
}

const char* dummyLightName(int lightType) {
    return lightType == 3 ? "dummylight128.bmp" : "dummylight65.bmp";
}

LightTexels::LightTexels(const std::string& dummyPath, int side)
    : size(side), texels(std::size_t(side) * side, 0), dummy_(texels.size(), 0) {
    ControlImage image;
    if (!loadControlImage(dummyPath, image) || image.width != side || image.height != side) return;
    for (std::size_t k = 0; k < dummy_.size(); ++k)
        dummy_[k] = image.rgb[3 * k];
}

void LightTexels::fill(const float (&light)[PAGE_VERTS][PAGE_VERTS]) {
    texels = dummy_;
    const int n = std::min(size, PAGE_VERTS);
    // Rounded as GL stores a float texel in a byte.
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            texels[std::size_t(j) * size + i] =
                (unsigned char)std::lrint(std::clamp(light[i][j], 0.0f, 1.0f) * 255.0f);
}

unsigned makeLightTexture(const LightTexels& t) {
    GLuint name = 0;
    glGenTextures(1, &name);
    if (auto active = g_engine.glActiveTextureARB) active(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, t.size, t.size, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                 t.texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return name;
}
