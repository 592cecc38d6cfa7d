#include "render/engine.h"

#include "core/log.h"
#include "platform/font_files.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

namespace {

struct FontSpec {
    const char* face;
    int height;
};

// Face names as the game asks for them; fontconfig picks the nearest
// installed face ("Helvectica" is spelt this way on purpose and falls back).
constexpr FontSpec kFonts[] = {
    {"Times New Roman", 24}, {"Courier New", 12}, {"Arial", 24},           {"Book Antiqua", 24},
    {"Book Antiqua", 12},    {"Helvectica", 12},  {"Times New Roman", 10},
};

// Compiles one glyph as a bitmap list: the glyph's 1-bit image placed at its
// bearing, then the raster position advanced by its advance width.
void compileGlyph(FT_Face face, unsigned character, GLuint list) {
    glNewList(list, GL_COMPILE);
    if (FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        int rowBytes = int((bm.width + 7) / 8);
        // glBitmap rows run bottom-up; FreeType's run top-down.
        std::vector<GLubyte> bits(std::size_t(rowBytes) * bm.rows);
        for (unsigned row = 0; row < bm.rows; ++row) {
            const unsigned char* src = bm.buffer + std::ptrdiff_t(row) * bm.pitch;
            GLubyte* dst = bits.data() + std::size_t(bm.rows - 1 - row) * rowBytes;
            for (int b = 0; b < rowBytes; ++b)
                dst[b] = src[b];
        }
        glBitmap(GLsizei(bm.width), GLsizei(bm.rows), GLfloat(-g->bitmap_left),
                 GLfloat(int(bm.rows) - g->bitmap_top), GLfloat(g->advance.x >> 6), 0.0f,
                 bits.empty() ? nullptr : bits.data());
    }
    glEndList();
}

// Fills the 96 lists from base with glyphs 32..127; false when no face could be had.
bool compileFont(const char* family, int height, GLuint base) {
    std::string file;
    int index = 0;
    FT_Library library = win::FreeTypeLibrary();
    if (library == nullptr || !win::FindFontFile(family, height, false, file, index)) return false;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), index, &face) != 0) return false;
    bool ok = FT_Set_Pixel_Sizes(face, 0, FT_UInt(height)) == 0;
    if (ok) {
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        for (int i = 0; i < FONT_GLYPH_COUNT; ++i)
            compileGlyph(face, unsigned(FONT_FIRST_GLYPH + i), base + GLuint(i));
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    }
    FT_Done_Face(face);
    return ok;
}

} // namespace

void Engine::buildFonts() {
    for (const FontSpec& f : kFonts)
        buildFont(f.face, f.height);
}

void Engine::buildFont(const char* face, int height) {
    if (face == nullptr) face = "";
    g_log << "Building font #" << fontCount << ": " << face << ", size " << height << "... ";
    if (fontCount >= MAX_FONTS) {
        g_log << "FAILURE!" << std::endl;
        return;
    }
    GLuint base = glGenLists(FONT_GLYPH_COUNT);
    fontBases[fontCount] = base;
    bool compiled = base != 0 && compileFont(face, height, base);
    g_log << base << std::endl;
    if (!compiled) g_log << "ERROR: No glyphs for font " << face << std::endl;
    ++fontCount;
}
