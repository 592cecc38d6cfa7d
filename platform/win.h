// A small Win32-like layer over SDL2: window and GL context, message queue and
// window procedure, message boxes, cursor, tick count and GL entry points.
// The engine is written against these calls; SDL stays behind this header.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace win {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HWND = void*;

// Window messages (Windows values).
enum : unsigned {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_ACTIVATE = 0x0006,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSCOMMAND = 0x0112,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MOUSEWHEEL = 0x020A,
};

// WM_SYSCOMMAND codes.
enum : unsigned { SC_SCREENSAVE = 0xF140, SC_MONITORPOWER = 0xF170 };

// WM_ACTIVATE low word.
enum : unsigned { WA_INACTIVE = 0, WA_ACTIVE = 1 };

// Mouse key-state bits carried in wParam of mouse messages.
enum : unsigned { MK_LBUTTON = 0x01, MK_RBUTTON = 0x02, MK_MBUTTON = 0x10 };

// Virtual-key codes (Windows values). Letters and digits are their ASCII codes.
enum : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_OEM_1 = 0xBA,
    VK_OEM_PLUS = 0xBB,
    VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF,
    VK_OEM_3 = 0xC0,
    VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD,
    VK_OEM_7 = 0xDE,
};

// Message-box styles and answers (Windows values).
enum : unsigned {
    MB_OK = 0x00,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDYES = 6, IDNO = 7 };

