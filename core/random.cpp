#include "core/random.h"

#include <cstdint>

namespace crt {
namespace {
std::uint32_t state = 1;
}

void srand(unsigned seed) {
    state = seed;
}

int rand() {
    state = state * 214013u + 2531011u;
    return int((state >> 16) & 0x7FFF);
}

} // namespace crt

double random01() {
    return crt::rand() / 32767.0;
}

double randomCentered(double range) {
    return random01() * range - range / 2;
}
