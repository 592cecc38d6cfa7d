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
