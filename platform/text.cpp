// Text of the extra windows in the system font: a bold sans-serif face,
// rendered one-bit so that a glyph's pixels are the text colour or untouched.
#include "platform/font_files.h"
#include "platform/top_window.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace win::detail {

namespace {

constexpr const char* SYSTEM_FONT_FAMILY = "sans-serif";
constexpr int SYSTEM_FONT_PIXELS = 13;

struct SystemFont {
    FT_Face face = nullptr;
    int ascent = 0;
    int lineHeight = 16;
};

// Opened on first use and kept for the run; without a face, text is only
// its background.
const SystemFont& systemFont() {
    static SystemFont font;
    static bool tried = false;
    if (tried) return font;
    tried = true;
    std::string file;
    int index = 0;
    FT_Library library = FreeTypeLibrary();
    if (!library || !FindFontFile(SYSTEM_FONT_FAMILY, SYSTEM_FONT_PIXELS, true, file, index))
        return font;
    if (FT_New_Face(library, file.c_str(), index, &font.face) != 0) {
        font.face = nullptr;
        return font;
    }
    if (FT_Set_Pixel_Sizes(font.face, 0, SYSTEM_FONT_PIXELS) != 0) {
        FT_Done_Face(font.face);
        font.face = nullptr;
        return font;
    }
    const FT_Size_Metrics& m = font.face->size->metrics;
    font.ascent = int(m.ascender >> 6);
    font.lineHeight = int((m.ascender - m.descender) >> 6);
    return font;
}

bool loadGlyph(FT_Face face, unsigned char c) {
    return FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0;
}

// Fills the set bits of one glyph row as runs of the text colour.
void drawGlyphRow(TopWindow& w, const RECT& clip, const unsigned char* bits, int width, int x,
                  int y, COLORREF colour) {
    int column = 0;
    while (column < width) {
        auto set = [&](int c) { return (bits[c >> 3] & (0x80 >> (c & 7))) != 0; };
        if (!set(column)) {
            ++column;
            continue;
        }
        int start = column;
        while (column < width && set(column))
            ++column;
        RECT run{x + start, y, x + column, y + 1}, area;
        if (intersect(run, clip, area)) fillClient(w, area, colour);
    }
}

} // namespace

TextExtent measureText(const char* text, int count) {
    const SystemFont& font = systemFont();
    TextExtent extent;
    extent.height = font.lineHeight;
    if (!font.face) return extent;
    for (int i = 0; i < count; ++i)
        if (loadGlyph(font.face, static_cast<unsigned char>(text[i])))
            extent.width += int(font.face->glyph->advance.x >> 6);
    return extent;
}

void drawTextAt(TopWindow& w, const RECT& clip, int x, int y, const char* text, int count,
                COLORREF colour, COLORREF background) {
    const SystemFont& font = systemFont();
    TextExtent extent = measureText(text, count);
    RECT cell{x, y, x + extent.width, y + extent.height}, area;
    if (background != CLR_INVALID && intersect(cell, clip, area)) fillClient(w, area, background);
    if (!font.face) return;
    int penX = x;
    for (int i = 0; i < count; ++i) {
        if (!loadGlyph(font.face, static_cast<unsigned char>(text[i]))) continue;
        const FT_GlyphSlot g = font.face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        int top = y + font.ascent - g->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row)
            drawGlyphRow(w, clip, bm.buffer + std::ptrdiff_t(row) * bm.pitch, int(bm.width),
                         penX + g->bitmap_left, top + int(row), colour);
        penX += int(g->advance.x >> 6);
    }
}

} // namespace win::detail
