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

} // namespace

void drawStreamedTriangles(const StreamVertex* vertices, int count, bool textured) {
    if (count <= 0) return;
    glBindBuffer(GL_ARRAY_BUFFER, streamBuffer());
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(count) * GLsizeiptr(sizeof(StreamVertex)), vertices,
                 GL_STREAM_DRAW);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(StreamVertex),
                    reinterpret_cast<const void*>(offsetof(StreamVertex, x)));
    if (textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(StreamVertex),
                          reinterpret_cast<const void*>(offsetof(StreamVertex, u)));
    }
    glDrawArrays(GL_TRIANGLES, 0, count);
    glPopClientAttrib();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
