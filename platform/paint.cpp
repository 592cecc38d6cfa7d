// Device contexts of the extra windows, pens, brushes and rectangular
// regions, and the pixels they draw into the windows.
#include "platform/layer.h"
#include "platform/top_window.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace win {

struct GdiObject {
    enum Kind { Pen, Brush, Region } kind = Pen;
    // A null pen or brush draws nothing.
    bool drawsNothing = false;
    COLORREF colour = 0;
    int width = 1;
    RECT rect;
    bool stock = false;
    // Contexts it is selected into; it cannot be deleted while selected.
    int selections = 0;
};

struct DeviceContext {
    HWND hwnd = nullptr;
    // Drawing is cut to this client rectangle.
    RECT clip;
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
};

using namespace detail;

namespace {

struct Objects {
    std::set<GdiObject*> live;
    std::set<DeviceContext*> contexts;
    DeviceContext mainContext;
};

Objects& objects() {
    static Objects o;
    return o;
}

GdiObject g_stock[NULL_PEN + 1];

GdiObject* stockObject(int index) {
    GdiObject(&stock)[NULL_PEN + 1] = g_stock;
    static bool made = false;
    if (!made) {
        made = true;
        for (GdiObject& s : stock) {
            s.stock = true;
            s.kind = GdiObject::Brush;
            s.drawsNothing = true;
        }
        stock[WHITE_BRUSH] = GdiObject{GdiObject::Brush, false, RGB(255, 255, 255), 1, {}, true};
        stock[BLACK_BRUSH] = GdiObject{GdiObject::Brush, false, RGB(0, 0, 0), 1, {}, true};
        stock[WHITE_PEN] = GdiObject{GdiObject::Pen, false, RGB(255, 255, 255), 1, {}, true};
        stock[BLACK_PEN] = GdiObject{GdiObject::Pen, false, RGB(0, 0, 0), 1, {}, true};
        stock[NULL_PEN] = GdiObject{GdiObject::Pen, true, 0, 1, {}, true};
    }
    return index >= 0 && index <= NULL_PEN ? &stock[index] : nullptr;
}

// Looked up by address only, so a deleted object is never read.
bool validObject(HGDIOBJ object) {
    for (const GdiObject& s : g_stock)
        if (object == &s) return true;
    return object && objects().live.count(object) != 0;
}

// The window a context draws into; null for the main window's marker or a
// context already released.
TopWindow* target(HDC hdc) {
    if (!hdc || objects().contexts.count(hdc) == 0) return nullptr;
    return topWindow(hdc->hwnd);
}

HGDIOBJ make(const GdiObject& object) {
    GdiObject* o = new GdiObject(object);
    objects().live.insert(o);
    return o;
}

void select(HGDIOBJ& slot, HGDIOBJ object) {
    if (slot) --slot->selections;
    slot = object;
    if (slot) ++slot->selections;
}

// Fills a client rectangle cut to the context's clip.
void fillClipped(TopWindow& w, const RECT& clip, const RECT& r, COLORREF colour) {
    RECT area;
    if (intersect(r, clip, area)) fillClient(w, area, colour);
}

} // namespace

namespace detail {

bool brushColour(HBRUSH brush, COLORREF& colour) {
    if (!validObject(brush) || brush->kind != GdiObject::Brush || brush->drawsNothing) return false;
    colour = brush->colour;
    return true;
}

bool regionRect(HRGN region, RECT& rect) {
    if (!validObject(region) || region->kind != GdiObject::Region) return false;
    rect = region->rect;
    return true;
}

void fillClient(TopWindow& w, const RECT& r, COLORREF colour) {
    SDL_Surface* surface = SDL_GetWindowSurface(w.sdl);
    if (!surface) return;
    SDL_Rect area{r.left - w.visibleLeft, r.top - w.visibleTop, r.right - r.left, r.bottom - r.top};
    Uint32 pixel = SDL_MapRGB(surface->format, Uint8(colour & 0xFF), Uint8((colour >> 8) & 0xFF),
                              Uint8((colour >> 16) & 0xFF));
    // SDL cuts the rectangle to the surface, which is the visible part.
    SDL_FillRect(surface, &area, pixel);
}

HDC mainDC() {
    return &objects().mainContext;
}

HDC openDC(HWND hwnd, const RECT& clip) {
    TopWindow* w = topWindow(hwnd);
    if (!w) return nullptr;
    auto* dc = new DeviceContext;
    dc->hwnd = hwnd;
    RECT client{0, 0, w->clientWidth, w->clientHeight};
    if (!intersect(clip, client, dc->clip)) dc->clip = RECT{};
    select(dc->pen, stockObject(BLACK_PEN));
    select(dc->brush, stockObject(WHITE_BRUSH));
    objects().contexts.insert(dc);
    return dc;
}

bool closeDC(HDC hdc) {
    if (!hdc || objects().contexts.erase(hdc) == 0) return false;
    // Whatever is still selected is let go, as a released context forgets it.
    select(hdc->pen, nullptr);
    select(hdc->brush, nullptr);
    if (TopWindow* w = topWindow(hdc->hwnd)) presentWindow(*w);
    delete hdc;
    return true;
}

void dropDCs(HWND hwnd) {
    std::set<DeviceContext*> open = objects().contexts;
    for (DeviceContext* dc : open)
        if (dc->hwnd == hwnd) closeDC(dc);
}

} // namespace detail

