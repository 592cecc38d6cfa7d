#include "core/camera.h"

#include <algorithm>
#include <cmath>

Camera g_camera;

namespace {
constexpr float TWO_PI = 6.2831855f;
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
