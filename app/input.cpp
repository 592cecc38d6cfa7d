#include "app/input.h"

#include "actor/combat.h"
#include "actor/commands.h"
#include "actor/controller.h"
#include "actor/ground.h"
#include "app/camera_control.h"
#include "app/mainloop.h"
#include "core/camera.h"
#include "core/log.h"
#include "core/settings.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "interact/dungeon_picks.h"
#include "interact/picker.h"
#include "interact/projectile.h"
#include "render/engine.h"
#include "render/particles.h"
#include "screens/screens.h"

#include <algorithm>
#include <cmath>

InputState g_input;
int reachDistance = 40;

namespace {

// Default key of each bound action, and which actions repeat while held.
struct Binding {
    int action;
    int key;
};
constexpr Binding kDefaultBindings[] = {
    {2, 'Q'},           {3, win::VK_ESCAPE},
    {5, 'Z'},           {6, 'X'},
    {7, 'L'},           {8, 'F'},
    {9, 'M'},           {10, 'C'},
    {15, 'G'},          {16, 'T'},
    {18, 'K'},          {ACTION_GAME_SCREENS, 'I'},
    {21, 'H'},          {22, KEY_WHEEL_DOWN},
    {23, KEY_WHEEL_UP}, {24, '1'},
    {26, '0'},          {27, '2'},
    {36, 'O'},          {37, 'P'},
};

void setActive(win::WPARAM wParam) {
    if (win::HIWORD(wParam) == 0)
        g_settings.setFlag(FLAG_ACTIVE);
    else
        g_settings.clearFlag(FLAG_ACTIVE);
}

void press(std::uint8_t& button, std::uint8_t& held, std::uint8_t& pressed) {
    button = 1;
    if (held == 0) pressed = 1;
    held = 1;
}

// An action item of the game screens presses the key bound to a key-table
// action; an unbound action has no key to press.
void pressBoundKey(int action) {
    if (action < 0 || action >= ACTION_COUNT) return;
    int key = g_input.bindings[action];
    if (key > 0 && key < KEY_STATE_COUNT) g_input.keys[key] = 1;
}

} // namespace

// The dungeon floor asks what the pending action allows: the stairs while
// leaving, a closed door while it is the one to open.
static PendingMove currentPendingMove() {
    PendingMove move;
    move.leaving = g_input.next_action == PENDING_LEAVE_DUNGEON;
    move.openingDoor = g_input.next_action == PENDING_OPEN_DOOR ? g_input.targetId : -1;
    return move;
}

InputState::InputState() {
    reset();
    pendingMove = currentPendingMove;
    // The game screens press keys of this table and list the status lines.
    g_screens.pressActionKey = pressBoundKey;
    g_statusListener = addTextLine;
}

void InputState::reset() {
    for (int& b : bindings)
        b = 0;
    for (int& r : repeatFlags)
        r = 0;
    for (const Binding& b : kDefaultBindings)
        bindings[b.action] = b.key;
    repeatFlags[24] = 1;
    for (std::uint8_t& k : keys)
        k = 0;
    leftHeld = middleHeld = rightHeld = 0;
    leftPressed = middlePressed = rightPressed = 0;
    for (double& s : mouseSensitivity)
        s = 0.005;
    cursor = win::POINT{};
    next_action = -1;
    actionTimer = 0;
    targetPoint[0] = targetPoint[1] = -1.0;
    targetId = -1;
}

