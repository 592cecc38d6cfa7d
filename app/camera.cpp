#include "app/camera.h"

#include "app/input.h"
#include "app/settings.h"
#include "platform/win.h"

#include <algorithm>
#include <cmath>

Camera g_camera;

namespace {
constexpr float TWO_PI = 6.2831855f;
constexpr double HALF_PI = 1.5707963267948966;
} // namespace

Vec3d viewDirection(float yaw, float pitch) {
    float y = yaw;
    while (y > TWO_PI)
        y -= TWO_PI;
    while (y < 0.0f)
        y += TWO_PI;
    return {std::cos(y) * std::cos(pitch), std::sin(y) * std::cos(pitch), std::sin(pitch)};
}

void Camera::updateCamera() {
    distance = std::clamp(distance, CAMERA_MIN_DISTANCE, CAMERA_MAX_DISTANCE);
    if (pitch > 0.0f) pitch = 0.0f;
    const Vec3d d = viewDirection(yaw, pitch);
    if (mode == CAMERA_FOLLOW) {
        eye[0] = float(followTarget[0] - distance * d.x);
        eye[1] = float(followTarget[1] - distance * d.y);
        eye[2] = float(followTarget[2] - distance * d.z);
        for (int k = 0; k < 3; ++k)
            centre[k] = followTarget[k];
    } else if (mode == CAMERA_FREE) {
        centre[0] = eye[0] + d.x;
        centre[1] = eye[1] + d.y;
        centre[2] = eye[2] + d.z;
    }
}

void Camera::follow(const double position[3]) {
    for (int k = 0; k < 3; ++k)
        followTarget[k] = position[k];
    updateCamera();
}

void Camera::zoom(float amount) {
    distance += amount;
    updateCamera();
}

void Camera::toggleMode() {
    mode = mode == CAMERA_FOLLOW ? CAMERA_FREE : CAMERA_FOLLOW;
}

namespace {

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

void Camera::steer(double dx, double dy, bool freeMove, bool left, bool right) {
    const double sx = g_input.mouseSensitivity[1], sy = g_input.mouseSensitivity[2];
    if (!freeMove || (left && !right)) {
        look(*this, dx, dy, sx, sy);
    } else if (left && right) {
        // Forward and back along the view.
        for (int k = 0; k < 3; ++k)
            eye[k] += dy * (centre[k] - eye[k]) * sy * freeSpeed;
        strafe(*this, dx, sx);
    } else if (right) {
        // Up and down relative to the view.
        const double up = pitch + HALF_PI;
        eye[0] += dy * std::cos(yaw) * std::cos(up) * sy * freeSpeed;
        eye[1] += dy * std::sin(yaw) * std::cos(up) * sy * freeSpeed;
        eye[2] += dy * std::sin(up) * sy * freeSpeed;
        strafe(*this, dx, sx);
    }
}

void Camera::mouseControl() {
    InputState& in = g_input;
    const int cx = g_settings.halfWidth, cy = g_settings.halfHeight;
    const bool freeMove = g_settings.testFlag(FLAG_FREEMOVE);
    // Without free-move the mouse turns the camera only while the right
    // button alone is held.
    if (!freeMove && !(in.rightHeld && !in.leftHeld)) return;
    in.readCursor();
    // A drag starts where the cursor was pinned: no jump.
    if (!freeMove && in.rightPressed) in.cursor = win::POINT{cx, cy};
    steer(double(cx - in.cursor.x), double(cy - in.cursor.y), freeMove, in.leftHeld != 0,
          in.rightHeld != 0);
    win::SetCursorPos(cx, cy);
    updateCamera();
}
