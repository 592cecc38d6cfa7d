#include "render/engine.h"
#include "render/screen.h"

#include "core/frame_state.h"
#include "core/log.h"
#include "core/settings.h"
#include "platform/win.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr int LINE_HEIGHT = 12;

} // namespace

void Engine::drawString(int font, const char* text) {
    if (text == nullptr || font < 0 || font >= fontCount) return;
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontBases[font] - FONT_FIRST_GLYPH);
    // Only characters 32..127 have glyphs; any other byte would reach another
    // font's lists, so it is left out.
    unsigned char glyphs[PRINT_BUFFER_SIZE];
    int count = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p < FONT_FIRST_GLYPH || *p >= FONT_FIRST_GLYPH + FONT_GLYPH_COUNT) continue;
        glyphs[count++] = *p;
        if (count == PRINT_BUFFER_SIZE) {
            glCallLists(count, GL_UNSIGNED_BYTE, glyphs);
            count = 0;
        }
    }
    if (count > 0) glCallLists(count, GL_UNSIGNED_BYTE, glyphs);
    glPopAttrib();
}

void Engine::printText(int font, int x, int y, int z, const char* format, ...) {
    if (format == nullptr) return;
    char buffer[PRINT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    glRasterPos3i(x, y, z);
    drawString(font, buffer);
}

void Engine::addFloatText(const char* text, int x, int y, int z) {
    if (!showFloatTexts) {
        floatTextCount = 0;
        return;
    }
    if (floatTextCount >= MAX_FLOAT_TEXTS) {
        g_log << "Too many floattexts!" << std::endl;
        floatTextCount = MAX_FLOAT_TEXTS;
        return;
    }
    glGetDoublev(GL_MODELVIEW_MATRIX, g_frame.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, g_frame.projection);
    glGetIntegerv(GL_VIEWPORT, g_frame.viewport);
    double wx = 0, wy = 0, wz = 0;
    if (gluProject(x, y, z, g_frame.modelview, g_frame.projection, g_frame.viewport, &wx, &wy,
                   &wz) != GL_TRUE)
        return;
    // Beyond the far plane or behind the eye.
    if (wz > 1.0) return;
    if (text == nullptr) text = "";
    int halfWidth =
        glutBitmapLength(GLUT_BITMAP_TIMES_ROMAN_10, reinterpret_cast<const unsigned char*>(text)) /
        2;
    FloatText& entry = floatTexts[floatTextCount++];
    entry.x = int(wx - halfWidth);
    entry.y = int(wy);
    entry.z = int(wz);
    std::snprintf(entry.text, sizeof entry.text, "%s", text);
}

void Engine::drawFloatTexts() {
    for (int i = 0; i < floatTextCount; ++i) {
        glRasterPos3i(floatTexts[i].x, floatTexts[i].y, floatTexts[i].z);
        drawString(FONT_TIMES_10, floatTexts[i].text);
    }
    floatTextCount = 0;
}

void (*g_statusListener)(const char* line) = nullptr;

void Engine::postStatus(const char* format, ...) {
    if (format == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(statusLine, sizeof statusLine, format, args);
    va_end(args);
    statusTimer = STATUS_LINE_TIME;
    if (g_statusListener) g_statusListener(statusLine);
}

void Engine::drawStatus() {
    if (statusTimer <= 0.0f) return;
    printText(FONT_ARIAL_24, 100, g_settings.screenHeight - 500, 1, "%s", statusLine);
    statusTimer -= float(g_settings.timeFactor);
}

// ---- loading bar -------------------------------------------------------------

void Engine::setLoadingBar(int x, int y, int width, int height, int value, int maximum) {
    loadingBar = LoadingBar{x, y, width, height, value, maximum, true, 0};
}

void Engine::hideLoadingBar() {
    loadingBar.visible = false;
}

// A present copies the whole window to the X server, which the software GL
// does far more slowly than the build takes for a step; a step that comes
// soon after the last one presented only moves the bar, and the next one
// presented shows it as far as it has come.
void Engine::stepLoadingBar() {
    ++loadingBar.value;
    const std::uint32_t now = win::GetTickCount();
    const bool last = loadingBar.value >= loadingBar.maximum;
    if (loadingBar.shownAt != 0 && now - loadingBar.shownAt < LOADING_BAR_INTERVAL_MS && !last)
        return;
    loadingBar.shownAt = now == 0 ? 1 : now;
    drawOverlay();
    presentAndClear();
}

namespace {

void rectangle(GLenum mode, int x0, int y0, int x1, int y1, int z) {
    glBegin(mode);
    glVertex3i(x0, y0, z);
    glVertex3i(x0, y1, z);
    glVertex3i(x1, y1, z);
    glVertex3i(x1, y0, z);
    glEnd();
}

// Filled part of a bar of the given length for value out of maximum, kept
// inside the bar (an empty or overfull bar never draws outside its outline).
int filledLength(int length, int value, int maximum) {
    if (maximum <= 0 || value <= 0) return 0;
    if (value >= maximum) return length;
    return int((long long)length * value / maximum);
}

} // namespace

void Engine::drawLoadingBar() {
    const LoadingBar& b = loadingBar;
    glColor3f(0.65f, 0.0f, 0.0f);
    rectangle(GL_LINE_LOOP, b.x, b.y, b.x + b.width, b.y + b.height, -1);
    glColor3f(0.8f, 0.6f, 0.0f);
    rectangle(GL_POLYGON, b.x, b.y, b.x + filledLength(b.width, b.value, b.maximum), b.y + b.height,
              -1);
    glColor3f(0.65f, 0.0f, 0.0f);
    rectangle(GL_LINE_LOOP, b.x, b.y, b.x + b.width, b.y + b.height, -1);
}

// ---- status bars ----------------------------------------------------------------

void Engine::drawStatusBars() {
    glColor3f(1.0f, 0.75f, 0.0f);
    rectangle(GL_LINE_LOOP, 680, 665, 1010, 760, 0);
    struct Bar {
        int y;
        int value;
        float r, g, b;
    };
    const Bar bars[3] = {
        {675, statusBarValues[2], 0.0f, 1.0f, 0.0f},
        {705, statusBarValues[1], 0.0f, 0.0f, 1.0f},
        {735, statusBarValues[0], 1.0f, 0.0f, 0.0f},
    };
    for (const Bar& bar : bars) {
        glColor3f(bar.r, bar.g, bar.b);
        rectangle(GL_LINE_LOOP, 690, bar.y, 690 + statusBarMaximum, bar.y + 15, 0);
        int fill = bar.value < 0 ? 0 : bar.value;
        if (fill > 0) rectangle(GL_POLYGON, 691, bar.y, 691 + fill, bar.y + 15, 0);
    }
}

// ---- debug read-outs and key list ---------------------------------------------

namespace {

// Prints successive lines with font 1 at x 0, each 12 pixels below the last.
struct LineWriter {
    Engine& engine;
    int y;
    void line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char buffer[PRINT_BUFFER_SIZE];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        engine.printText(FONT_COURIER_12, 0, y, 1, "%s", buffer);
        y -= LINE_HEIGHT;
    }
    void gap() { y -= LINE_HEIGHT; }
};

constexpr const char* kStandardAnimNames[5] = {"Idle", "Walk", "Pain", "Attack", "Death"};

constexpr const char* kKeyLines[] = {
    "Keys:",
    "Quit:               Escape",
    "Toggle keylist:     K",
    "Cycle detail level: 0 (Zero)",
    "Zoom camera in:     Scroll up, or P",
    "Zoom camera out:    Scroll down, or O",
    "Game screens:       I",
    "",
    "Debug keys:",
    "Toggle freemove:    Q",
    "Toggle fog:         F",
    "Toggle light:       L",
    "Toggle multitex:    M",
    "Toggle walkmap:     C",
    "Toggle camera:      G",
    "Toggle location:    T",
    "Toggle floattext:   H",
    "Increment anim num: Z",
    "Decrement anim num: X",
    "Spawn particle:     1 (one)",
    "Spawn projectile:   2 (one)",
};

constexpr const char* kFreeMoveKeyLines[] = {
    "Look around:                    Left mouse button",
    "Move up/down, left/right:       Right mouse button",
    "Move forward/back, left/right:  Both mouse buttons",
};

} // namespace

void Engine::drawDebugInfo() {
    const DebugReadout& d = debugReadout;
    LineWriter out{*this, g_settings.screenHeight - LINE_HEIGHT};
    out.line("     FPS: %.2f", g_settings.fps);
    out.line("Avg. FPS: %.2f", g_settings.avgFps);
    out.line("Max. FPS: %.2f", g_settings.maxFps);
    out.line("Min. FPS: %.2f", g_settings.minFps);
    out.gap();
    out.line("Hits:              %i", d.hits);
    out.line("Hit object type:   %i", d.hitType);
    out.line("Hit object ID:     %i", d.hitId);
    out.line("Player anim num:   %i", d.animNumber);
    out.line("Player anim str:   %s", d.animName ? d.animName : "");
    out.line("Player anim max:   %i", d.animCount);
    for (int i = 0; i < 5; ++i) {
        const char* marker = d.animNumber == d.standardAnims[i] ? "-->" : "   ";
        out.line("%s %s", marker, kStandardAnimNames[i]);
    }
}

void Engine::drawKeyList(int top) {
    LineWriter out{*this, top - LINE_HEIGHT};
    for (const char* text : kKeyLines)
        out.line("%s", text);
    if (g_settings.testFlag(FLAG_FREEMOVE))
        for (const char* text : kFreeMoveKeyLines)
            out.line("%s", text);
}

// ---- the overlay pass -------------------------------------------------------------

namespace {

// Height taken by the debug read-out block, from the first line's top slot.
constexpr int DEBUG_BLOCK_HEIGHT = 204;

} // namespace

void Engine::drawOverlay() {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    if (fogEnabled) glDisable(GL_FOG);
    beginScreenSpace();
    glColor3f(0.0f, 1.0f, 0.0f);

    if (g_settings.testFlag(FLAG_INIT_PENDING)) {
        glEnable(GL_TEXTURE_2D);
        glColor3f(1.0f, 1.0f, 1.0f);
        drawSplashPicture(splashTextures[1]);
        glDisable(GL_TEXTURE_2D);
        glColor3f(0.0f, 1.0f, 0.0f);
    } else {
        int top = g_settings.screenHeight - LINE_HEIGHT;
        if (g_settings.showDebugInfo) {
            if (!g_settings.testFlag(FLAG_FREEMOVE))
                printText(FONT_COURIER_12, 600, g_settings.screenHeight - 12, -1,
                          "Press 'Q' to enter freemove mode.");
            drawDebugInfo();
            top = g_settings.screenHeight - DEBUG_BLOCK_HEIGHT;
        }
        if (showKeyList) drawKeyList(top);
        drawFloatTexts();
        drawStatus();
    }
    if (loadingBar.visible) drawLoadingBar();
    if (!g_settings.testFlag(FLAG_INIT_PENDING)) drawStatusBars();

    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    if (fogEnabled) glEnable(GL_FOG);
}
