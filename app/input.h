// Keyboard and mouse state collected by the window procedure, turned into
// commands once per frame.
#pragma once

#include "platform/win.h"

#include <cstdint>

constexpr int ACTION_COUNT = 39;

// State-byte indices of the mouse codes, after the 256 virtual keys.
enum : int {
    KEY_LEFT_BUTTON = 256,
    KEY_MIDDLE_BUTTON = 257,
    KEY_RIGHT_BUTTON = 258,
    KEY_WHEEL_UP = 259,
    KEY_WHEEL_DOWN = 260,
    KEY_STATE_COUNT = 261,
};

// Pending actions, performed when the player reaches the clicked object.
enum : int {
    PENDING_NONE = -1,
    PENDING_OPEN_DOOR = 0,
    PENDING_LEAVE_DUNGEON = 1,
    PENDING_ENTER_DUNGEON = 2,
    PENDING_OPEN_CHEST = 3,
    PENDING_ATTACK = 4,
};
// The action of the key that brings up the game screens (I).
constexpr int ACTION_GAME_SCREENS = 20; // key I
// Least time between two reach tests, ms.
constexpr int PENDING_ACTION_INTERVAL = 30;
// Camera distance changed by one wheel notch or one zoom key press.
constexpr float ZOOM_STEP = 5.0f;

class ActorController;

class InputState {
  public:
    int bindings[ACTION_COUNT] = {};
    int repeatFlags[ACTION_COUNT] = {};
    // 0..255 virtual keys, then left, middle, right button, wheel up, wheel down.
    std::uint8_t keys[KEY_STATE_COUNT] = {};
    std::uint8_t leftHeld = 0, middleHeld = 0, rightHeld = 0;
    std::uint8_t leftPressed = 0, middlePressed = 0, rightPressed = 0;
    double mouseSensitivity[3] = {0.005, 0.005, 0.005};
    win::POINT cursor;
    int next_action = -1;
    int actionTimer = 0;
    double targetPoint[2] = {-1.0, -1.0};
    int targetId = -1;

    InputState();
    // Back to the constructed state (tests).
    void reset();

    // The window procedure.
    win::LRESULT handleMessage(win::HWND hwnd, unsigned message, win::WPARAM wParam,
                               win::LPARAM lParam);
    // Once per frame: camera control, pending action, clicks and bound actions.
    void handleInput();
    void readCursor();
    // The left click on the world (free-move off).
    void leftClick();
    // Points a walk that ends in an action at its object, within reach.
    void aimAtTarget(const ActorController& player, double& x, double& y);
    // The reach test of the pending action, and the action itself.
    void runPendingAction();
    void performPendingAction(int code);
    // Performs the effect of one bound action.
    void performAction(int action);

    std::uint8_t& leftButton() { return keys[KEY_LEFT_BUTTON]; }
    std::uint8_t& middleButton() { return keys[KEY_MIDDLE_BUTTON]; }
    std::uint8_t& rightButton() { return keys[KEY_RIGHT_BUTTON]; }
    std::uint8_t& wheelUp() { return keys[KEY_WHEEL_UP]; }
    std::uint8_t& wheelDown() { return keys[KEY_WHEEL_DOWN]; }
};

extern InputState g_input;
// Reach distance of the pending action: 40 outside, 20 in the dungeon.
extern int reachDistance;
