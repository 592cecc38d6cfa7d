#include "interact/decor.h"

#include "model/md2.h"
#include "render/engine.h"
#include "render/stream_draw.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

namespace {

constexpr float DECOR_SCALE = 0.125f;

void beginTransparent() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
}

void endTransparent() {
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}

GLuint skinTexture(int skin) {
    return skin >= 0 && skin < SKIN_TEXTURE_COUNT ? g_engine.skinTextures[skin] : 0;
}

} // namespace

// Faces with an index outside the mesh are left out whole.
void drawDecorFaces(const FrameMesh& mesh, int reduced) {
    static std::vector<StreamVertex> out;
    const int step = reduced == 1 ? 3 : 1;
    const bool textured = mesh.texCoordCount > 0;
    const int faceCount = std::min<int>(mesh.faceCount, int(mesh.faces.size()));
    const int vertexCount = int(mesh.vertices.size());
    const int texCount = int(mesh.texCoords.size());
    out.clear();
    for (int f = 0; f < faceCount; f += step) {
        const Face& face = mesh.faces[std::size_t(f)];
        StreamVertex corners[3];
        bool inside = true;
        for (int c = 0; c < 3 && inside; ++c) {
            const int t = face.texCoordIndex[c], v = face.vertexIndex[c];
            inside = v >= 0 && v < vertexCount && (!textured || (t >= 0 && t < texCount));
            if (!inside) break;
            const TexCoord tc = textured ? mesh.texCoords[std::size_t(t)] : TexCoord{};
            const Vec3f& p = mesh.vertices[std::size_t(v)];
            corners[c] = {tc.u, tc.v, p.x, p.y, p.z};
        }
        if (inside) out.insert(out.end(), corners, corners + 3);
    }
    drawStreamedTriangles(out.data(), int(out.size()), textured);
}

void drawDecor(const DecorObject& d, int reduced) {
    if (d.kind == nullptr || d.kind->mesh == nullptr) return;
    const DecorKind& kind = *d.kind;
    if (kind.transparent) beginTransparent();
    glColor4f(d.light, d.light, d.light, 1.0f);
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, skinTexture(kind.skin));
    glTranslated(d.x, d.y, d.z);
    if (d.rotation != 0.0f) glRotatef(d.rotation, 0.0f, 0.0f, 1.0f);
    if (d.tilt != 0.0f) glRotatef(d.tilt, 1.0f, 0.0f, 0.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glScalef(DECOR_SCALE, DECOR_SCALE, DECOR_SCALE);
    drawDecorFaces(*kind.mesh, reduced);
    glPopMatrix();
    if (kind.transparent) endTransparent();
}
