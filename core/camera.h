// The camera: eye and point looked at, orbit angles and distance, field of
// view and far plane. Follows the player or flies free.
#pragma once

constexpr float CAMERA_MIN_DISTANCE = 10.0f;
constexpr float CAMERA_MAX_DISTANCE = 150.0f;
// Mouse look keeps the pitch within this of straight up or down.
constexpr float CAMERA_PITCH_LIMIT = 1.553343f;
constexpr int CAMERA_FOLLOW = 1;
constexpr int CAMERA_FREE = 0;

class Camera {
  public:
    double eye[3] = {0.0, 0.0, 1.0};
    double centre[3] = {0.0, 0.0, 0.0};
    float yaw = float(1.570796327 / 2.0);
    float pitch = -45.0f;
    float fov = 90.0f;
    int far = 10000;
    float distance = 35.0f;
    float freeSpeed = 60.0f;
    int mode = CAMERA_FOLLOW;
    // The point followed in follow mode: the player's position, kept here by
    // whoever moves the player.
    double followTarget[3] = {0.0, 0.0, 0.0};

    // Clamps distance and pitch, then places eye and centre for the mode.
    void updateCamera();
    // Sets the followed point and updates.
    void follow(const double position[3]);
    // Zoom by an amount of distance (the wheel gives 5.0 a notch), then update.
    void zoom(float amount);
    // Follow -> free -> follow.
    void toggleMode();
};

// Unit vector of a heading and elevation (radians).
struct Vec3d {
    double x, y, z;
};
Vec3d viewDirection(float yaw, float pitch);

extern Camera g_camera;
