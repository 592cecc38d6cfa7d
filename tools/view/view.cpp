#include "tools/view/view.h"

#include "platform/win.h"
#include "render/engine.h"
#include "tools/content/image.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

namespace view {
namespace {

constexpr int WINDOW_WIDTH = 1024;
constexpr int WINDOW_HEIGHT = 768;
// Model and skin table entries the viewer loads its one model into: past
// every entry the game uses.
constexpr int VIEW_MODEL = MODEL_TABLE_SIZE - 1;
constexpr int VIEW_SKIN = SKIN_TEXTURE_COUNT - 1;

std::uint32_t stillClock() {
    return 0;
}

void viewState() {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glClearColor(0.22f, 0.24f, 0.28f, 1.0f);
}

// Screen-space text in white at (x, y) from the bottom left of the window.
void label(int x, int y, const std::string& text) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, WINDOW_WIDTH, 0, WINDOW_HEIGHT, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 1.0f);
    g_engine.printText(FONT_COURIER_12, x, y, 0, "%s", text.c_str());
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
}

int modelIndexOf(const Model* model) {
    if (!model || model < g_engine.models || model >= g_engine.models + MODEL_TABLE_SIZE) return -1;
    return int(model - g_engine.models);
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

} // namespace

Bounds poseBounds(const ModelSlot& slot, int frame) {
    Bounds b;
    const FrameMesh* mesh = slot.model ? slot.model->frame(frame) : nullptr;
    if (!mesh) return b;
    for (const Vec3f& v : mesh->vertices) {
        // As drawn: the model's y is up, its z points to -y of the world.
        const double p[3] = {slot.scale * v.x, -slot.scale * v.z, slot.scale * v.y + slot.zOffset};
        for (int k = 0; k < 3; ++k) {
            b.lo[k] = std::min(b.lo[k], p[k]);
            b.hi[k] = std::max(b.hi[k], p[k]);
        }
    }
    return b;
}

void lookAt(const Bounds& box, double aspect, double turn, double zoom) {
    double centre[3], size = 1.0;
    for (int k = 0; k < 3; ++k) {
        centre[k] = box.empty() ? 0.0 : (box.lo[k] + box.hi[k]) / 2;
        if (!box.empty()) size = std::max(size, box.hi[k] - box.lo[k]);
    }
    double distance = size * 1.5 / std::max(zoom, 0.05);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, distance / 100, distance * 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(centre[0] + distance * std::cos(turn), centre[1] + distance * std::sin(turn),
              centre[2] + distance * 0.35, centre[0], centre[1], centre[2], 0.0, 0.0, 1.0);
}

void drawInstance(ModelInstance& instance) {
    instance.position[0] = instance.position[1] = instance.position[2] = 0.0;
    instance.heading = 0.0f;
    glColor3f(1.0f, 1.0f, 1.0f);
    instance.draw();
}

std::vector<SheetCell> sheetCells() {
    std::vector<SheetCell> cells;
    for (int s = 0; s < MODEL_SLOT_COUNT; ++s) {
        int index = modelIndexOf(g_modelSlots[s].model);
        if (index < 0) continue;
        const char* file = modelFileName(index);
        std::string name = file ? std::filesystem::path(file).stem().string() : "?";
        cells.push_back({s, std::to_string(s) + " " + name});
    }
    return cells;
}

SheetLayout layoutFor(int cellCount) {
    SheetLayout layout;
    layout.rows = std::max(1, (cellCount + layout.columns - 1) / layout.columns);
    return layout;
}

