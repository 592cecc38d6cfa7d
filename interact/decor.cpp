#include "interact/decor.h"

namespace {
int g_decorKindCounter = -1;
}

// The id is the counter's value before it is incremented, so the first kind
// constructed has id -1.
DecorKind::DecorKind() : id(g_decorKindCounter++) {}

DecorKind g_decorKinds[DECOR_KIND_COUNT];
