#include "interact/portal.h"

namespace {
int g_portalCounter = -1;
}

Portal::Portal() : id(++g_portalCounter) {}