bool writeContactSheet(const std::string& path, std::string& error) {
    for (int i = 0; i < MODEL_TABLE_SIZE; ++i) {
        const char* file = modelFileName(i);
        if (file && !std::filesystem::exists(std::string("Data/models/") + file)) {
            error = std::string("Data/models/") + file +
                    " is missing: run zeb-view --sheet in the game's directory";
            return false;
        }
    }
    if (g_engine.fontCount == 0) g_engine.buildFonts();
    g_engine.loadModels();
    setupModelSlots();
    std::vector<SheetCell> cells = sheetCells();
    SheetLayout layout = layoutFor(int(cells.size()));
    content::Image sheet(layout.width(), layout.height());
    const int rowsPerPage = WINDOW_HEIGHT / layout.cell;

    setAnimationClock(stillClock);
    viewState();
    for (int firstRow = 0; firstRow < layout.rows; firstRow += rowsPerPage) {
        glViewport(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        int rows = std::min(rowsPerPage, layout.rows - firstRow);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < layout.columns; ++c) {
                std::size_t n = std::size_t((firstRow + r) * layout.columns + c);
                if (n >= cells.size()) break;
                const ModelSlot& slot = g_modelSlots[cells[n].slot];
                int x = c * layout.cell, y = WINDOW_HEIGHT - (r + 1) * layout.cell;
                glViewport(x, y, layout.cell, layout.cell);
                ModelInstance pose;
                pose.slot = &slot;
                pose.setAnimation(slot.idleAnimation);
                const ModelAnimation* idle = slot.model->animation(slot.idleAnimation);
                lookAt(poseBounds(slot, idle ? idle->startFrame : 0), 1.0, 0.5, 1.0);
                drawInstance(pose);
                glViewport(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
                label(x + 3, y + 4, cells[n].label);
            }
        std::vector<std::uint8_t> pixels(std::size_t(WINDOW_WIDTH) * WINDOW_HEIGHT * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        win::SwapBuffers();
        // GL rows run bottom up; the sheet's top down.
        for (int r = 0; r < rows * layout.cell; ++r) {
            const std::uint8_t* src =
                &pixels[std::size_t(WINDOW_HEIGHT - 1 - r) * WINDOW_WIDTH * 3];
            std::uint8_t* dst =
                &sheet.pixels[std::size_t(firstRow * layout.cell + r) * sheet.width * 3];
            std::copy(src, src + std::size_t(layout.width()) * 3, dst);
        }
    }
    setAnimationClock(nullptr);
    if (!writeFile(path, content::encodeBmp(sheet))) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

void Viewer::showAnimation(int index) {
    int count = std::max(slot.animationCount, 1);
    instance.setAnimation(((index % count) + count) % count);
    instance.lastTime = float(animationTime());
}

bool Viewer::key(int vk) {
    switch (vk) {
    case win::VK_ESCAPE:
        return false;
    case win::VK_RIGHT:
        showAnimation(instance.animation + 1);
        break;
    case win::VK_LEFT:
        showAnimation(instance.animation - 1);
        break;
    case win::VK_UP:
        zoom *= 1.15;
        break;
    case win::VK_DOWN:
        zoom /= 1.15;
        break;
    case 'A':
        turn -= 0.2;
        break;
    case 'D':
        turn += 0.2;
        break;
    case win::VK_SPACE:
        turning = !turning;
        break;
    default:
        break;
    }
    return true;
}

void Viewer::draw() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    lookAt(box, double(WINDOW_WIDTH) / WINDOW_HEIGHT, turn, zoom);
    drawInstance(instance);
    const ModelAnimation* a = slot.model->animation(instance.animation);
    char line[160];
    std::snprintf(line, sizeof line, "animation %d of %d: %s, frames %d to %d, showing %d",
                  instance.animation, slot.animationCount, a ? a->name.c_str() : "-",
                  a ? a->startFrame : 0, a ? a->endFrame - 1 : 0, instance.frame);
    label(10, WINDOW_HEIGHT - 20, title);
    label(10, WINDOW_HEIGHT - 36, line);
    label(10, 10, "Left/Right animation   Up/Down zoom   A/D turn   Space stop turning   Esc quit");
}

bool Viewer::open(const std::string& modelFile, const std::string& skinFile) {
    Md2Loader loader;
    if (loader.load(g_engine.models[VIEW_MODEL], modelFile) != Md2Result::Loaded) return false;
    if (!skinFile.empty())
        g_engine.skinTextures[VIEW_SKIN] =
            g_engine.loadTexture(skinFile.c_str(), GL_REPEAT, GL_LINEAR, GL_RGB, false);
    slot.setup(VIEW_MODEL, VIEW_SKIN);
    slot.scale = 1.0f;
    instance.slot = &slot;
    showAnimation(slot.idleAnimation);
    const ModelAnimation* idle = slot.model->animation(slot.idleAnimation);
    box = poseBounds(slot, idle ? idle->startFrame : 0);
    title = modelFile + (skinFile.empty() ? std::string(" (no skin)") : "  skin " + skinFile);
    if (g_engine.fontCount == 0) g_engine.buildFonts();
    viewState();
    return true;
}

// Keys are taken from the messages in the order they came; the game's
// input state is not involved.
bool Viewer::step() {
    win::MSG msg;
    while (win::PeekMessage(msg)) {
        if (msg.message == win::WM_QUIT) return false;
        if (msg.message == win::WM_KEYDOWN && !key(int(msg.wParam))) return false;
        win::TranslateMessage(msg);
        win::DispatchMessage(msg);
    }
    if (turning) turn += 0.005;
    draw();
    win::SwapBuffers();
    return true;
}

int runViewer(const std::string& modelFile, const std::string& skinFile) {
    static Viewer viewer; // lives as long as the engine's tables that point into it
    if (!viewer.open(modelFile, skinFile)) return 1;
    while (viewer.step())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return 0;
}

} // namespace view
