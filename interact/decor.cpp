#include "interact/decor.h"

#include "model/md2.h"
#include "render/engine.h"

#include <GL/gl.h>

#include <vector>

namespace {
int g_decorKindCounter = -1;
}

// The id is the counter's value before it is incremented, so the first kind
// constructed has id -1.
DecorKind::DecorKind() : id(g_decorKindCounter++) {}

DecorKind g_decorKinds[DECOR_KIND_COUNT];

void setupKind(DecorKind& kind, int modelIndex, int skinIndex) {
    kind.skin = skinIndex;
    kind.mesh = nullptr;
    if (modelIndex >= 0 && modelIndex < MODEL_TABLE_SIZE)
        kind.mesh = g_engine.models[modelIndex].frame(0);
}

void makeColourKeyTransparent(DecorKind& kind, float red, float green, float blue) {
    kind.transparent = true;
    if (kind.skin < 0 || kind.skin >= SKIN_TEXTURE_COUNT) return;
    const GLuint texture = g_engine.skinTextures[kind.skin];
    if (texture == 0) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    // The skin is read at its own size (a fixed 256 x 256 buffer would be
    // overrun by a larger skin).
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (width <= 0 || height <= 0) return;
    std::vector<float> texels(std::size_t(width) * std::size_t(height) * 4, 0.0f);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
    for (std::size_t t = 0; t + 3 < texels.size(); t += 4)
        if (texels[t] == red && texels[t + 1] == green && texels[t + 2] == blue)
            texels[t + 3] = 0.0f;
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_FLOAT, texels.data());
}

void setupDecorKinds() {
    for (int n = 0; n < DECOR_KINDS_SET_UP; ++n)
        setupKind(g_decorKinds[n], n, n);
    makeColourKeyTransparent(g_decorKinds[0], 0.0f, 0.0f, 0.0f);
}