struct MSG {
    HWND hwnd = nullptr;
    unsigned message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct POINT {
    int x = 0;
    int y = 0;
};

// ---- painting types ---------------------------------------------------------

struct RECT {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// 0x00BBGGRR, as on Windows.
using COLORREF = std::uint32_t;
constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// GDI objects (pens, brushes, regions) and device contexts.
struct GdiObject;
struct DeviceContext;
using HGDIOBJ = GdiObject*;
using HPEN = GdiObject*;
using HBRUSH = GdiObject*;
using HRGN = GdiObject*;
using HDC = DeviceContext*;

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    bool fErase = false;
    RECT rcPaint;
};

// Window styles.
enum : unsigned { WS_OVERLAPPED = 0x00000000 };
enum : unsigned {
    WS_EX_TOPMOST = 0x00000008,
    WS_EX_TOOLWINDOW = 0x00000080,
    WS_EX_WINDOWEDGE = 0x00000100,
};
// ShowWindow commands.
enum : int { SW_HIDE = 0, SW_SHOW = 5 };
// Stock objects.
enum : int {
    WHITE_BRUSH = 0,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
};
// Pen styles.
enum : int { PS_SOLID = 0, PS_NULL = 5 };
// DrawText formats (the text is always drawn from the rectangle's top-left).
enum : unsigned { DT_TOP = 0x00, DT_LEFT = 0x00, DT_SINGLELINE = 0x20, DT_NOCLIP = 0x100 };

inline unsigned LOWORD(std::uintptr_t v) {
    return unsigned(v & 0xFFFF);
}
inline unsigned HIWORD(std::uintptr_t v) {
    return unsigned((v >> 16) & 0xFFFF);
}
inline short GET_WHEEL_DELTA_WPARAM(WPARAM w) {
    return short(HIWORD(w));
}
inline WPARAM MAKEWPARAM(unsigned lo, unsigned hi) {
    return WPARAM((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}
inline LPARAM MAKELPARAM(int lo, int hi) {
    return LPARAM(unsigned(lo & 0xFFFF) | (unsigned(hi & 0xFFFF) << 16));
}

using WNDPROC = LRESULT (*)(HWND, unsigned, WPARAM, LPARAM);

// ---- message queue -------------------------------------------------------

// Takes one message if any is waiting (converting pending SDL events first);
// never waits. Returns false when the queue is empty.
bool PeekMessage(MSG& msg);
// Kept for the shape of the pump: key messages are already translated.
void TranslateMessage(const MSG& msg);
// Hands the message to the window procedure registered for the main window
// (or the one registered for its window handle).
LRESULT DispatchMessage(const MSG& msg);
// Appends a message to the queue (tests feed input this way).
void PostMessage(HWND hwnd, unsigned message, WPARAM wParam, LPARAM lParam);
// Queues WM_QUIT with the exit code as its wParam.
void PostQuitMessage(int exitCode);
// The default handling of unhandled messages: WM_CLOSE destroys nothing, all return 0.
LRESULT DefWindowProc(HWND hwnd, unsigned message, WPARAM wParam, LPARAM lParam);
// Forgets every queued message and SDL event (used between tests).
void FlushMessages();
// While off, PeekMessage hands out posted messages only and leaves the
// system's own events waiting (tests that feed a sequence of messages).
void SetSystemEvents(bool on);

// ---- window class and window ---------------------------------------------

bool RegisterClass(const char* className, WNDPROC proc);
bool UnregisterClass(const char* className);
// True when the display offers exactly this mode; on success the window made
// next opens fullscreen in it.
bool ChangeDisplaySettings(int width, int height, int bits);
// Back to the desktop mode.
void RestoreDisplaySettings();
// Makes the main window with the given client size at (x, y). The window
// procedure of the class receives WM_CREATE before this returns.
HWND CreateWindow(const char* className, const char* title, int x, int y, int width, int height,
                  bool fullscreen);
// Destroys the main window or an extra one.
bool DestroyWindow(HWND hwnd);
HWND MainWindow();
// Shows (and raises) or hides a window.
void ShowWindow(HWND hwnd, int command = SW_SHOW);
// The procedure a window's messages are dispatched to.
WNDPROC GetWindowProc(HWND hwnd);

// Device context, pixel format and GL context. The pixel format names the
// colour and depth bits asked for; the context is an OpenGL compatibility one.
// GetDC on an extra window gives a context that draws anywhere in its client
// area; releasing it shows what was drawn.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc = nullptr);
int ChoosePixelFormat(int colourBits, int depthBits, bool doubleBuffer);
bool SetPixelFormat(int format);
bool CreateContext();
bool MakeCurrent(bool current);
bool DeleteContext();
bool HasContext();
// Counts the contexts made so far: a display list or buffer named in an older
// context means nothing, or something else, in the current one.
int ContextSerial();
void SwapBuffers();
// The GL entry-point lookup (wglGetProcAddress); tests may install their own.
void* GetProcAddress(const char* name);
void SetProcAddressLookup(std::function<void*(const char*)> lookup);

// Size of the drawable area of the main window.
void GetClientSize(int& width, int& height);

// ---- message boxes --------------------------------------------------------

struct MessageBoxRecord {
    std::string text;
    std::string title;
    unsigned style = 0;
    HWND owner = nullptr;
};
using MessageBoxAnswerer = std::function<int(const MessageBoxRecord&)>;

// Shows a modal box; returns IDOK, IDYES or IDNO. With no display the text goes
// to stderr and the answer is IDOK (or IDNO for a question).
int MessageBox(const std::string& text, const std::string& title, unsigned style);
// The same, owned by a window (modal to it).
int MessageBox(HWND owner, const std::string& text, const std::string& title, unsigned style);
// Tests install an answerer: every box is then recorded and answered by it.
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

// ---- cursor and time --------------------------------------------------------

// The pointer in screen coordinates as the window last saw it (its motion and
// button events, and SetCursorPos, which moves it at once).
bool GetCursorPos(POINT& p);
bool SetCursorPos(int x, int y);
// Shows or hides the pointer over the window; returns the display count as Windows does.
int ShowCursor(bool show);
// Milliseconds since the layer started; never goes backwards.
std::uint32_t GetTickCount();

// ---- failure injection and state for tests -------------------------------

// Steps of window creation that a test can make fail.
enum class Step {
    RegisterClass,
    DisplayMode,
    CreateWindow,
    GetDC,
    ChoosePixelFormat,
    SetPixelFormat,
    CreateContext,
    MakeCurrent,
    ReleaseCurrent,
    DeleteContext,
    ReleaseDC,
    DestroyWindow,
    UnregisterClass,
};
void FailStep(Step step, bool fail);
void ClearFailures();

// Opens the video subsystem; false (with the reason in *why) when no display can be had.
bool InitVideo(std::string* why);
bool VideoReady();

// ---- extra top-level windows, painting and regions ---------------------------
// The game's screens are small top-level windows beside the main one. They
// use the window procedures of their classes and are painted in software:
// solid rectangles and single-line text in the system font.

// Registers a class whose windows are cleared with the given brush (null: not cleared).
bool RegisterClass(const char* className, WNDPROC proc, HBRUSH background);
// An extra top-level window, hidden until shown, at (x, y) with the given outer
// size (frame included). Top-most and tool windows stay above the others and
// out of the task bar. The class's procedure gets WM_CREATE before this returns.
HWND CreateWindowEx(unsigned exStyle, const char* className, const char* title, unsigned style,
                    int x, int y, int width, int height);
bool IsWindowVisible(HWND hwnd);
// The window that has the keyboard, as the last system event read told it.
HWND GetFocus();
// Sends WM_PAINT at once when the window has a pending update.
bool UpdateWindow(HWND hwnd);
bool GetClientRect(HWND hwnd, RECT& rect);
// The outer rectangle on the desktop.
bool GetWindowRect(HWND hwnd, RECT& rect);
// Limits the visible part of the window to the region (window coordinates,
// frame included). The window keeps a copy: the caller still deletes its region.
int SetWindowRgn(HWND hwnd, HRGN region, bool redraw);

// Adds a client rectangle (null: all of it) to the window's pending update;
// the queue hands out WM_PAINT for it once no other message waits.
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
bool ValidateRect(HWND hwnd, const RECT* rect);
// The pending update rectangle; false when nothing is pending.
bool GetUpdateRect(HWND hwnd, RECT& rect);
// Starts painting the pending update: the context draws only inside it and
// the update is no longer pending. Erases it with the class brush when asked.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT& paint);
bool EndPaint(HWND hwnd, const PAINTSTRUCT& paint);

HPEN CreatePen(int style, int width, COLORREF colour);
HGDIOBJ GetStockObject(int object);
// Selects a pen or brush into the context; returns the one it replaces.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
// Fails for an object still selected into a context.
bool DeleteObject(HGDIOBJ object);
// Outlines with the pen (right and bottom edges excluded) and fills the inside
// with the brush.
bool Rectangle(HDC hdc, int left, int top, int right, int bottom);
// One line of text (count < 0: up to the terminating zero) from the
// rectangle's top-left, black on the white text background, cut to the
// rectangle. Returns the height of the line.
int DrawText(HDC hdc, const char* text, int count, RECT* rect, unsigned format);
COLORREF GetPixel(HDC hdc, int x, int y);

HRGN CreateRectRgn(int left, int top, int right, int bottom);
// Inside: left <= x < right and top <= y < bottom.
bool PtInRegion(HRGN region, int x, int y);

// GDI objects made and not deleted, and device contexts not released (tests).
int GdiObjectCount();
int DeviceContextCount();

} // namespace win
