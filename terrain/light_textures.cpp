#include "terrain/light_textures.h"

#include "render/engine.h"
#include "terrain/terrain_build.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

int lightTextureSize(int lightType) {
    if (lightType == 2) return 65;
    if (lightType == 3) return 128;
    return 0;
}

const char* dummyLightName(int lightType) {
    return lightType == 3 ? "dummylight128.bmp" : "dummylight65.bmp";
}

namespace {
PFNGLACTIVETEXTUREARBPROC activeTextureEntry() {
    return g_engine.glActiveTextureARB;
}
} // namespace

LightTextureMaker::LightTextureMaker(const std::string& dummyPath, LightTextureBuffer& buffer)
    : buffer_(buffer) {
    ControlImage image;
    if (loadControlImage(dummyPath, image)) {
        width_ = image.width;
        height_ = image.height;
        rgb_ = std::move(image.rgb);
    }
}

unsigned LightTextureMaker::beginPage() {
    GLuint name = 0;
    glGenTextures(1, &name);
    if (auto active = activeTextureEntry()) active(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (width_ == buffer_.size && height_ == buffer_.size) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, width_, height_, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     rgb_.data());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE, GL_FLOAT, buffer_.texels.data());
    } else {
        // A missing dummy image, or one of another size, starts the page
        // dark instead of leaving it without a texture.
        std::fill(buffer_.texels.begin(), buffer_.texels.end(), 0.0f);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, buffer_.size, buffer_.size, 0, GL_LUMINANCE,
                     GL_FLOAT, buffer_.texels.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    current_ = name;
    return name;
}

void LightTextureMaker::endPage() {
    if (current_ == 0) return;
    glBindTexture(GL_TEXTURE_2D, current_);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, buffer_.size, buffer_.size, GL_LUMINANCE, GL_FLOAT,
                    buffer_.texels.data());
}
