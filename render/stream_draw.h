#pragma once

// Triangle lists that change every frame (blended model frames, decor) are
// drawn from one buffer object, refilled on each draw, rather than vertex by
// vertex: one call instead of two per vertex, and less memory in the software
// rasteriser, whose allocations under the vertex-by-vertex model draws came
// to hundreds of megabytes in the game's first minute (sending the same
// vertices from client memory made it grow without end).

// One vertex: texture coordinates, then the position.
struct StreamVertex {
    float u, v;
    float x, y, z;
};

// Draws count vertices as GL_TRIANGLES; texture coordinates are sent only
// when textured is set (otherwise the current ones stay).
void drawStreamedTriangles(const StreamVertex* vertices, int count, bool textured);

// Off: drawing that gathers its vertices (the ground, the dungeon, the
// buildings, the projectiles' sphere) sends them one by one between glBegin
// and glEnd instead, the way they were sent before; tests draw both ways and
// compare the pixels.
extern bool g_sendVertexArrays;

// Vertices gathered the way glBegin .. glEnd takes them: each vertex takes
// the colour and texture coordinate last given, and given outside begin ..
// end they set GL's current ones, as glColor and glTexCoord do. end() sends
// the vertices from the stream buffer in one call and leaves the last colour
// and texture coordinate current, as glEnd would. Vertex by vertex, the
// software rasteriser fills a 512 KB buffer with every few thousand vertices
// and keeps tens of megabytes of them alive.
class VertexBatch {
  public:
    // Any primitive mode. Quads and triangles may run to any count; a strip,
    // fan or polygon holds at most CAPACITY vertices, and more are left out.
    void begin(unsigned mode);
    void colour(float r, float g, float b, float a = 1.0f);
    void texCoord(float u, float v);
    void vertex(double x, double y, double z);
    void end();

    // A multiple of 3 and of 4, so that a full batch of quads or triangles
    // ends on a whole one and can be sent there.
    static constexpr int CAPACITY = 12 * 1024;

  private:
    struct Vertex {
        float u, v;
        float rgba[4];
        float x, y, z;
    };

    void send();

    Vertex vertices_[CAPACITY];
    int count_ = 0;
    unsigned mode_ = 0;
    bool open_ = false;
    bool immediate_ = false;
    // Whether a colour or texture coordinate was given between begin and
    // end. One that was not is left to GL's current value, as immediate
    // drawing does: a constant interpolates exactly, equal values at the
    // corners need not.
    bool colours_ = false, texCoords_ = false;
    float rgba_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float uv_[2] = {0.0f, 0.0f};
};
