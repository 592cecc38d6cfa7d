// The pointer and mouse messages of the platform layer, fed with SDL events
// as the display would send them.
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
        SDL_GetWindowPosition(window, &left, &top);
        FlushMessages();
    }
    void TearDown() override {
        if (window) DestroyWindow(MainWindow());
        UnregisterClass("PointerTest");
        FlushMessages();
    }
    void motion(int x, int y) { testsupport::pushMotion(window, x, y); }
    void press(int x, int y) { testsupport::pushButton(window, SDL_BUTTON_LEFT, true, x, y); }
    // The mouse messages waiting, in order (window messages left out).
    std::vector<MSG> mouseMessages() {
        std::vector<MSG> out;
        MSG m;
        while (PeekMessage(m))
            if (m.message >= WM_MOUSEMOVE && m.message <= WM_MOUSEWHEEL) out.push_back(m);
        return out;
    }
    POINT cursor() {
        POINT p;
        EXPECT_TRUE(GetCursorPos(p));
        return p;
    }
    SDL_Window* window = nullptr;
    int left = 0, top = 0;
};

TEST_F(PointerTest, CursorIsWhereTheLastWarpMotionOrClickPutIt) {
    // A warp is seen at once, before its own motion event arrives.
    ASSERT_TRUE(SetCursorPos(left + 40, top + 30));
    EXPECT_EQ(cursor().x, left + 40);
    EXPECT_EQ(cursor().y, top + 30);
    // Motions in client coordinates come back in screen coordinates.
    mouseMessages();
    motion(100, 50);
    motion(120, 70);
    mouseMessages();
    EXPECT_EQ(cursor().x, left + 120);
    EXPECT_EQ(cursor().y, top + 70);
    // A press carries its own point, with no motion before it.
    press(200, 150);
    mouseMessages();
    EXPECT_EQ(cursor().x, left + 200);
    EXPECT_EQ(cursor().y, top + 150);
}

TEST_F(PointerTest, MovesMergeIntoTheLatestButNeverPassAClick) {
    for (int i = 0; i < 20; ++i)
        motion(10 + i, 20 + i);
    press(50, 60);
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

// A quick second press (SDL's click count 2) is a plain button down: the
// double click of the walking play-through puts two click markers.

} // namespace
