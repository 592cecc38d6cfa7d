#define GL_GLEXT_PROTOTYPES
#include "render/stream_draw.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstddef>

namespace {

// The buffer's name is made on first use in a context; a context made anew
// (a window rebuilt) does not know the old name, so it is made again.
GLuint streamBuffer() {
    static GLuint buffer = 0;
    if (buffer == 0 || !glIsBuffer(buffer)) {
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
    }
    return buffer;
}

// Fills the stream buffer with `bytes` of vertices and leaves it bound.
void fillStreamBuffer(const void* vertices, GLsizeiptr bytes) {
    glBindBuffer(GL_ARRAY_BUFFER, streamBuffer());
    glBufferData(GL_ARRAY_BUFFER, bytes, vertices, GL_STREAM_DRAW);
}

// Where a vertex's parts lie in it (float positions, two texture
// coordinates, four colour components); -1 for a part not sent, which then
// stays GL's current one.
struct StreamLayout {
    GLsizei stride;
    long position, texCoords, colour;
};

const void* at(long offset) {
    return reinterpret_cast<const void*>(offset);
}

// Draws count vertices of the given layout in one call from the stream buffer.
void drawFromStream(GLenum mode, const void* vertices, int count, const StreamLayout& layout) {
    fillStreamBuffer(vertices, GLsizeiptr(count) * layout.stride);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, layout.stride, at(layout.position));
    if (layout.texCoords >= 0) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, layout.stride, at(layout.texCoords));
    }
    if (layout.colour >= 0) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, layout.stride, at(layout.colour));
    }
    glDrawArrays(mode, 0, count);
    glPopClientAttrib();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

} // namespace

bool g_sendVertexArrays = true;

void drawStreamedTriangles(const StreamVertex* vertices, int count, bool textured) {
    if (count <= 0) return;
    const long texCoords = textured ? long(offsetof(StreamVertex, u)) : -1;
    drawFromStream(GL_TRIANGLES, vertices, count,
                   {sizeof(StreamVertex), offsetof(StreamVertex, x), texCoords, -1});
}

void VertexBatch::begin(unsigned mode) {
    mode_ = mode;
    count_ = 0;
    open_ = true;
    colours_ = texCoords_ = false;
    immediate_ = !g_sendVertexArrays;
    if (immediate_) {
        glBegin(mode);
        return;
    }
    float uvrq[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, rgba_);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, uvrq);
    uv_[0] = uvrq[0];
    uv_[1] = uvrq[1];
}

void VertexBatch::colour(float r, float g, float b, float a) {
    if (!open_ || immediate_) {
        glColor4f(r, g, b, a);
        return;
    }
    rgba_[0] = r, rgba_[1] = g, rgba_[2] = b, rgba_[3] = a;
    colours_ = true;
}

void VertexBatch::texCoord(float u, float v) {
    if (!open_ || immediate_) {
        glTexCoord2f(u, v);
        return;
    }
    uv_[0] = u, uv_[1] = v;
    texCoords_ = true;
}

void VertexBatch::vertex(double x, double y, double z) {
    if (immediate_) {
        glVertex3d(x, y, z);
        return;
    }
    if (count_ == CAPACITY) {
        if (mode_ != GL_QUADS && mode_ != GL_TRIANGLES) return;
        send();
    }
    vertices_[count_++] = {uv_[0],   uv_[1],   {rgba_[0], rgba_[1], rgba_[2], rgba_[3]},
                           float(x), float(y), float(z)};
}

void VertexBatch::end() {
    open_ = false;
    if (immediate_) {
        glEnd();
        return;
    }
    send();
    // After drawing from a colour or texture coordinate array, GL's current
    // ones are undefined; callers rely on the last ones given.
    if (colours_) glColor4fv(rgba_);
    if (texCoords_) glTexCoord2fv(uv_);
}

void VertexBatch::send() {
    if (count_ > 0) {
        const long texCoords = texCoords_ ? long(offsetof(Vertex, u)) : -1;
        const long colour = colours_ ? long(offsetof(Vertex, rgba)) : -1;
        drawFromStream(mode_, vertices_, count_,
                       {sizeof(Vertex), offsetof(Vertex, x), texCoords, colour});
    }
    count_ = 0;
}
