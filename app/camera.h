// The camera: eye and point looked at, orbit angles and distance, field of
// view and far plane. Follows the player or flies free.
#pragma once

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
    int mode = 1;
};

extern Camera g_camera;