win::LRESULT InputState::handleMessage(win::HWND hwnd, unsigned message, win::WPARAM wParam,
                                       win::LPARAM lParam) {
    using namespace win;
    switch (message) {
    case WM_CREATE:
        initInventory();
        setActive(wParam);
        return 0;
    case WM_PAINT:
        // The game screens are painted here; the GL window is drawn every frame.
        paintScreen(hwnd);
        setActive(wParam);
        return 0;
    case WM_ACTIVATE:
    case WM_MOUSEMOVE:
        setActive(wParam);
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam < 256) keys[wParam] = 1;
        return 0;
    case WM_KEYUP:
        if (wParam < 256) keys[wParam] = 0;
        return 0;
    case WM_LBUTTONDOWN:
        // A press on a game screen is that screen's click, not a walk order.
        if (g_screens.screenOf(hwnd) < 0) press(leftButton(), leftHeld, leftPressed);
        return 0;
    case WM_LBUTTONUP:
        screenClick(hwnd, lParam);
        leftButton() = 0;
        leftHeld = 0;
        return 0;
    case WM_MBUTTONDOWN:
        press(middleButton(), middleHeld, middlePressed);
        return 0;
    case WM_MBUTTONUP:
        middleButton() = 0;
        middleHeld = 0;
        return 0;
    case WM_RBUTTONDOWN:
        press(rightButton(), rightHeld, rightPressed);
        return 0;
    case WM_RBUTTONUP:
        rightButton() = 0;
        rightHeld = 0;
        return 0;
    case WM_MOUSEWHEEL:
        if (GET_WHEEL_DELTA_WPARAM(wParam) > 0)
            wheelUp() = 1;
        else
            wheelDown() = 1;
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

void InputState::readCursor() {
    win::GetCursorPos(cursor);
}

void InputState::handleInput() {
    mouseControl(g_camera);
    runPendingAction();
    if (!g_settings.testFlag(FLAG_INPUT_LOCKED)) {
        if (!g_settings.testFlag(FLAG_FREEMOVE) && leftPressed) leftClick();
        for (int a = 0; a < ACTION_COUNT; ++a) {
            int key = bindings[a];
            if (key <= 0 || key >= KEY_STATE_COUNT || keys[key] != 1) continue;
            performAction(a);
            if (repeatFlags[a] == 0) keys[key] = 0;
        }
    }
    leftPressed = middlePressed = rightPressed = 0;
}

// At most every 30 ms (plus a frame), tests whether the player has reached
// the target of the pending action, and performs it when he has.
void InputState::runPendingAction() {
    if (next_action == -1) return;
    if (actionTimer < PENDING_ACTION_INTERVAL) {
        actionTimer += g_settings.deltaTime;
        return;
    }
    const ActorController& player = playerActor();
    if (player.isNear(targetPoint[0], targetPoint[1], 0.0, float(reachDistance))) {
        performPendingAction(next_action);
        next_action = -1;
    }
    actionTimer = 0;
}

void InputState::performPendingAction(int code) {
    switch (code) {
    case PENDING_OPEN_DOOR:
        if (dungeon) dungeon->openDoor(targetId);
        break;
    case PENDING_LEAVE_DUNGEON:
        enterOutside();
        break;
    case PENDING_ENTER_DUNGEON:
        enterDungeon();
        break;
    case PENDING_ATTACK:
        attackPicked(targetId);
        break;
    case PENDING_OPEN_CHEST:
        if (dungeon) openChest(*dungeon, targetId);
        break;
    default:
        g_log << "ERROR: Bad next_action value [" << code << "]" << std::endl;
        break;
    }
}

// Free-move: the mouse flies the camera and the cursor is hidden.
static void toggleFreeMove() {
    g_settings.toggleFlag(FLAG_FREEMOVE);
    g_log << "Freemove TOGGLED." << std::endl;
    win::ShowCursor(!g_settings.testFlag(FLAG_FREEMOVE));
}

// Follow -> free -> follow; the terrain window is laid out afresh outside.
static void toggleCameraMode() {
    g_camera.toggleMode();
    g_camera.updateCamera();
    if (g_engine.inDungeon == 0 && terrain && localTerrain) localTerrain->rebuild(*terrain);
}

// The pending action a click on an object of this pick type sets.
static int pendingActionFor(std::uint32_t pickType) {
    switch (pickType) {
    case PickDungeonDoor:
        return PENDING_OPEN_DOOR;
    case PickCreature:
        return PENDING_ATTACK;
    case PickPortal:
        return PENDING_ENTER_DUNGEON;
    case PickDungeonExit:
        return PENDING_LEAVE_DUNGEON;
    case PickChest:
        return PENDING_OPEN_CHEST;
    default:
        return PENDING_NONE;
    }
}

// The left click: the object under the mouse (last frame's pick) becomes the
// pending action's target, and the player walks to the point under the
// mouse (or to open ground before the object), unless he already stands
// within reach of a creature he attacks.
void InputState::leftClick() {
    reachDistance = g_engine.inDungeon ? 20 : 40;
    const PickTarget target = g_picker.clickTarget();
    next_action = pendingActionFor(target.type);
    if (next_action != PENDING_NONE) {
        targetId = int(target.id);
        targetPoint[0] = target.at.x;
        targetPoint[1] = target.at.y;
    }
    const ActorController& player = playerActor();
    if (next_action == PENDING_ATTACK &&
        player.isNear(targetPoint[0], targetPoint[1], 0.0, float(reachDistance)))
        return;
    double x = g_frame.mouseWorld[0], y = g_frame.mouseWorld[1];
    playerActor().arriveDistance = ARRIVE_DISTANCE;
    if (next_action != PENDING_NONE) aimAtTarget(player, x, y);
    walkPlayerTo(x, y);
}

// A walk that ends in an action heads for the object itself, or for the open
// ground before it where nobody can stand on it (a portal, a chest), and ends
// near enough for the reach test: a walk stops as soon as it comes within its
// arrival distance of its goal, and with the goal away from the object by
// more than the reach less that distance the player would stand still out of
// reach (a door or chest in a dungeon of wide cells).
void InputState::aimAtTarget(const ActorController& player, double& x, double& y) {
    double gx = targetPoint[0], gy = targetPoint[1];
    if (!g_actorGround.isWalkable(gx, gy, player.position[2]) &&
        !approachPoint(targetPoint[0], targetPoint[1], player.position[0], player.position[1],
                       reachDistance, gx, gy))
        return;
    x = gx;
    y = gy;
    const int offset = int(std::ceil(std::hypot(gx - targetPoint[0], gy - targetPoint[1])));
    playerActor().arriveDistance =
        std::max(0, std::min(ARRIVE_DISTANCE, reachDistance - offset - 1));
}

void InputState::performAction(int action) {
    switch (action) {
    case 2:
        toggleFreeMove();
        break;
    case 15:
        toggleCameraMode();
        break;
    case 16:
        switchWorld();
        break;
    case 22:
    case 36:
        g_camera.zoom(ZOOM_STEP);
        break;
    case 23:
    case 37:
        g_camera.zoom(-ZOOM_STEP);
        break;
    case 5:
        stepPlayerAnimation(+1);
        break;
    case 6:
        stepPlayerAnimation(-1);
        break;
    case 11:
    case 12:
    case 13:
    case 14:
        movePlayer(action);
        break;
    case 3:
        g_settings.setFlag(FLAG_QUIT);
        break;
    case 7:
        g_engine.lightEnabled = !g_engine.lightEnabled;
        break;
    case 8:
        g_engine.toggleFog();
        break;
    case 9:
        g_engine.multitexture = !g_engine.multitexture;
        break;
    case 10:
        g_engine.showWalkMap = !g_engine.showWalkMap;
        break;
    case 17:
        g_engine.toggleLightType();
        break;
    case 18:
        g_engine.showKeyList = !g_engine.showKeyList;
        break;
    case 19:
        g_engine.cycleFogMode();
        break;
    case 21:
        g_engine.toggleFloatTexts();
        break;
    case 27:
        launchTestProjectile(playerActor().position);
        break;
    case 24: {
        const double* at = playerActor().position;
        g_particles.spawnParticle(PARTICLE_PUFF, float(at[0]), float(at[1]), float(at[2]));
        break;
    }
    case ACTION_GAME_SCREENS:
        toggleGameScreens();
        break;
    case 26:
        g_settings.cycleDetailLevel();
        break;
    case 38:
        g_settings.showDebugInfo = !g_settings.showDebugInfo;
        break;
    default:
        break;
    }
}
