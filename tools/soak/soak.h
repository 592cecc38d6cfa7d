// The parts of the soak tool that are plain logic: which keys it sends, how
// it reads the game's standard error, and how it judges the resident size.
#pragma once

#include <istream>
#include <ostream>
#include <vector>

namespace soak {

// X key symbols (KeySym values) of the game's default binding table, the
// quit key left out; mouse codes are sent as buttons and so are left out too.
struct BoundKeys {
    std::vector<unsigned long> keys;
    unsigned long quitKey = 0;
    // Bound keyboard codes that have no X key here (each one is a key the
    // soak could not press).
    std::vector<int> unsendable;
};
BoundKeys boundKeys();

// The X key symbol of a virtual-key code; 0 when there is none.
unsigned long keySymOf(int vk);

// Counts the sanitizer reports (AddressSanitizer, LeakSanitizer and
// UndefinedBehaviorSanitizer) in the game's standard error, echoing the
// first few report lines to `echo`.
int countFindings(std::istream& errors, std::ostream& echo);

// One resident-size sample: seconds into the soak and kilobytes.
struct RssSample {
    double at;
    long kb;
};

// The resident size after the first minute: `base` is the median of the
// samples of the second minute, `end` the median of the last minute's, `peak`
// the largest sample after the first minute (kilobytes, -1 when the soak
// did not last a minute). Growth is end over base in per cent: a short
// peak (a level being built) is reported but is not growth.
struct RssFigures {
    long base = -1, end = -1, peak = -1;
    double growth = 0.0;
};
RssFigures residentFigures(const std::vector<RssSample>& samples);

} // namespace soak
