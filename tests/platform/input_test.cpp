// Mouse messages of the platform layer from SDL events; where the pointer is
// after a warp or a click is read in the walking play-through.
#include "platform/win.h"
#include "tests/support/sdl_events.h"
#include "tests/support/test_window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

using namespace win;

namespace {

LRESULT quietProc(HWND, unsigned, WPARAM, LPARAM) {
    return 0;
}

class PointerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ZEB_REQUIRE_VIDEO();
        ASSERT_TRUE(RegisterClass("PointerTest", quietProc));
        window = static_cast<SDL_Window*>(CreateWindow("PointerTest", "t", 0, 0, 320, 240, false));
        ASSERT_NE(window, nullptr);
        ShowWindow(MainWindow());
        FlushMessages();
    }
    void TearDown() override {
        if (window) DestroyWindow(MainWindow());
        UnregisterClass("PointerTest");
        FlushMessages();
    }
    void motion(int x, int y) { testsupport::pushMotion(window, x, y); }
    // The mouse messages waiting, in order (window messages left out).
    std::vector<MSG> mouseMessages() {
        std::vector<MSG> out;
        MSG m;
        while (PeekMessage(m))
            if (m.message >= WM_MOUSEMOVE && m.message <= WM_MOUSEWHEEL) out.push_back(m);
        return out;
    }
    SDL_Window* window = nullptr;
};

TEST_F(PointerTest, MovesMergeIntoTheLatestButNeverPassAClick) {
    for (int i = 0; i < 20; ++i)
        motion(10 + i, 20 + i);
    testsupport::pushButton(window, SDL_BUTTON_LEFT, true, 50, 60);
    motion(70, 80);
    motion(71, 81);
    std::vector<MSG> got = mouseMessages();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].message, unsigned(WM_MOUSEMOVE));
    EXPECT_EQ(got[0].lParam, MAKELPARAM(29, 39));
    EXPECT_EQ(got[1].message, unsigned(WM_LBUTTONDOWN));
    EXPECT_EQ(got[1].lParam, MAKELPARAM(50, 60));
    EXPECT_EQ(got[2].message, unsigned(WM_MOUSEMOVE));
    EXPECT_EQ(got[2].lParam, MAKELPARAM(71, 81));
}

} // namespace
