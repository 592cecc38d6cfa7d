// Extra top-level windows: painting into them, the pending update and its
// WM_PAINT, pens and regions.
#include "platform/win.h"

#include "../support/test_window.h"

#include <gtest/gtest.h>

#include <vector>

using namespace win;

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF RED = RGB(255, 0, 0);

std::vector<HWND> g_paints;

LRESULT recordingProc(HWND hwnd, unsigned message, WPARAM, LPARAM) {
    if (message == WM_PAINT) g_paints.push_back(hwnd);
    return 0;
}

// A shown 100 x 60 (client 98 x 41) window of a white-brush class.
class PaintWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ZEB_REQUIRE_VIDEO();
        ASSERT_TRUE(RegisterClass("paint_test", recordingProc, GetStockObject(WHITE_BRUSH)));
        hwnd = CreateWindowEx(WS_EX_TOOLWINDOW, "paint_test", "test", WS_OVERLAPPED, 300, 300, 100,
                              60);
        ASSERT_NE(hwnd, nullptr);
        ShowWindow(hwnd, SW_SHOW);
        g_paints.clear();
    }
    void TearDown() override {
        if (hwnd) DestroyWindow(hwnd);
        UnregisterClass("paint_test");
        SetSystemEvents(true);
        FlushMessages();
    }
    // The windows WM_PAINT is handed out to while no other message waits.
    std::vector<HWND> paintsHandedOut(int limit) {
        std::vector<HWND> got;
        MSG msg;
        SetSystemEvents(false);
        while (int(got.size()) < limit && PeekMessage(msg))
            if (msg.message == WM_PAINT) got.push_back(msg.hwnd);
        return got;
    }
    HWND hwnd = nullptr;
};

TEST_F(PaintWindow, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    RECT client;
    ASSERT_TRUE(GetClientRect(hwnd, client));
    EXPECT_EQ(client.right, 98);
    EXPECT_EQ(client.bottom, 41);
    EXPECT_EQ(testsupport::pixelOf(hwnd, 0, 0), WHITE)
        << "a shown window is cleared with its class brush";

    HDC dc = GetDC(hwnd);
    HPEN red = CreatePen(PS_SOLID, 1, RED);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    HGDIOBJ old = SelectObject(dc, red);
    EXPECT_EQ(old, GetStockObject(BLACK_PEN)) << "a new context draws with the black pen";
    EXPECT_TRUE(Rectangle(dc, 10, 10, 20, 15));
    EXPECT_FALSE(DeleteObject(red)) << "a selected pen cannot be deleted";
    struct {
        int x, y;
        COLORREF c;
    } probes[] = {{10, 10, RED},   {19, 14, RED},  {15, 12, BLACK},      {20, 12, WHITE},
                  {15, 15, WHITE}, {9, 10, WHITE}, {200, 5, CLR_INVALID}};
    for (const auto& p : probes)
        EXPECT_EQ(GetPixel(dc, p.x, p.y), p.c) << p.x << "," << p.y;
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
    EXPECT_EQ(GdiObjectCount(), 0);
    EXPECT_EQ(DeviceContextCount(), 0);
}

TEST_F(PaintWindow, AnUpdateBringsOnePaintAndBeginPaintDrawsOnlyInsideIt) {
    ValidateRect(hwnd, nullptr);
    RECT part{40, 0, 98, 41};
    InvalidateRect(hwnd, &part, true);
    PostMessage(hwnd, WM_KEYDOWN, 'A', 0);
    MSG msg;
    SetSystemEvents(false);
    ASSERT_TRUE(PeekMessage(msg));
    EXPECT_EQ(msg.message, unsigned(WM_KEYDOWN)) << "a paint waits for the other messages";
    EXPECT_EQ(paintsHandedOut(3), (std::vector<HWND>(3, hwnd))) << "until the update is painted";

    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, ps);
    EXPECT_EQ(ps.rcPaint.left, 40);
    EXPECT_EQ(ps.rcPaint.right, 98);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Rectangle(dc, 0, 0, 98, 41);
    EXPECT_EQ(GetPixel(dc, 20, 20), WHITE) << "outside the update";
    EXPECT_EQ(GetPixel(dc, 60, 20), BLACK);
    EndPaint(hwnd, ps);
    EXPECT_TRUE(paintsHandedOut(3).empty());

    ShowWindow(hwnd, SW_HIDE);
    InvalidateRect(hwnd, nullptr, false);
    EXPECT_TRUE(paintsHandedOut(3).empty()) << "a hidden window is not painted";
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    EXPECT_EQ(g_paints, std::vector<HWND>{hwnd}) << "showing asks for a paint, sent at once";
}

} // namespace
