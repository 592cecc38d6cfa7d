// The window, its message boxes, the window procedure and the main loop, on
// the test display.
#include "app/input.h"
#include "app/mainloop.h"
#include "app/window.h"
#include "core/settings.h"
#include "tests/support/test_window.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace win;

namespace {

// The boxes shown, each as (text, title, style), to compare whole.
using Box = std::tuple<std::string, std::string, unsigned>;
std::vector<Box> shown(const testsupport::BoxRecorder& boxes) {
    std::vector<Box> all;
    for (const MessageBoxRecord& r : boxes.shown)
        all.emplace_back(r.text, r.title, r.style);
    return all;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ZEB_REQUIRE_VIDEO();
        testsupport::initGlutOnce();
        ClearFailures();
        g_input.reset();
        g_settings.reset();
        g_engine.fullscreen = false;
    }
    void TearDown() override {
        ClearFailures();
        closeGLWindow();
        FlushMessages();
        g_settings.reset();
    }
};

TEST_F(WindowTest, RefusedFullscreenAskedAndDeclinedClosesTheProgramAndAcceptedGoesWindowed) {
    testsupport::BoxRecorder boxes;
    boxes.answer = IDNO;
    FailStep(Step::DisplayMode, true);
    EXPECT_FALSE(openGLWindow("Zeb", 1024, 768, 16, true));
    EXPECT_EQ(shown(boxes),
              (std::vector<Box>{{"The Requested Fullscreen Mode Is Not Supported By\n"
                                 "Your Video Card. Use Windowed Mode Instead?",
                                 "Orlo GL", MB_YESNO | MB_ICONEXCLAMATION},
                                {"Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP}}));
    EXPECT_EQ(MainWindow(), nullptr);

    boxes.shown.clear();
    boxes.answer = IDYES;
    ASSERT_TRUE(openGLWindow("Zeb", 1024, 768, 16, true));
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(g_engine.fullscreen);
    EXPECT_NE(MainWindow(), nullptr);
}

TEST_F(WindowTest, EachCreationFailureShowsItsBoxAndReleasesWhatWasMade) {
    struct Case {
        Step step;
        const char* text;
    };
    const Case cases[] = {
        {Step::RegisterClass, "Failed To Register The Window Class."},
        {Step::CreateWindow, "Window Creation Error."},
        {Step::GetDC, "Can't Create A GL Device Context."},
        {Step::ChoosePixelFormat, "Can't Find A Suitable PixelFormat."},
        {Step::SetPixelFormat, "Can't Set The PixelFormat."},
        {Step::CreateContext, "Can't Create A GL Rendering Context."},
        {Step::MakeCurrent, "Can't Activate The GL Rendering Context."},
    };
    for (const Case& c : cases) {
        testsupport::BoxRecorder boxes;
        ClearFailures();
        FailStep(c.step, true);
        EXPECT_FALSE(openGLWindow("Zeb", 1024, 768, 16, false)) << c.text;
        EXPECT_EQ(shown(boxes), (std::vector<Box>{{c.text, "ERROR", MB_OK | MB_ICONEXCLAMATION}}));
        EXPECT_EQ(MainWindow(), nullptr) << c.text;
        EXPECT_FALSE(HasContext()) << c.text;
        // Everything was released: the next attempt can register the class again.
        ClearFailures();
        ASSERT_TRUE(openGLWindow("Zeb", 1024, 768, 16, false)) << c.text;
        closeGLWindow();
    }
}

TEST_F(WindowTest, ReleaseFailuresAreReportedAndTheReleaseGoesOn) {
    ASSERT_TRUE(openGLWindow("Zeb", 1024, 768, 16, false));
    testsupport::BoxRecorder boxes;
    FailStep(Step::ReleaseDC, true);
    FailStep(Step::DeleteContext, true);
    closeGLWindow();
    const unsigned info = MB_OK | MB_ICONINFORMATION;
    EXPECT_EQ(shown(boxes),
              (std::vector<Box>{{"Release Rendering Context Failed.", "SHUTDOWN ERROR", info},
                                {"Release Device Context Failed.", "SHUTDOWN ERROR", info}}));
    EXPECT_EQ(MainWindow(), nullptr) << "the window is destroyed all the same";
    ClearFailures();
    // A second release with nothing held shows nothing.
    closeGLWindow();
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(WindowTest, ShowErrorBoxClosesTheWindowFirst) {
    ASSERT_TRUE(openGLWindow("Zeb", 1024, 768, 16, false));
    bool windowGoneWhenShown = false;
    SetMessageBoxAnswerer([&](const MessageBoxRecord& r) {
        windowGoneWhenShown = MainWindow() == nullptr && r.title == "ERROR" &&
                              r.style == unsigned(MB_OK | MB_ICONEXCLAMATION);
        return IDOK;
    });
    EXPECT_FALSE(showErrorBox("Something failed."));
    SetMessageBoxAnswerer(nullptr);
    EXPECT_TRUE(windowGoneWhenShown);
}

class LoopTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(openGLWindow("Zeb", 1024, 768, 16, false));
        FlushMessages();
        g_settings.clearFlag(FLAG_INIT_PENDING);
        g_loop = MainLoop{};
        // Only the messages the test posts: focus and expose events of the
        // test display must not reactivate the window behind its back.
        SetSystemEvents(false);
    }
    void TearDown() override {
        SetSystemEvents(true);
        WindowTest::TearDown();
    }
};

// The log's last line and the exit status are read in the whole-game play-through.
TEST_F(LoopTest, QuitKeyDrawsNothingMoreAndTheCloseBoxEndsAfterTheFrame) {
    runPass();
    EXPECT_EQ(g_loop.framesDrawn, 1);
    PostMessage(MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    runPass(); // the key arrives and fires: the flag is set during this pass
    EXPECT_TRUE(g_settings.testFlag(FLAG_QUIT));
    long drawn = g_loop.framesDrawn;
    runMainLoop();
    EXPECT_EQ(g_loop.framesDrawn, drawn);
    EXPECT_TRUE(g_loop.done);

    g_loop = MainLoop{};
    g_settings.clearFlag(FLAG_QUIT);
    PostMessage(MainWindow(), WM_CLOSE, 0, 0);
    runPass(); // WM_CLOSE -> PostQuitMessage
    EXPECT_FALSE(g_loop.done);
    drawn = g_loop.framesDrawn;
    runPass(); // WM_QUIT: the pass finishes its frame, then the loop ends
    EXPECT_TRUE(g_loop.done);
    EXPECT_EQ(g_loop.framesDrawn, drawn + 1);
    EXPECT_EQ(g_loop.msg.message, unsigned(WM_QUIT));
}

TEST_F(LoopTest, MinimisedWindowRunsNoPassAndTheClockStands) {
    runPass();
    int total = g_settings.totalTime;
    long drawn = g_loop.framesDrawn;
    std::uint32_t before = g_settings.flags;
    PostMessage(MainWindow(), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
    for (int i = 0; i < 5; ++i)
        runPass();
    EXPECT_FALSE(g_settings.testFlag(FLAG_ACTIVE));
    EXPECT_EQ(g_settings.flags, before & ~unsigned(FLAG_ACTIVE)) << "other bits untouched";
    EXPECT_EQ(g_loop.framesDrawn, drawn);
    EXPECT_EQ(g_settings.totalTime, total);
    PostMessage(MainWindow(), WM_MOUSEMOVE, 0, 0);
    runPass();
    EXPECT_TRUE(g_settings.testFlag(FLAG_ACTIVE));
    EXPECT_EQ(g_loop.framesDrawn, drawn + 1);
}

TEST(Frame, AspectIsTheIntegerQuotient) {
    EXPECT_DOUBLE_EQ(frameAspect(1280, 1024), 1.0);
    EXPECT_DOUBLE_EQ(frameAspect(2048, 768), 2.0);
}

TEST(WindowProcedure, HeldButtonGivesOnePressedEdgeAndTheWheelSetsItsStateBytes) {
    InputState in;
    for (int i = 0; i < 3; ++i)
        in.handleMessage(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(in.leftPressed, 1);
    EXPECT_EQ(in.leftHeld, 1);
    in.leftPressed = 0; // consumed by a frame
    in.handleMessage(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(in.leftPressed, 0) << "still held: no new edge";
    in.handleMessage(nullptr, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(in.leftButton(), 0);
    EXPECT_EQ(in.leftHeld, 0);
    in.handleMessage(nullptr, WM_MOUSEWHEEL, MAKEWPARAM(0, unsigned(-120)), 0);
    EXPECT_EQ(in.wheelDown(), 1);
    EXPECT_EQ(in.wheelUp(), 0);
    in.handleMessage(nullptr, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(in.wheelUp(), 1);
}

TEST(WindowProcedure, NonRepeatingKeysAreConsumed) {
    g_settings.reset();
    InputState& in = g_input;
    in.reset();
    in.handleMessage(nullptr, WM_KEYDOWN, '0', 0);
    int level = g_settings.detailLevel;
    in.handleInput();
    EXPECT_EQ(g_settings.detailLevel, (level + 1) % 5);
    EXPECT_EQ(in.keys['0'], 0) << "a non-repeating action consumes its key";
    in.handleInput();
    EXPECT_EQ(g_settings.detailLevel, (level + 1) % 5);
    g_settings.reset();
}

} // namespace