// ---- pens, brushes, regions ----------------------------------------------------

HPEN CreatePen(int style, int width, COLORREF colour) {
    GdiObject pen;
    pen.kind = GdiObject::Pen;
    pen.drawsNothing = style == PS_NULL;
    pen.colour = colour & 0x00FFFFFF;
    pen.width = std::max(1, width);
    return make(pen);
}

HGDIOBJ GetStockObject(int object) {
    return stockObject(object);
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    if (!hdc || objects().contexts.count(hdc) == 0 || !validObject(object)) return nullptr;
    HGDIOBJ* slot = object->kind == GdiObject::Pen     ? &hdc->pen
                    : object->kind == GdiObject::Brush ? &hdc->brush
                                                       : nullptr;
    if (!slot) return nullptr;
    HGDIOBJ previous = *slot;
    select(*slot, object);
    return previous;
}

bool DeleteObject(HGDIOBJ object) {
    if (!validObject(object)) return false;
    if (object->stock) return true;
    if (object->selections > 0) return false;
    objects().live.erase(object);
    delete object;
    return true;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    GdiObject region;
    region.kind = GdiObject::Region;
    region.rect = RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                       std::max(top, bottom)};
    return make(region);
}

bool PtInRegion(HRGN region, int x, int y) {
    RECT r;
    if (!regionRect(region, r)) return false;
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

int GdiObjectCount() {
    return int(objects().live.size());
}

int DeviceContextCount() {
    return int(objects().contexts.size());
}

// ---- drawing ----------------------------------------------------------------------

bool Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    TopWindow* w = target(hdc);
    if (!w) return false;
    RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right),
           std::max(top, bottom)};
    const GdiObject& pen = *hdc->pen;
    const GdiObject& brush = *hdc->brush;
    int edge = pen.drawsNothing ? 0 : pen.width;
    if (!brush.drawsNothing) {
        RECT inside{r.left + edge, r.top + edge, r.right - std::max(edge, 1),
                    r.bottom - std::max(edge, 1)};
        fillClipped(*w, hdc->clip, inside, brush.colour);
    }
    if (edge == 0) return true;
    const RECT edges[4] = {
        {r.left, r.top, r.right, r.top + edge},
        {r.left, r.bottom - edge, r.right, r.bottom},
        {r.left, r.top, r.left + edge, r.bottom},
        {r.right - edge, r.top, r.right, r.bottom},
    };
    for (const RECT& e : edges)
        fillClipped(*w, hdc->clip, e, pen.colour);
    return true;
}

int DrawText(HDC hdc, const char* text, int count, RECT* rect, unsigned format) {
    TopWindow* w = target(hdc);
    if (!w || !text || !rect) return 0;
    if (count < 0) count = int(std::strlen(text));
    RECT clip = hdc->clip;
    if (!(format & DT_NOCLIP) && !intersect(*rect, hdc->clip, clip)) clip = RECT{};
    drawTextAt(*w, clip, rect->left, rect->top, text, count, RGB(0, 0, 0), RGB(255, 255, 255));
    return measureText(text, count).height;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    TopWindow* w = target(hdc);
    if (!w) return CLR_INVALID;
    SDL_Surface* surface = SDL_GetWindowSurface(w->sdl);
    int sx = x - w->visibleLeft, sy = y - w->visibleTop;
    if (!surface || sx < 0 || sy < 0 || sx >= surface->w || sy >= surface->h) return CLR_INVALID;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return CLR_INVALID;
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + sy * surface->pitch;
    const Uint8* p = row + sx * surface->format->BytesPerPixel;
    Uint32 pixel = 0;
    std::memcpy(&pixel, p, surface->format->BytesPerPixel);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    return RGB(r, g, b);
}

} // namespace win
