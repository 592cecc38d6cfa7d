// The finishing pass over the built pages: stitch the shared border
// vertices, measure steepness, then tidy the walking grid.
#include "terrain/terrain.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int LAST = PAGE_CELLS; // index of the shared border row and column
constexpr float BLOCKING_SLOPE = 0.75f;
constexpr float SLOPE_DIVISOR = 6.0f;

struct Neighbours {
    const TerrainPage* y;    // at (originX, originY + 256)
    const TerrainPage* x;    // at (originX + 256, originY)
    const TerrainPage* diag; // at (originX + 256, originY + 256)
};

Neighbours neighboursOf(const TerrainList& list, const TerrainPage& p) {
    return {list.findPage(p.originX, p.originY + PAGE_SIZE),
            list.findPage(p.originX + PAGE_SIZE, p.originY),
            list.findPage(p.originX + PAGE_SIZE, p.originY + PAGE_SIZE)};
}

// Copies vertex (fi, fj) of one grid to (ti, tj) of another, for height,
// light and dirt together.
void copyVertex(TerrainPage& to, int ti, int tj, const TerrainPage& from, int fi, int fj) {
    to.height[ti][tj] = from.height[fi][fj];
    to.light[ti][tj] = from.light[fi][fj];
    to.dirt[ti][tj] = from.dirt[fi][fj];
}

// Column 64 and row 64 take the neighbours' first column and row, or repeat
// column and row 63 on the map's far edges; vertex (64, 64) is shared by
// three neighbours and comes from whichever exists.
void stitch(TerrainPage& p, const Neighbours& n) {
    for (int i = 0; i < LAST; ++i) {
        if (n.y)
            copyVertex(p, i, LAST, *n.y, i, 0);
        else
            copyVertex(p, i, LAST, p, i, LAST - 1);
    }
    for (int j = 0; j < LAST; ++j) {
        if (n.x)
            copyVertex(p, LAST, j, *n.x, 0, j);
        else
            copyVertex(p, LAST, j, p, LAST - 1, j);
    }
    if (n.diag)
        copyVertex(p, LAST, LAST, *n.diag, 0, 0);
    else if (n.x)
        copyVertex(p, LAST, LAST, *n.x, 0, LAST - 1);
    else if (n.y)
        copyVertex(p, LAST, LAST, *n.y, LAST - 1, 0);
    else
        copyVertex(p, LAST, LAST, p, LAST - 1, LAST - 1);
    for (int k = 0; k < PAGE_VERTS; ++k) {
        p.edgeHighY[k] = p.height[k][LAST];
        p.edgeLowY[k] = p.height[k][0];
        p.edgeHighX[k] = p.height[LAST][k];
        p.edgeLowX[k] = p.height[0][k];
    }
}

// Steepness from the drops to the next vertex along y and along x (past the
// border, the neighbour's second line; without a neighbour, ground at 0).
void measureSlope(TerrainPage& p, const Neighbours& n) {
    for (int i = 0; i < PAGE_VERTS; ++i) {
        for (int j = 0; j < PAGE_VERTS; ++j) {
            const int h = int(p.height[i][j]);
            int hy = 0, hx = 0;
            if (j < LAST)
                hy = int(p.height[i][j + 1]);
            else if (n.y)
                hy = int(n.y->height[i][1]);
            if (i < LAST)
                hx = int(p.height[i + 1][j]);
            else if (n.x)
                hx = int(n.x->height[1][j]);
            const float s = std::max(std::abs(h - hy), std::abs(h - hx)) / SLOPE_DIVISOR;
            p.slope[i][j] = s;
            if (s >= BLOCKING_SLOPE) p.blocked[i][j] = 1;
        }
    }
}

int blockedSides(const TerrainPage& p, int i, int j) {
    return (p.blocked[i - 1][j] != 0) + (p.blocked[i + 1][j] != 0) + (p.blocked[i][j - 1] != 0) +
           (p.blocked[i][j + 1] != 0);
}

// Free cells walled in on three or four sides become blocked, until nothing
// changes.
void fillPockets(TerrainPage& p) {
    bool changed = true;
    while (changed) {
        changed = false;
        for (int i = 1; i < LAST; ++i)
            for (int j = 1; j < LAST; ++j)
                if (p.blocked[i][j] == 0 && blockedSides(p, i, j) >= 3) {
                    p.blocked[i][j] = 1;
                    changed = true;
                }
    }
}

// A blocked cell with no blocked cell around it becomes free.
void cleanSpecks(TerrainPage& p) {
    for (int i = 1; i < LAST; ++i)
        for (int j = 1; j < LAST; ++j) {
            if (p.blocked[i][j] == 0) continue;
            bool alone = true;
            for (int di = -1; di <= 1 && alone; ++di)
                for (int dj = -1; dj <= 1; ++dj)
                    if ((di || dj) && p.blocked[i + di][j + dj] != 0) {
                        alone = false;
                        break;
                    }
            if (alone) p.blocked[i][j] = 0;
        }
}

} // namespace

void TerrainList::finishPages() {
    for (TerrainPage* p = head; p; p = p->next)
        stitch(*p, neighboursOf(*this, *p));
    for (TerrainPage* p = head; p; p = p->next)
        measureSlope(*p, neighboursOf(*this, *p));
    for (TerrainPage* p = head; p; p = p->next)
        fillPockets(*p);
    for (TerrainPage* p = head; p; p = p->next) {
        cleanSpecks(*p);
        p->measureHeights();
    }
}
