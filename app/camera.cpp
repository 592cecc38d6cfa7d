#include "app/camera.h"

Camera g_camera;
