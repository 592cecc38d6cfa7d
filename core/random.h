// The program's random numbers: the linear congruential generator of the
// Windows C run-time, 15-bit results (0..32767). Every draw in the game goes
// through here so that generation repeats exactly for the same seed.
#pragma once

namespace crt {

constexpr int RAND_MAX15 = 0x7FFF;

void srand(unsigned seed);
int rand();

} // namespace crt

// rand / 32767.0: 0.0 to 1.0, both ends possible.
double random01();
// random01 x range - range / 2.
double randomCentered(double range);
