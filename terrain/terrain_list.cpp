#include "terrain/terrain.h"

#include <algorithm>
#include <cmath>

TerrainPage::TerrainPage() {
    for (Building& b : buildings)
        constructBuilding(b);
}

void TerrainPage::measureHeights() {
    const float* h = &height[0][0];
    const auto [lo, hi] = std::minmax_element(h, h + PAGE_VERTS * PAGE_VERTS);
    lowest = *lo;
    highest = *hi;
}

void TerrainPage::setOrigin(int x, int y) {
    originX = x;
    originY = y;
    originZ = 0;
    centreX = x + 130;
    centreY = y + 130;
    centreZ = originZ;
}

TerrainList::~TerrainList() {
    TerrainPage* p = head;
    while (p) {
        TerrainPage* next = p->next;
        delete p;
        p = next;
    }
}

namespace {
bool onMapGrid(int x, int y) {
    return x >= 0 && y >= 0 && x % PAGE_SIZE == 0 && y % PAGE_SIZE == 0 && x < MAP_SIZE &&
           y < MAP_SIZE;
}
} // namespace

void TerrainList::appendPage(TerrainPage* page) {
    if (!page) return;
    page->next = nullptr;
    page->prev = tail;
    if (tail)
        tail->next = page;
    else
        head = page;
    tail = page;
    ++pageCount;
    if (onMapGrid(page->originX, page->originY)) {
        TerrainPage*& cell = grid_[page->originX / PAGE_SIZE][page->originY / PAGE_SIZE];
        if (!cell) cell = page;
    }
}

TerrainPage* TerrainList::findPage(int x, int y, int) const {
    if (onMapGrid(x, y)) return grid_[x / PAGE_SIZE][y / PAGE_SIZE];
    for (TerrainPage* p = head; p; p = p->next)
        if (p->originX == x && p->originY == y) return p;
    return nullptr;
}

const TerrainPage* TerrainList::pageAt(double x, double y) const {
    if (!(x >= 0.0 && y >= 0.0 && x < MAP_SIZE && y < MAP_SIZE)) return nullptr;
    const int px = int(std::floor(x / PAGE_SIZE)) * PAGE_SIZE;
    const int py = int(std::floor(y / PAGE_SIZE)) * PAGE_SIZE;
    return findPage(px, py);
}
