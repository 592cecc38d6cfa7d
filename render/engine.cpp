#include "render/engine.h"

Engine g_engine;
