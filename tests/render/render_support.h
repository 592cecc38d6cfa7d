// Helpers for the render tests: a scratch working directory and pixel read-back.
#pragma once

#include "core/settings.h"

#include "../support/log_capture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace rendertest {

using testsupport::LogCapture;

// A fresh working directory (the game opens its data relative to it).
class ScratchDir {
  public:
    ScratchDir() : old_(std::filesystem::current_path()) {
        dir_ = std::filesystem::path(ZEB_BUILD_DIR) / ("render_data_" + testsupport::testName());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "Data");
        std::filesystem::current_path(dir_);
    }
    ~ScratchDir() {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    // Creates the folders of a relative path and returns the path.
    std::string file(const std::string& relative) {
        std::filesystem::create_directories((dir_ / relative).parent_path());
        return (dir_ / relative).string();
    }

  private:
    std::filesystem::path old_, dir_;
};

struct Rgb {
    float r, g, b;
};

inline Rgb readPixel(int x, int y) {
    float p[3] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_FLOAT, p);
    return {p[0], p[1], p[2]};
}

// Count of pixels in a rectangle whose colour is not black.
inline int litPixels(int x, int y, int w, int h) {
    std::vector<unsigned char> px(std::size_t(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, w, h, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    int n = 0;
    for (std::size_t i = 0; i < px.size(); i += 3)
        n += (px[i] | px[i + 1] | px[i + 2]) != 0;
    return n;
}

inline void clearFrame() {
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A square 90-degree view from (ex, ey, ez) towards (cx, cy, cz), z up.
inline void viewFrom(double ex, double ey, double ez, double cx, double cy, double cz, double far) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 1.0, far);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(ex, ey, ez, cx, cy, cz, 0, 0, 1);
}

} // namespace rendertest
