#include "app/camera_control.h"

#include "app/input.h"
#include "core/settings.h"
#include "platform/win.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double HALF_PI = 1.5707963267948966;

void look(Camera& c, double dx, double dy, double sx, double sy) {
    c.yaw = float(c.yaw + dx * sx);
    c.pitch = float(c.pitch + dy * sy);
    c.pitch = std::clamp(c.pitch, -CAMERA_PITCH_LIMIT, CAMERA_PITCH_LIMIT);
}

// Sideways along the horizontal perpendicular of the heading.
void strafe(Camera& c, double dx, double sx) {
    c.eye[0] += dx * std::cos(c.yaw + HALF_PI) * sx * c.freeSpeed;
    c.eye[1] += dx * std::sin(c.yaw + HALF_PI) * sx * c.freeSpeed;
}

} // namespace

void steer(Camera& c, double dx, double dy, bool freeMove, bool left, bool right) {
    const double sx = g_input.mouseSensitivity[1], sy = g_input.mouseSensitivity[2];
    if (!freeMove || (left && !right)) {
        look(c, dx, dy, sx, sy);
    } else if (left && right) {
        // Forward and back along the view.
        for (int k = 0; k < 3; ++k)
            c.eye[k] += dy * (c.centre[k] - c.eye[k]) * sy * c.freeSpeed;
        strafe(c, dx, sx);
    } else if (right) {
        // Up and down relative to the view.
        const double up = c.pitch + HALF_PI;
        c.eye[0] += dy * std::cos(c.yaw) * std::cos(up) * sy * c.freeSpeed;
        c.eye[1] += dy * std::sin(c.yaw) * std::cos(up) * sy * c.freeSpeed;
        c.eye[2] += dy * std::sin(up) * sy * c.freeSpeed;
        strafe(c, dx, sx);
    }
}

void mouseControl(Camera& c) {
    InputState& in = g_input;
    const int cx = g_settings.halfWidth, cy = g_settings.halfHeight;
    const bool freeMove = g_settings.testFlag(FLAG_FREEMOVE);
    // Without free-move the mouse turns the camera only while the right
    // button alone is held.
    if (!freeMove && !(in.rightHeld && !in.leftHeld)) return;
    in.readCursor();
    // A drag starts where the cursor was pinned: no jump.
    if (!freeMove && in.rightPressed) in.cursor = win::POINT{cx, cy};
    steer(c, double(cx - in.cursor.x), double(cy - in.cursor.y), freeMove, in.leftHeld != 0,
          in.rightHeld != 0);
    win::SetCursorPos(cx, cy);
    c.updateCamera();
}
